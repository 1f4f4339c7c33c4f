// Where the SPL / phase plot puts each legend row: the text, where the text starts and where its
// line starts (at y + 5), worked out from the curve families' table on their own, for the unit
// tests and for the check on a real screen.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace solver::test {

struct LegendRow {
    int block;
    std::string text;
    int x;
    int y;
    int line_x;  // where the legend line starts, at y + 5
};

struct LegendFamily {
    const char* name;
    int first;
    int count;
    const char* text;  // with %d for the port
    bool right;        // x counted from the right edge
    int text_x;
    int line_x;
    int base;     // y = 9 (block - base) + 25, or `fixed_y`
    int fixed_y;  // -1: by the block
};

// The twelve families in drawing order.
inline const std::vector<LegendFamily>& LegendFamilies() {
    static const std::vector<LegendFamily> families = {
        {"Filter SPL", 0, 16, "Filter %d SPL", true, 110, 50, 0, -1},
        {"Driver SPL", 16, 16, "Driver %d SPL", true, 110, 50, 0, -1},
        {"HBT SPL", 32, 16, "HBT %d SPL", true, 110, 50, 0, -1},
        {"Final SPL", 48, 16, "Final %d SPL", true, 110, 50, 0, -1},
        {"Filter Phase", 64, 16, "Filter %d Phase", true, 210, 145, 64, -1},
        {"Driver Phase", 80, 16, "Driver %d Phase", true, 210, 145, 64, -1},
        {"HBT Phase", 96, 16, "HBT %d Phase", true, 210, 145, 64, -1},
        {"Final Phase", 112, 16, "Final %d Phase", true, 210, 145, 64, -1},
        {"System SPL", 129, 1, "System SPL", true, 110, 50, 0, 619},
        {"System Phase", 130, 1, "System Phase", true, 210, 145, 0, 619},
        {"HBT + Filter SPL", 133, 16, "HBT + Filter %d SPL", false, 65, 145, 133, -1},
        {"HBT + Filter Phase", 149, 16, "HBT + Filter %d Phase", false, 180, 270, 149, -1},
    };
    return families;
}

// The rows of the blocks `shown` picks, in drawing order, for a plot `w` pixels wide.
inline std::vector<LegendRow> LegendRows(int w, const std::function<bool(int block)>& shown) {
    std::vector<LegendRow> rows;
    for (const LegendFamily& f : LegendFamilies()) {
        for (int block = f.first; block < f.first + f.count; ++block) {
            if (!shown(block)) continue;
            char text[48];
            std::snprintf(text, sizeof text, f.text, block - f.first + 1);
            rows.push_back({block, text, f.right ? w - f.text_x : f.text_x,
                            f.fixed_y >= 0 ? f.fixed_y : 9 * (block - f.base) + 25,
                            f.right ? w - f.line_x : f.line_x});
        }
    }
    return rows;
}

}  // namespace solver::test
