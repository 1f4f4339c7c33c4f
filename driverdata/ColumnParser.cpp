#include "driverdata/ColumnParser.h"

#include <algorithm>
#include <cmath>

#include "shell/Curves.h"

namespace driverdata {

namespace {

constexpr int kPoints = shell::kGridPoints;

bool IsLineEnd(std::uint8_t c) { return c == '\n' || c == '\r'; }

// End of the line that starts at `pos` (the index of its line-end character, or size) and the
// start of the next line. A line ends only after a character of its own: the line ends of empty
// lines at its start are part of it.
void FindLineEnd(const std::uint8_t* data, std::size_t size, std::size_t pos, std::size_t* end,
                 std::size_t* next) {
    std::size_t p = pos;
    while (p < size && IsLineEnd(data[p])) ++p;
    while (p < size && !IsLineEnd(data[p])) ++p;
    *end = p;
    if (p < size && data[p] == '\r' && p + 1 < size && data[p + 1] == '\n') {
        *next = p + 2;
    } else {
        *next = p < size ? p + 1 : p;
    }
}

// Bins k (0..1998) with grid[k] <= f <= grid[k + 1]: at most two (f on a grid point).
int BinsOf(const float* grid, float f, int bins[2]) {
    const float* upper = std::upper_bound(grid, grid + kPoints, f);
    const int k0 = static_cast<int>(upper - grid) - 1;  // largest k with grid[k] <= f
    int count = 0;
    for (int k : {k0 - 1, k0}) {
        if (k < 0 || k > kPoints - 2) continue;
        if (grid[k] <= f && f <= grid[k + 1]) bins[count++] = k;
    }
    return count;
}

}  // namespace

std::size_t SkipLines(const std::uint8_t* data, std::size_t size, int lines) {
    std::size_t pos = 0;
    for (int n = 0; n < lines && pos < size; ++n) {
        std::size_t end = 0;
        std::size_t next = 0;
        FindLineEnd(data, size, pos, &end, &next);
        if (end - pos > static_cast<std::size_t>(kMaxLineChars)) break;
        pos = next;
    }
    return pos;
}

PreviewText PreviewLines(const std::uint8_t* data, std::size_t size) {
    PreviewText preview;
    std::size_t pos = 0;
    while (pos < size && static_cast<int>(preview.lines.size()) < kPreviewLines) {
        std::size_t end = 0;
        std::size_t next = 0;
        FindLineEnd(data, size, pos, &end, &next);
        if (end - pos > static_cast<std::size_t>(kMaxLineChars)) {
            preview.more = true;
            return preview;
        }
        std::size_t text = pos;
        while (text < end && IsLineEnd(data[text])) ++text;
        preview.lines.emplace_back(reinterpret_cast<const char*>(data + text),
                                   reinterpret_cast<const char*>(data + end));
        pos = next;
    }
    preview.more = pos < size;
    return preview;
}

ColumnRoles RolesFromFlags(const std::int32_t flags[kMaxColumns]) {
    ColumnRoles roles;
    for (int first = 1; first <= 3; ++first) {
        if (flags[first - 1] != 1) continue;
        roles.frequency = first;
        if (flags[first] == 1) roles.level = first + 1;
        if (flags[first + 1] == 1) roles.phase = first + 2;
        break;
    }
    return roles;
}

bool RolesUsable(const ColumnRoles& roles, int column_count) {
    if (column_count < 2 || column_count > kMaxColumns) return false;
    if (roles.frequency < 1 || roles.level < 1) return false;
    return roles.frequency <= column_count && roles.level <= column_count;
}

std::vector<Measurement> ReadColumnRecords(const std::uint8_t* data, std::size_t size,
                                           std::size_t start, int column_count,
                                           const ColumnRoles& roles) {
    std::vector<Measurement> records;
    if (!RolesUsable(roles, column_count) || start >= size) return records;
    TokenScanner scanner{data, size, start, TokenSet::kColumns};
    for (;;) {
        Measurement record{0.0f, 0.0f, 0.0f};
        bool usable = true;
        for (int column = 1; column <= column_count; ++column) {
            double value = 0.0;
            bool valid = false;
            if (!scanner.Next(&value, &valid)) return records;  // incomplete record: dropped
            const bool role =
                column == roles.frequency || column == roles.level || column == roles.phase;
            if (role && !valid) usable = false;
            if (column == roles.frequency) record.frequency = static_cast<float>(value);
            if (column == roles.level) record.level = static_cast<float>(value);
            if (column == roles.phase) record.phase = static_cast<float>(value);
        }
        if (usable) records.push_back(record);
    }
}

float WrapPhase(double degrees) {
    const double r = degrees * 0.017453286279;
    double c = std::cos(r);
    if (c == 0.0) c = 1e-9;
    return static_cast<float>(std::atan2(std::sin(r), c) * 57.288);
}

int BinColumnRecords(const std::vector<Measurement>& records, const float* grid,
                     const BinCorrections& corrections, float* spl, float* phase) {
    std::vector<double> sum(kPoints, 0.0);
    std::vector<int> count(kPoints, 0);
    std::vector<float> last_phase(kPoints, 0.0f);
    for (const Measurement& record : records) {
        int bins[2];
        const int n = BinsOf(grid, record.frequency, bins);
        for (int b = 0; b < n; ++b) {
            sum[bins[b]] += record.level;
            ++count[bins[b]];
            last_phase[bins[b]] = record.phase;
        }
    }
    int filled = 0;
    for (int k = 0; k < kPoints; ++k) {
        spl[k] = 1.0f;
        phase[k] = 0.0f;
        if (k == kPoints - 1 || count[k] == 0) continue;
        ++filled;
        float level = static_cast<float>(sum[k] / count[k]) + corrections.offset_db;
        if (!(level >= 1.0f) || !std::isfinite(level)) level = 1.0f;
        spl[k] = level;
        phase[k] = WrapPhase(0.001 * corrections.delay_ms * 360.0 * grid[k] + last_phase[k]);
    }
    return filled;
}

std::vector<ValuePair> ReadDaasPairs(const std::uint8_t* data, std::size_t size) {
    std::vector<ValuePair> pairs;
    TokenScanner scanner{data, size, 0, TokenSet::kDaas};
    for (;;) {
        double f = 0.0;
        double v = 0.0;
        bool f_valid = false;
        bool v_valid = false;
        if (!scanner.Next(&f, &f_valid) || !scanner.Next(&v, &v_valid)) return pairs;
        if (f_valid && v_valid) {
            pairs.push_back({static_cast<float>(f), static_cast<float>(v)});
        }
    }
}

namespace {

// The DAAS bin walk: the reading position is kept from bin to bin, and the pair that ended a bin
// (the first above its upper edge) is read again by the next one. A pair counts for bin k when it
// lies in the bin (k < 1998) or, for k < 1996, up to three bins above it.
template <class Add>
void WalkDaasBins(const std::vector<ValuePair>& pairs, const float* grid, Add add) {
    std::size_t j = 0;
    for (int k = 0; k < kPoints - 1; ++k) {
        const float f0 = grid[k];
        const float f1 = grid[k + 1];
        while (j < pairs.size()) {
            const float f = pairs[j].frequency;
            const bool in_bin = f0 <= f && f <= f1 && k < kPoints - 2;
            const bool near = k < kPoints - 4 && f0 <= f && f <= grid[k + 3];
            if (in_bin || near) add(k, pairs[j].value);
            if (f > f1) break;
            ++j;
        }
    }
}

}  // namespace

int BinDaasMagnitude(const std::vector<ValuePair>& pairs, const float* grid, float scale_db,
                     float* spl) {
    std::vector<double> sum(kPoints, 0.0);
    std::vector<int> count(kPoints, 0);
    WalkDaasBins(pairs, grid, [&](int k, float value) {
        sum[k] += value;
        ++count[k];
    });
    int filled = 0;
    for (int k = 0; k < kPoints; ++k) {
        spl[k] = 1.0f;
        if (k == kPoints - 1 || count[k] == 0) continue;
        ++filled;
        const float level = static_cast<float>(sum[k] / count[k]) + scale_db;
        spl[k] = level >= 1.0f && std::isfinite(level) ? level : 1.0f;
    }
    return filled;
}

int BinDaasPhase(const std::vector<ValuePair>& pairs, const float* grid, float delay_ms,
                 float* phase) {
    std::vector<int> count(kPoints, 0);
    std::vector<float> last(kPoints, 0.0f);
    WalkDaasBins(pairs, grid, [&](int k, float value) {
        last[k] = value;
        ++count[k];
    });
    int filled = 0;
    for (int k = 0; k < kPoints - 1; ++k) {
        phase[k] = 0.0f;
        if (count[k] == 0) continue;
        ++filled;
        phase[k] = WrapPhase(0.001 * delay_ms * 360.0 * grid[k] + last[k]);
    }
    phase[kPoints - 1] = phase[kPoints - 2];
    return filled;
}

}  // namespace driverdata
