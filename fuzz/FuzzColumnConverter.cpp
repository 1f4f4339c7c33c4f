// Fuzz target of the column converters alone: the first three bytes choose the column count, the
// included columns and the lines to skip; the rest is the file. Every result is bounded and finite;
// a file that gives no bin a record leaves every bin at 1.0 dB and 0 degrees.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "driverdata/ColumnParser.h"
#include "shell/Curves.h"
#include "shell/FrequencyGrid.h"

// The grid the readers bin onto, 10 Hz to 50 kHz as the program starts with it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    shell::BuildFrequencyGrids(shell::kDefaultPlotStartIndex, shell::kDefaultPlotStopIndex);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int column_count = data[0] % 7;
    std::int32_t flags[driverdata::kMaxColumns];
    for (int c = 0; c < driverdata::kMaxColumns; ++c) flags[c] = (data[1] >> c) & 1;
    const int erase_lines = static_cast<std::int8_t>(data[2]);
    data += 3;
    size -= 3;
    const driverdata::PreviewText preview = driverdata::PreviewLines(data, size);
    if (preview.lines.size() > driverdata::kPreviewLines) std::abort();
    const std::size_t start = driverdata::SkipLines(data, size, erase_lines);
    if (start > size) std::abort();
    const driverdata::ColumnRoles roles = driverdata::RolesFromFlags(flags);
    const auto records = driverdata::ReadColumnRecords(data, size, start, column_count, roles);
    static float spl[shell::kGridPoints];
    static float phase[shell::kGridPoints];
    driverdata::BinCorrections corrections;
    corrections.delay_ms = 2.907f;
    corrections.offset_db = 3.0f;
    const int filled =
        driverdata::BinColumnRecords(records, shell::FrequencyGrid, corrections, spl, phase);
    if (filled < 0 || filled > shell::kGridPoints - 1) std::abort();
    if (records.empty() && filled != 0) std::abort();
    for (int k = 0; k < shell::kGridPoints; ++k) {
        if (!(spl[k] >= 1.0f) || !std::isfinite(spl[k]) || !std::isfinite(phase[k])) std::abort();
        if (filled == 0 && (spl[k] != 1.0f || phase[k] != 0.0f)) std::abort();
    }
    return 0;
}
