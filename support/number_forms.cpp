// The text forms of numbers on the screen. All of them are built from std::to_chars, which
// never looks at the process locale; the user's decimal separator is passed in where it counts.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "support/numbers.h"

namespace kraylo {
namespace {

// Plain form writes numbers whose decimal exponent lies in this range in fixed notation
// (0.00001 to 999999999999999); everything else gets the exponent form 1.5E+15, 1E-06.
constexpr int kFixedExponentMin = -5;
constexpr int kFixedExponentMax = 14;

// Room for the longest fixed-notation double (309 integer digits) with sign and fraction.
constexpr size_t kFixedBufferSize = 400;

// The text for values that are not numbers, or nullopt for a finite value.
std::optional<std::string> NonFiniteText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  return std::nullopt;
}

// Rounded to one decimal, with '.' as separator; a value that rounds to zero has no sign, so
// a tiny negative reading does not show as "-0.0". Exact ties go to the even digit.
std::string FixedOneDecimal(double value) {
  char buffer[kFixedBufferSize];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  std::string text(buffer, result.ptr);
  if (text == "-0.0") text = "0.0";
  return text;
}

std::string WithSeparator(std::string text, char decimal_separator) {
  for (char& c : text) {
    if (c == '.') c = decimal_separator;
  }
  return text;
}

}  // namespace

std::string PlainForm(double value) {
  if (auto text = NonFiniteText(value)) return *text;
  if (value == 0.0) return "0";

  // d.dddddddddddddde+XX: the value rounded to 15 significant digits.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const std::string_view scientific(buffer, static_cast<size_t>(result.ptr - buffer));
  const bool negative = scientific.front() == '-';
  const size_t e_pos = scientific.find('e');
  std::string digits;
  for (char c : scientific.substr(0, e_pos)) {
    if (c >= '0' && c <= '9') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // The exponent part is "e+XX" or "e-XX".
  const bool exponent_negative = scientific[e_pos + 1] == '-';
  int exponent = 0;
  std::from_chars(scientific.data() + e_pos + 2, scientific.data() + scientific.size(), exponent);
  if (exponent_negative) exponent = -exponent;

  std::string text = negative ? "-" : "";
  if (exponent >= kFixedExponentMin && exponent <= kFixedExponentMax) {
    if (exponent < 0) {
      text += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
      const size_t whole_digits = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= whole_digits) {
        text += digits + std::string(whole_digits - digits.size(), '0');
      } else {
        text += digits.substr(0, whole_digits) + "." + digits.substr(whole_digits);
      }
    }
    return text;
  }
  text += digits.substr(0, 1);
  if (digits.size() > 1) text += "." + digits.substr(1);
  const std::string exponent_digits = std::to_string(std::abs(exponent));
  text += exponent < 0 ? "E-" : "E+";
  if (exponent_digits.size() < 2) text += '0';
  return text + exponent_digits;
}

std::string OneDecimalForm(double value, char decimal_separator) {
  if (auto text = NonFiniteText(value)) return *text;
  return WithSeparator(FixedOneDecimal(value), decimal_separator);
}

std::string HashDotZeroForm(double value, char decimal_separator) {
  if (auto text = NonFiniteText(value)) return *text;
  std::string text = FixedOneDecimal(value);
  // No integer digits when the integer part is 0: ".5", "-.5".
  const size_t zero = text.front() == '-' ? 1 : 0;
  if (text.compare(zero, 2, "0.") == 0) text.erase(zero, 1);
  return WithSeparator(std::move(text), decimal_separator);
}

}  // namespace kraylo
