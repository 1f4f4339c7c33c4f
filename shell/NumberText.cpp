#include "shell/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

namespace shell {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the decimal grammar on [first, last) and returns false on anything else. from_chars
// alone would also take "inf", "nan" and (with the hex format) hexadecimal.
bool IsDecimalNumber(const char* first, const char* last) {
    const char* p = first;
    if (p < last && (*p == '+' || *p == '-')) ++p;
    int mantissa_digits = 0;
    while (p < last && IsDigit(*p)) {
        ++p;
        ++mantissa_digits;
    }
    if (p < last && *p == '.') {
        ++p;
        while (p < last && IsDigit(*p)) {
            ++p;
            ++mantissa_digits;
        }
    }
    if (mantissa_digits == 0) return false;
    if (p < last && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < last && (*p == '+' || *p == '-')) ++p;
        int exponent_digits = 0;
        while (p < last && IsDigit(*p)) {
            ++p;
            ++exponent_digits;
        }
        if (exponent_digits == 0) return false;
    }
    return p == last;
}

bool ParseRange(const char* first, const char* last, double* value) {
    while (first < last && IsBlank(*first)) ++first;
    while (last > first && IsBlank(last[-1])) --last;
    if (!IsDecimalNumber(first, last)) return false;
    if (*first == '+') ++first;  // from_chars takes no leading plus
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(parsed)) return false;
    *value = parsed;
    return true;
}

// End of the longest decimal number that begins at `p` (after its sign), or `p` when none does.
// *negative_exponent tells whether an exponent that was taken has a minus sign.
const char* DecimalPrefixEnd(const char* p, const char* last, bool* negative_exponent) {
    const char* q = p;
    int mantissa_digits = 0;
    while (q < last && IsDigit(*q)) {
        ++q;
        ++mantissa_digits;
    }
    if (q < last && *q == '.') {
        const char* point = q++;
        while (q < last && IsDigit(*q)) {
            ++q;
            ++mantissa_digits;
        }
        if (mantissa_digits == 0) q = point;
    }
    if (mantissa_digits == 0) return p;
    *negative_exponent = false;
    if (q < last && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        bool negative = false;
        if (e < last && (*e == '+' || *e == '-')) negative = *e++ == '-';
        if (e < last && IsDigit(*e)) {
            while (e < last && IsDigit(*e)) ++e;
            q = e;
            *negative_exponent = negative;
        }
    }
    return q;
}

// The start of the typed number after blanks and sign; nullptr for hexadecimal.
const char* TypedNumberStart(const char* text, const char** sign) {
    const char* p = text;
    while (IsBlank(*p)) ++p;
    *sign = p;
    if (*p == '+' || *p == '-') ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return nullptr;
    return p;
}

}  // namespace

bool ReadTypedNumber(const char* text, double* value) {
    if (text == nullptr || value == nullptr) return false;
    const char* sign = nullptr;
    const char* first = TypedNumberStart(text, &sign);
    if (first == nullptr) return false;
    const char* last = first + std::strlen(first);
    bool negative_exponent = false;
    const char* end = DecimalPrefixEnd(first, last, &negative_exponent);
    if (end == first) return false;
    double parsed = 0.0;
    const auto [stop, ec] = std::from_chars(first, end, parsed, std::chars_format::general);
    if (stop != end) return false;
    if (ec == std::errc::result_out_of_range && negative_exponent) {
        parsed = 0.0;  // too small for any float: the C library reads it as 0 too
    } else if (ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(parsed) ||
        std::fabs(parsed) > static_cast<double>(std::numeric_limits<float>::max())) {
        return false;
    }
    *value = *sign == '-' ? -parsed : parsed;
    return true;
}

bool ReadTypedInteger(const char* text, std::int32_t* value) {
    if (text == nullptr || value == nullptr) return false;
    const char* sign = nullptr;
    const char* p = TypedNumberStart(text, &sign);
    if (p == nullptr || !IsDigit(*p)) return false;
    const bool negative = *sign == '-';
    const std::int64_t limit =
        static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    for (; IsDigit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) return false;
    }
    *value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool ParseNumberText(const char* text, double* value) {
    if (text == nullptr || value == nullptr) return false;
    return ParseRange(text, text + std::strlen(text), value);
}

bool ParseNumberSlot(const char* slot, std::size_t capacity, double* value) {
    if (slot == nullptr || value == nullptr) return false;
    const void* nul = std::memchr(slot, '\0', capacity);
    const char* last = nul ? static_cast<const char*>(nul) : slot + capacity;
    return ParseRange(slot, last, value);
}

bool ReadTypedSlot(const char* slot, std::size_t capacity, double* value) {
    if (slot == nullptr || value == nullptr) return false;
    const void* nul = std::memchr(slot, '\0', capacity);
    const std::string text(slot, nul ? static_cast<const char*>(nul) : slot + capacity);
    return ReadTypedNumber(text.c_str(), value);
}

bool ParseIntegerText(const char* text, std::int32_t* value) {
    if (text == nullptr || value == nullptr) return false;
    const char* first = text;
    const char* last = text + std::strlen(text);
    while (first < last && IsBlank(*first)) ++first;
    while (last > first && IsBlank(last[-1])) --last;
    bool negative = false;
    if (first < last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last) return false;
    std::int64_t magnitude = 0;
    for (const char* p = first; p < last; ++p) {
        if (!IsDigit(*p)) return false;
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
            return false;
        }
    }
    const std::int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value > std::numeric_limits<std::int32_t>::max()) return false;
    *value = static_cast<std::int32_t>(signed_value);
    return true;
}

bool FormatNumberText(char* slot, std::size_t capacity, double value, int decimals) {
    if (slot == nullptr || capacity == 0) return false;
    slot[0] = '\0';
    if (!std::isfinite(value) || decimals < 0 || capacity < 2) return false;
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return false;
    const std::size_t length = static_cast<std::size_t>(end - buffer);
    if (length + 1 > capacity) return false;
    std::memcpy(slot, buffer, length);
    slot[length] = '\0';
    return true;
}

void CopyTextSlot(char* slot, std::size_t capacity, const char* src) {
    if (slot == nullptr || capacity == 0) return;
    std::size_t length = 0;
    if (src != nullptr) {
        while (length + 1 < capacity && src[length] != '\0') ++length;
        std::memmove(slot, src, length);
    }
    slot[length] = '\0';
}

void TerminateTextSlot(char* slot, std::size_t capacity) {
    if (slot == nullptr || capacity == 0) return;
    slot[capacity - 1] = '\0';
}

}  // namespace shell
