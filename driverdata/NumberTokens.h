// Reading numbers out of texts and files for the driver-data tools. Every conversion goes
// through the shell's number routine: the leading finite decimal number of a text, refused when
// it is not finite or lies beyond single precision. Nothing here allocates.
#pragma once

#include <cstddef>
#include <cstdint>

namespace driverdata {

// Longest text accepted as one number token; a longer token is read and refused.
inline constexpr std::size_t kMaxTokenChars = 40;

// The leading decimal number of [first, last) (an optional sign, digits with an optional point
// and exponent): true and *value when there is one and it is a finite single-precision value.
bool LeadingNumber(const char* first, const char* last, double* value);

// The same for a text slot of `capacity` bytes (leading blanks skipped; the slot may lack its
// terminator).
bool SlotNumber(const char* slot, std::size_t capacity, double* value);

// Whether [first, last) is one decimal number as a whole (an optional sign, digits with an
// optional point and exponent). *valid then says whether its value is a finite single-precision
// value of at most kMaxTokenChars characters, and *value holds it (0 when not).
bool WholeNumber(const char* first, const char* last, double* value, bool* valid);

// Whether [first, last) begins with the shape of a decimal number: an optional sign, then a digit
// or a point and a digit.
bool StartsWithNumber(const char* first, const char* last);

// The character sets of the number tokens: digits, '-', '.', '+', 'E', 'e' (column converters);
// digits, '-', '.' (DAAS files).
enum class TokenSet { kColumns, kDaas };

// Walks a buffer token by token. A token starts at the first character of the set and runs while
// the characters stay in it. Bounded by the buffer; never reads past `size`.
struct TokenScanner {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    TokenSet set = TokenSet::kColumns;

    // false at the end of the buffer (no further token). Otherwise *valid says whether the token
    // is a number, *value holds it (0 when not), and pos is just past the token.
    bool Next(double* value, bool* valid);
};

}  // namespace driverdata
