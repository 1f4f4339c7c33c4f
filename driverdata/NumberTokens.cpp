#include "driverdata/NumberTokens.h"

#include <cfloat>
#include <cmath>

#include "shell/NumberText.h"

namespace driverdata {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// End of the longest prefix of [first, last) that has the shape of a decimal number, or first
// when there is none.
const char* NumberShapeEnd(const char* first, const char* last) {
    const char* p = first;
    if (p < last && (*p == '+' || *p == '-')) ++p;
    int digits = 0;
    while (p < last && IsDigit(*p)) {
        ++p;
        ++digits;
    }
    if (p < last && *p == '.') {
        ++p;
        while (p < last && IsDigit(*p)) {
            ++p;
            ++digits;
        }
    }
    if (digits == 0) return first;
    const char* mantissa_end = p;
    if (p < last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q < last && (*q == '+' || *q == '-')) ++q;
        int exponent_digits = 0;
        while (q < last && IsDigit(*q)) {
            ++q;
            ++exponent_digits;
        }
        if (exponent_digits > 0) return q;
    }
    return mantissa_end;
}

bool InSet(TokenSet set, char c) {
    if (IsDigit(c) || c == '-' || c == '.') return true;
    switch (set) {
        case TokenSet::kColumns:
            return c == '+' || c == 'E' || c == 'e';
        case TokenSet::kDaas:
            return false;
    }
    return false;
}

}  // namespace

bool LeadingNumber(const char* first, const char* last, double* value) {
    if (first == nullptr || last <= first) return false;
    const char* end = NumberShapeEnd(first, last);
    if (end == first) return false;
    double parsed = 0.0;
    if (!shell::ParseNumberSlot(first, static_cast<std::size_t>(end - first), &parsed)) {
        return false;
    }
    if (!std::isfinite(parsed) || std::fabs(parsed) > FLT_MAX) return false;
    *value = parsed;
    return true;
}

bool SlotNumber(const char* slot, std::size_t capacity, double* value) {
    if (slot == nullptr) return false;
    std::size_t length = 0;
    while (length < capacity && slot[length] != '\0') ++length;
    const char* first = slot;
    const char* last = slot + length;
    while (first < last && IsBlank(*first)) ++first;
    return LeadingNumber(first, last, value);
}

bool WholeNumber(const char* first, const char* last, double* value, bool* valid) {
    *value = 0.0;
    *valid = false;
    if (first == nullptr || last <= first || NumberShapeEnd(first, last) != last) return false;
    if (static_cast<std::size_t>(last - first) <= kMaxTokenChars) {
        *valid = LeadingNumber(first, last, value);
        if (!*valid) *value = 0.0;
    }
    return true;
}

bool StartsWithNumber(const char* first, const char* last) {
    return first != nullptr && last > first && NumberShapeEnd(first, last) != first;
}

bool TokenScanner::Next(double* value, bool* valid) {
    while (pos < size && !InSet(set, static_cast<char>(data[pos]))) ++pos;
    if (pos >= size) return false;
    const std::size_t start = pos;
    while (pos < size && InSet(set, static_cast<char>(data[pos]))) ++pos;
    const std::size_t length = pos - start;
    *value = 0.0;
    *valid = false;
    if (length <= kMaxTokenChars) {
        const char* first = reinterpret_cast<const char*>(data + start);
        double parsed = 0.0;
        if (LeadingNumber(first, first + length, &parsed)) {
            *value = parsed;
            *valid = true;
        }
    }
    return true;
}

}  // namespace driverdata
