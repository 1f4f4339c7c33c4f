// The converters' engine: line skipping (CR-LF and LF files), the preview, the column roles, the
// records, the bin mean with its corrections, and the DAAS pairs.
#include <cmath>
#include <string>

#include "driverdata/ColumnParser.h"
#include "tests/driverdata/DriverDataTestSupport.h"

namespace driverdata::test {
namespace {

using shell::kGridPoints;

const std::uint8_t* Bytes(const std::string& text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

struct SkipCase {
    const char* name;
    std::string text;
    int lines;
    std::string rest;  // what follows the skipped lines
};

TEST(ColumnParserTest, SkipLinesCountsAnEmptyLineWithTheLineAfterIt) {
    const std::string long_line(129, 'x');
    const SkipCase cases[] = {
        {"CR-LF", "a\r\nb\r\nc\r\n", 2, "c\r\n"},
        {"LF only", "a\nb\nc\n", 2, "c\n"},
        {"lone CR", "a\rb\rc", 1, "b\rc"},
        {"empty line with the next", "a\r\n\r\nb\r\nc\r\n", 2, "c\r\n"},
        {"empty line, one skipped", "a\r\n\r\nb\r\nc\r\n", 1, "\r\nb\r\nc\r\n"},
        {"two empty LF lines with the next", "a\n\n\nb\nc\n", 2, "c\n"},
        {"empty first line", "\r\nhead\r\n1 2\r\n", 1, "1 2\r\n"},
        {"none", "a\nb\n", 0, "a\nb\n"},
        {"negative", "a\nb\n", -3, "a\nb\n"},
        {"beyond the end", "a\nb", 9, ""},
        {"long line stops", "a\n" + long_line + "\nb\n", 3, long_line + "\nb\n"},
        {"128 characters pass", "a\n" + std::string(128, 'y') + "\nb\n", 2, "b\n"},
    };
    for (const SkipCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t pos = SkipLines(Bytes(c.text), c.text.size(), c.lines);
        EXPECT_EQ(c.text.substr(pos), c.rest);
    }
}

TEST(ColumnParserTest, PreviewShowsAtMostTwentyOneLines) {
    std::string text;
    for (int n = 0; n < 30; ++n) text += "line " + std::to_string(n) + "\n";
    PreviewText preview = PreviewLines(Bytes(text), text.size());
    ASSERT_EQ(preview.lines.size(), 21u);
    EXPECT_EQ(std::string(preview.lines[20].begin(), preview.lines[20].end()), "line 20");
    EXPECT_TRUE(preview.more);

    const std::string short_text = "a\r\nb";
    preview = PreviewLines(Bytes(short_text), short_text.size());
    EXPECT_EQ(preview.lines.size(), 2u);
    EXPECT_FALSE(preview.more);

    const std::string long_text = "a\n" + std::string(200, 'z');
    preview = PreviewLines(Bytes(long_text), long_text.size());
    EXPECT_EQ(preview.lines.size(), 1u);
    EXPECT_TRUE(preview.more);

    // An empty line is one preview line with the line after it, as Erase Lines counts it.
    const std::string gaps = "head\r\n\r\n\r\n100 80\r\n200 81\r\n";
    preview = PreviewLines(Bytes(gaps), gaps.size());
    ASSERT_EQ(preview.lines.size(), 3u);
    EXPECT_EQ(std::string(preview.lines[1].begin(), preview.lines[1].end()), "100 80");
    EXPECT_EQ(std::string(preview.lines[2].begin(), preview.lines[2].end()), "200 81");
    EXPECT_EQ(gaps.substr(SkipLines(Bytes(gaps), gaps.size(), 2)), "200 81\r\n");
}

TEST(ColumnParserTest, RolesFollowTheFirstIncludedColumn) {
    struct Case {
        std::int32_t flags[5];
        ColumnRoles roles;
    };
    const Case cases[] = {
        {{1, 1, 1, 0, 0}, {1, 2, 3}}, {{1, 1, 0, 0, 0}, {1, 2, 0}}, {{0, 1, 1, 1, 0}, {2, 3, 4}},
        {{0, 0, 1, 1, 1}, {3, 4, 5}}, {{1, 0, 1, 0, 0}, {1, 0, 3}}, {{0, 0, 0, 1, 1}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const ColumnRoles roles = RolesFromFlags(c.flags);
        EXPECT_EQ(roles.frequency, c.roles.frequency);
        EXPECT_EQ(roles.level, c.roles.level);
        EXPECT_EQ(roles.phase, c.roles.phase);
    }
    EXPECT_TRUE(RolesUsable({1, 2, 3}, 3));
    EXPECT_TRUE(RolesUsable({1, 2, 0}, 2));
    // The default flags {1, 1, 1, 0, 0} with two columns: the phase role is simply never read.
    EXPECT_TRUE(RolesUsable({1, 2, 3}, 2)) << "phase column beyond the count";
    EXPECT_FALSE(RolesUsable({2, 3, 4}, 2)) << "level column beyond the count";
    EXPECT_FALSE(RolesUsable({3, 4, 5}, 3)) << "level column beyond the count";
    EXPECT_FALSE(RolesUsable({1, 0, 3}, 3)) << "no level column";
    EXPECT_FALSE(RolesUsable({0, 0, 0}, 3));
    EXPECT_FALSE(RolesUsable({1, 2, 3}, 0));
    EXPECT_FALSE(RolesUsable({1, 2, 3}, 6));
}

TEST(ColumnParserTest, RecordsAreReadOnceAndIncompleteOrBadOnesDropped) {
    const std::string text =
        "100 80 10\r\n"
        "200 -- 10\r\n"    // a level token that is no number: dropped
        "300 1E39 10\r\n"  // beyond single precision: dropped
        "400 90";          // incomplete at the end: dropped
    const std::vector<Measurement> records =
        ReadColumnRecords(Bytes(text), text.size(), 0, 3, {1, 2, 3});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].frequency, 100.0f);
    EXPECT_EQ(records[0].level, 80.0f);
    EXPECT_EQ(records[0].phase, 10.0f);
    // Without a phase column the phase is 0; column 4 is read and dropped.
    const std::string four = "100 80 7 9\n200 70 8 9\n";
    const std::vector<Measurement> two =
        ReadColumnRecords(Bytes(four), four.size(), 0, 4, {1, 2, 0});
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[1].frequency, 200.0f);
    EXPECT_EQ(two[1].phase, 0.0f);
    // Two columns with the phase role on column 3: frequency and level, phase 0.
    const std::string pairs = "100 80\r\n200 81\r\n";
    const std::vector<Measurement> levels =
        ReadColumnRecords(Bytes(pairs), pairs.size(), 0, 2, {1, 2, 3});
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[1].frequency, 200.0f);
    EXPECT_EQ(levels[1].level, 81.0f);
    EXPECT_EQ(levels[1].phase, 0.0f);
    EXPECT_TRUE(ReadColumnRecords(Bytes(text), text.size(), 0, 0, {1, 2, 3}).empty());
    EXPECT_TRUE(ReadColumnRecords(Bytes(text), text.size(), text.size(), 3, {1, 2, 3}).empty());
}

class BinTest : public DriverDataTest {};

TEST_F(BinTest, BinMeanCorrectionsAndWrap) {
    const float* grid = shell::FrequencyGrid;
    const int k = 1000;
    const float inside = 0.5f * (grid[k] + grid[k + 1]);
    std::vector<Measurement> records = {
        {inside, 80.0f, 20.0f},
        {inside, 90.0f, 190.0f},    // phase of the last record wins; wraps near -170
        {grid[1200], 70.0f, 5.0f},  // on a grid point: counts for bins 1199 and 1200
        {grid[1500], -5.0f, 0.0f},  // below 1 dB after the corrections
    };
    float spl[kGridPoints];
    float phase[kGridPoints];
    BinCorrections corrections;
    corrections.offset_db = 2.0f;
    // Bins k, 1199 and 1200, 1499 and 1500 took records.
    EXPECT_EQ(BinColumnRecords(records, grid, corrections, spl, phase), 5);
    EXPECT_FLOAT_EQ(spl[k], 87.0f);
    EXPECT_NEAR(phase[k], -170.0f, 0.1f);
    EXPECT_FLOAT_EQ(spl[1199], 72.0f);
    EXPECT_FLOAT_EQ(spl[1200], 72.0f);
    EXPECT_FLOAT_EQ(spl[1500], 1.0f);
    EXPECT_EQ(spl[0], 1.0f);
    EXPECT_EQ(phase[0], 0.0f);
    EXPECT_EQ(spl[1999], 1.0f);
    EXPECT_EQ(phase[1999], 0.0f);
}

TEST_F(BinTest, DelayAddsDegreesPerHertz) {
    const float* grid = shell::FrequencyGrid;
    int k = 0;
    while (grid[k] < 100.0f) ++k;
    std::vector<Measurement> records = {{0.5f * (grid[k] + grid[k + 1]), 80.0f, 0.0f}};
    float spl[kGridPoints];
    float phase[kGridPoints];
    BinCorrections corrections;
    corrections.delay_ms = 2.907f;
    BinColumnRecords(records, grid, corrections, spl, phase);
    const double added = 0.001 * 2.907 * 360.0 * grid[k];  // 1.046 degrees per hertz
    EXPECT_NEAR(0.001 * 2.907 * 360.0, 1.046, 1e-3);
    const double wrapped = std::remainder(added, 360.0);
    EXPECT_NEAR(phase[k], wrapped * 57.288 / 57.29578, 0.05);
}

TEST_F(BinTest, LfAndCrLfFilesConvertAlike) {
    std::string crlf = "Frequency Level Phase\r\n";
    std::string lf = "Frequency Level Phase\n";
    for (int n = 0; n < 200; ++n) {
        const std::string line =
            std::to_string(50.0 + 10.0 * n) + "  " + std::to_string(85.0 + 0.01 * n) + "  -45.5";
        crlf += line + "\r\n";
        lf += line + "\n";
    }
    float spl_a[kGridPoints];
    float phase_a[kGridPoints];
    float spl_b[kGridPoints];
    float phase_b[kGridPoints];
    const ColumnRoles roles{1, 2, 3};
    BinColumnRecords(ReadColumnRecords(Bytes(crlf), crlf.size(),
                                       SkipLines(Bytes(crlf), crlf.size(), 1), 3, roles),
                     shell::FrequencyGrid, {}, spl_a, phase_a);
    BinColumnRecords(
        ReadColumnRecords(Bytes(lf), lf.size(), SkipLines(Bytes(lf), lf.size(), 1), 3, roles),
        shell::FrequencyGrid, {}, spl_b, phase_b);
    int filled = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        ASSERT_EQ(spl_a[k], spl_b[k]) << k;
        ASSERT_EQ(phase_a[k], phase_b[k]) << k;
        filled += spl_a[k] > 1.0f;
    }
    EXPECT_GT(filled, 100);
}

TEST_F(BinTest, DaasPairsWalkTheBinsOnce) {
    const float* grid = shell::FrequencyGrid;
    const int k = 700;
    std::string text;
    // Two pairs in bin k, one just above it (counts for bin k too, within three bins).
    const float a = grid[k] + 0.25f * (grid[k + 1] - grid[k]);
    const float b = grid[k] + 0.75f * (grid[k + 1] - grid[k]);
    const float c = grid[k + 1] + 0.5f * (grid[k + 2] - grid[k + 1]);
    for (auto [f, v] : {std::pair{a, 80.0f}, std::pair{b, 90.0f}, std::pair{c, 100.0f}}) {
        char line[64];
        std::snprintf(line, sizeof line, "%.4f\t%.2f\r\n", f, v);
        text += line;
    }
    const std::vector<ValuePair> pairs = ReadDaasPairs(Bytes(text), text.size());
    ASSERT_EQ(pairs.size(), 3u);
    float spl[kGridPoints];
    EXPECT_EQ(BinDaasMagnitude(pairs, grid, 1.0f, spl), 4);  // bins k - 2 .. k + 1
    EXPECT_NEAR(spl[k], 91.0f, 1e-3f);                       // (80 + 90 + 100) / 3 + 1
    EXPECT_NEAR(spl[k + 1], 101.0f, 1e-3f);  // the pair that ended bin k is read again
    EXPECT_NEAR(spl[k - 1], 81.0f, 1e-3f);   // the first pair above a bin counts within 3 bins
    EXPECT_NEAR(spl[k - 2], 81.0f, 1e-3f);
    EXPECT_EQ(spl[k - 3], 1.0f);
    EXPECT_EQ(spl[1999], 1.0f);
    float phase[kGridPoints];
    EXPECT_EQ(BinDaasPhase(pairs, grid, 0.0f, phase), 4);
    EXPECT_NEAR(phase[k], 100.0f * 57.288 / 57.29578, 0.05);
    EXPECT_EQ(phase[1999], phase[1998]);
    // "e" is no DAAS token character: "1e3" reads as 1 and 3.
    const std::string exp = "1e3 5";
    const std::vector<ValuePair> split = ReadDaasPairs(Bytes(exp), exp.size());
    ASSERT_EQ(split.size(), 1u);
    EXPECT_EQ(split[0].frequency, 1.0f);
    EXPECT_EQ(split[0].value, 3.0f);
}

}  // namespace
}  // namespace driverdata::test
