// The program's numbers: checked 16- and 32-bit arithmetic, rounding conversions, the two readings
// of configuration values and the text forms of numbers. Every failure raises a RunError
// (6 overflow, 5 invalid argument, ...); nothing here depends on the process locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kraylo {

// Raises 6 (overflow) with the description "Overflow".
[[noreturn]] void RaiseOverflow();

// Round half to even; raises 6 (overflow) outside the target range, and for NaN.
int16_t ToInt16(double value);
int32_t ToInt32(double value);
// Rounds towards minus infinity; raises 6 outside the 16-bit range.
int16_t FloorToInt16(double value);

// Checked sums, differences and products; raise 6 on overflow.
int16_t Add16(int16_t a, int16_t b);
int16_t Sub16(int16_t a, int16_t b);
int16_t Mul16(int16_t a, int16_t b);
int32_t Add32(int32_t a, int32_t b);
int32_t Sub32(int32_t a, int32_t b);
int32_t Mul32(int32_t a, int32_t b);

// The lenient numeric reading of a configuration value: blanks, tabs and line feeds ignored
// anywhere; sign, digits, point and exponent (E or D) up to the first character that cannot
// continue the number; &H and &O prefixes read a non-negative hexadecimal or octal whole number
// (&HFFFF is 65535); no number (or no value) reads as 0. Raises 6 when the number is too large
// for a double; a number too small for one reads as 0.
double ReadNumber(const std::optional<std::string>& text);

// The strict whole-number conversion of a configuration value: a decimal number (sign, digits,
// point, exponent E or D), optionally surrounded by spaces and tabs, rounded half to even; no
// value (a missing key) gives 0; anything else, an empty text included, raises 13 (type
// mismatch); out of the 32-bit range raises 6.
int32_t ToWholeNumber(const std::optional<std::string>& text);

// A whole number written with decimal digits alone (no sign, no blanks, at most 9 digits) from
// `low` to `high`; nullopt for anything else. For the settings and options this program added.
std::optional<int> WholeNumberIn(std::string_view text, int low, int high);

// The invariant plain form: "." as separator, no group separators, 15 significant digits, no
// trailing zeros, no point for whole values (30, 412.5, -1). Magnitudes below 1 get a leading
// zero (0.5); decimal exponents from -5 to 14 are written out (0.00001, 123456789012345), all
// others in exponent form with at least two exponent digits (1E+15, -2.5E-06). NaN and the
// infinities are written "NaN", "Infinity", "-Infinity".
std::string PlainForm(double value);
// The pattern "0.0": at least one digit before the separator, exactly one after (2 gives 2.0,
// -1.26 gives -1.3). Exact ties go to the even digit (0.25 gives 0.2); a value that rounds to
// zero has no sign (-0.04 gives 0.0).
std::string OneDecimalForm(double value, char decimal_separator);
// The pattern "#.0": no integer digits when the integer part is 0 (0 gives .0, 0.5 gives .5,
// -0.5 gives -.5), exactly one after; rounding and zero as in OneDecimalForm.
std::string HashDotZeroForm(double value, char decimal_separator);

// Removes leading and trailing space characters (not tabs).
std::string Strip(std::string_view text);
// ASCII upper case.
std::string UpperCase(std::string_view text);

}  // namespace kraylo
