#include "shell/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
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

}  // namespace

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
