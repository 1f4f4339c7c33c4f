// The number parser and the text-slot helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "shell/NumberText.h"

namespace shell {
namespace {

struct ParseCase {
    const char* text;
    bool ok;
    double value;
};

TEST(NumberTextTest, ParseNumberTextAcceptsOnlyFiniteDecimals) {
    const ParseCase cases[] = {
        {"0", true, 0.0},        {"90.0", true, 90.0},      {"-3.20", true, -3.2},
        {"+5", true, 5.0},       {" 344.00 ", true, 344.0}, {".5", true, 0.5},
        {"5.", true, 5.0},       {"1e3", true, 1000.0},     {"2.5E-2", true, 0.025},
        {"", false, 0},          {"   ", false, 0},         {"abc", false, 0},
        {"0x10", false, 0},      {"0X1p3", false, 0},       {"inf", false, 0},
        {"-infinity", false, 0}, {"nan", false, 0},         {"1e400", false, 0},
        {"1.2.3", false, 0},     {"12abc", false, 0},       {"1e", false, 0},
        {"--1", false, 0},       {"+-1", false, 0},         {".", false, 0},
        {"1 2", false, 0},       {"1,5", false, 0},
    };
    for (const auto& c : cases) {
        double value = -999.0;
        EXPECT_EQ(ParseNumberText(c.text, &value), c.ok) << "\"" << c.text << "\"";
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << "\"" << c.text << "\"";
        } else {
            EXPECT_EQ(value, -999.0) << "a refused text changed the value: \"" << c.text << "\"";
        }
    }
}

TEST(NumberTextTest, ParseSlotStopsAtTheSlotEnd) {
    char slot[4] = {'1', '2', '3', '4'};  // no terminator
    double value = 0;
    ASSERT_TRUE(ParseNumberSlot(slot, sizeof slot, &value));
    EXPECT_EQ(value, 1234.0);
    char slot2[6] = "7.5";
    ASSERT_TRUE(ParseNumberSlot(slot2, sizeof slot2, &value));
    EXPECT_EQ(value, 7.5);
}

TEST(NumberTextTest, ParseIntegerText) {
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    const Case cases[] = {{"3", true, 3},
                          {" -12 ", true, -12},
                          {"+7", true, 7},
                          {"2147483647", true, 2147483647},
                          {"-2147483648", true, -2147483647 - 1},
                          {"2147483648", false, 0},
                          {"1.5", false, 0},
                          {"0x1F", false, 0},
                          {"", false, 0},
                          {"9a", false, 0}};
    for (const auto& c : cases) {
        std::int32_t value = -5;
        EXPECT_EQ(ParseIntegerText(c.text, &value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(NumberTextTest, TypedNumbersReadTheLeadingDecimalNumber) {
    const ParseCase cases[] = {
        {"2000Hz", true, 2000.0}, {"1000 Hz", true, 1000.0},
        {"5x", true, 5.0},        {" -3.25dB", true, -3.25},
        {"+7", true, 7.0},        {".5", true, 0.5},
        {"5.", true, 5.0},        {"1e3", true, 1000.0},
        {"2.5E-2x", true, 0.025}, {"1e", true, 1.0},
        {"1e+", true, 1.0},       {"4.1.2", true, 4.1},
        {"12 34", true, 12.0},    {"1,5", true, 1.0},
        {"3.4e38", true, 3.4e38}, {"1e-400", true, 0.0},
        {"0", true, 0.0},         {"-0.0", true, 0.0},
        {"", false, 0},           {"   ", false, 0},
        {"Hz", false, 0},         {".", false, 0},
        {"-", false, 0},          {"--1", false, 0},
        {"nan", false, 0},        {"inf", false, 0},
        {"-infinity", false, 0},  {"0x10", false, 0},
        {"-0X1p3", false, 0},     {"3.5e38", false, 0},
        {"1e39", false, 0},       {"-1e300", false, 0},
        {"1e400", false, 0},
    };
    for (const auto& c : cases) {
        double value = -999.0;
        EXPECT_EQ(ReadTypedNumber(c.text, &value), c.ok) << "\"" << c.text << "\"";
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << "\"" << c.text << "\"";
        } else {
            EXPECT_EQ(value, -999.0) << "a refused text changed the value: \"" << c.text << "\"";
        }
    }
    double value = 0.0;
    EXPECT_FALSE(ReadTypedNumber(nullptr, &value));
}

TEST(NumberTextTest, TypedIntegersReadTheLeadingDigits) {
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    const Case cases[] = {{"5x", true, 5},
                          {" 12.9", true, 12},
                          {"-7.5", true, -7},
                          {"+3 ", true, 3},
                          {"1e3", true, 1},
                          {"0016", true, 16},
                          {"2147483647", true, 2147483647},
                          {"-2147483648", true, -2147483647 - 1},
                          {"2147483648", false, 0},
                          {".5", false, 0},
                          {"x5", false, 0},
                          {"", false, 0},
                          {"0x1F", false, 0},
                          {"nan", false, 0}};
    for (const auto& c : cases) {
        std::int32_t value = -5;
        EXPECT_EQ(ReadTypedInteger(c.text, &value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : -5) << c.text;
    }
}

TEST(NumberTextTest, FormatAndCopyStayInsideTheirSlots) {
    char slot[11];
    ASSERT_TRUE(FormatNumberText(slot, sizeof slot, 344.0, 2));
    EXPECT_STREQ(slot, "344.00");
    ASSERT_TRUE(FormatNumberText(slot, sizeof slot, -3.2, 1));
    EXPECT_STREQ(slot, "-3.2");
    EXPECT_FALSE(FormatNumberText(slot, sizeof slot, 1e12, 2)) << "does not fit in 10 chars";
    EXPECT_STREQ(slot, "");
    // The same digits as printf, halfway cases and negative zero included (plot titles rely on it).
    for (const double v : {0.05, 0.15, 0.25, 2.675, -2.675, 1.005, 19999.95, 0.125, -0.0, -0.004,
                           1e-7, 123456.785, 20.049999999999997}) {
        for (const int decimals : {1, 2}) {
            char want[64], got[64];
            std::snprintf(want, sizeof want, "%.*f", decimals, v);
            ASSERT_TRUE(FormatNumberText(got, sizeof got, v, decimals));
            EXPECT_STREQ(got, want) << v << " with " << decimals << " decimals";
        }
    }

    char small[5];
    std::memset(small, 'x', sizeof small);
    CopyTextSlot(small, "Woofer");
    EXPECT_STREQ(small, "Woof");
    CopyTextSlot(small, nullptr);
    EXPECT_STREQ(small, "");

    char unterminated[4] = {'a', 'b', 'c', 'd'};
    TerminateTextSlot(unterminated);
    EXPECT_STREQ(unterminated, "abc");
}

}  // namespace
}  // namespace shell
