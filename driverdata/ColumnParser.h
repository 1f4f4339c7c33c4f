// The measurement-file converters' engine: the file is parsed once into records, and each
// FrequencyGrid bin takes the mean level and the last phase of the records that fall into it.
// Every scan is bounded by the buffer; an incomplete last record is discarded. No UI here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "driverdata/NumberTokens.h"

namespace driverdata {

inline constexpr int kMaxColumns = 5;
inline constexpr int kMaxLineChars = 128;  // a longer line ends line skipping and the preview
inline constexpr int kPreviewLines = 21;

// Position just after `lines` lines from the start of the buffer. A line ends at LF, CR-LF or a
// lone CR that follows a character of the line: line ends at the start of a line (empty lines)
// belong to the line after them, so an empty line counts together with the line that follows
// it. A line of more than 128 characters (its leading line ends included) stops the skipping at
// its start. lines <= 0 skips nothing.
std::size_t SkipLines(const std::uint8_t* data, std::size_t size, int lines);

// The first lines of the buffer as the preview shows them (at most 21, each at most 128
// characters; a longer line ends the preview), lines counted as SkipLines counts them: an empty
// line is one preview line with the line after it, which shows without the leading line ends.
// `more` says whether text follows the last line.
struct PreviewText {
    std::vector<std::vector<char>> lines;
    bool more = false;
};
PreviewText PreviewLines(const std::uint8_t* data, std::size_t size);

// Which columns play which role (1-based, 0 = none), from the five "Include Column" flags: the
// first included of columns 1, 2, 3 is the frequency, the next one (if included) the level and
// the one after (if included) the phase.
struct ColumnRoles {
    int frequency = 0;
    int level = 0;
    int phase = 0;
};
ColumnRoles RolesFromFlags(const std::int32_t flags[kMaxColumns]);
// A usable set: a column count of 2..5, frequency and level columns within it. A phase column
// beyond the count is simply never read: the records then have phase 0.
bool RolesUsable(const ColumnRoles& roles, int column_count);

struct Measurement {
    float frequency;
    float level;
    float phase;  // 0 when the file has no phase column
};

// Reads records of `column_count` tokens from `start` to the end of the buffer. A record with an
// unreadable role token is dropped, as is an incomplete last record.
std::vector<Measurement> ReadColumnRecords(const std::uint8_t* data, std::size_t size,
                                           std::size_t start, int column_count,
                                           const ColumnRoles& roles);

// Corrections applied after the bin mean.
struct BinCorrections {
    float delay_ms = 0.0f;   // D: phase += 0.001 * D * 360 * f0 before the wrap
    float offset_db = 0.0f;  // scale (+ efficiency for IMP)
};

// The phase wrap of the converters: p degrees to about +-180.
float WrapPhase(double degrees);

// Bins 0..1998: mean level + offset (at least 1.0) and the wrapped last phase plus the delay
// term; bins without a record and bin 1999 get 1.0 dB and 0 degrees. `grid` has 2000 points.
// Returns how many bins took at least one record (0: the file gave the curve nothing).
int BinColumnRecords(const std::vector<Measurement>& records, const float* grid,
                     const BinCorrections& corrections, float* spl, float* phase);

// DAAS files: frequency/value pairs (tokens of digits, '-' and '.').
struct ValuePair {
    float frequency;
    float value;
};
std::vector<ValuePair> ReadDaasPairs(const std::uint8_t* data, std::size_t size);
// Magnitude: mean + scale per bin (at least 1.0, 1.0 when empty), SPL[1999] = 1.0. Returns how
// many bins took at least one pair.
int BinDaasMagnitude(const std::vector<ValuePair>& pairs, const float* grid, float scale_db,
                     float* spl);
// Phase: last value of the bin plus the delay term, wrapped (0 when empty); phase[1999] =
// phase[1998]. Returns how many bins took at least one pair.
int BinDaasPhase(const std::vector<ValuePair>& pairs, const float* grid, float delay_ms,
                 float* phase);

}  // namespace driverdata
