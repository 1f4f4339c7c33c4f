// Names of parameterised test cases: the case as its PrintTo shows it, cut down to the characters
// a test name may hold, so that a failure names the case ("Files/BadWav.Refused/mono_wav" rather
// than a number and a dump of the parameter's bytes).
//
//   INSTANTIATE_TEST_SUITE_P(Table, Suite, ::testing::Values(...), qvtest::ReadableName());
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace qvtest {

// "-0.5" gives "neg0p5", "F 1024, 2 inputs" gives "F_1024_2_inputs".
inline std::string IdentifierOf(const std::string& text) {
    std::string name;
    bool gap = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool digit_next =
            i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]));
        if (std::isalnum(c)) {
            if (gap && !name.empty()) name += '_';
            name += static_cast<char>(c);
            gap = false;
        } else if (c == '.' && digit_next && !name.empty() &&
                   std::isdigit(static_cast<unsigned char>(name.back()))) {
            name += 'p';
        } else if (c == '-' && digit_next) {
            if (!name.empty()) name += '_';
            name += "neg";
            gap = false;
        } else {
            gap = true;
        }
    }
    return name.empty() ? "empty" : name;
}

struct ReadableName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& param_info) const {
        return IdentifierOf(::testing::PrintToString(param_info.param));
    }
};

}  // namespace qvtest
