// The one number parser for typed and file texts, and the fixed-slot text helpers.
// Parsing accepts optional blanks, an optional sign, decimal digits with an optional point and
// exponent, then optional blanks; nothing else. Hexadecimal, "inf", "nan" and values that
// overflow are refused. Independent of the process locale ("C" rules always).
#pragma once

#include <cstddef>
#include <cstdint>

namespace shell {

// true and *value when the whole text is one finite decimal number.
bool ParseNumberText(const char* text, double* value);
// The same for a text slot of `capacity` bytes that may lack its terminator.
bool ParseNumberSlot(const char* slot, std::size_t capacity, double* value);
// true and *value when the whole text is a decimal integer within int32.
bool ParseIntegerText(const char* text, std::int32_t* value);

// Every number the user types into an edit is read by these two, the way the C library's
// conversions read a text: optional blanks and sign, then the longest decimal number (digits with
// an optional point and exponent); whatever follows it is ignored, so "2000Hz" reads 2000 and
// "5x" reads 5. Refused (false, *value unchanged): a text that does not begin with a decimal
// number, "inf" and "nan", hexadecimal ("0x1A"), and a value beyond single precision.
bool ReadTypedNumber(const char* text, double* value);
// ReadTypedNumber of a text slot of `capacity` bytes that may lack its terminator (the texts the
// tools keep in records and read as typed).
bool ReadTypedSlot(const char* slot, std::size_t capacity, double* value);
// The integer part of the leading decimal digits ("200.7" reads 200, "5x" 5, "1e3" 1); refused
// as above, and beyond int32.
bool ReadTypedInteger(const char* text, std::int32_t* value);

// Writes value with `decimals` digits after the point ("%.*f" in the "C" locale) into a slot of
// `capacity` bytes, always terminated; false (and "" written) when it does not fit.
bool FormatNumberText(char* slot, std::size_t capacity, double value, int decimals);

// Copies src into a slot of `capacity` bytes, cut to capacity - 1 characters, always terminated.
void CopyTextSlot(char* slot, std::size_t capacity, const char* src);
// Makes sure a slot is terminated: its last byte becomes NUL (a shorter text is unchanged).
void TerminateTextSlot(char* slot, std::size_t capacity);

template <std::size_t N>
inline void CopyTextSlot(char (&slot)[N], const char* src) {
    CopyTextSlot(slot, N, src);
}
template <std::size_t N>
inline void TerminateTextSlot(char (&slot)[N]) {
    TerminateTextSlot(slot, N);
}

}  // namespace shell
