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
