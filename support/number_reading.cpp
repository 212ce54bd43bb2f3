// The two readings of a configuration value as a number: the lenient one that takes whatever
// number the text begins with, and the strict whole-number conversion.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "platform/run_error.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// Exponents beyond this magnitude are clamped while they are read; every value they could give
// has already over- or underflowed, and the clamp keeps the sum with the point position in range.
constexpr int64_t kExponentClamp = 1'000'000'000;

// A read position in a text. In lenient mode blanks, tabs and line feeds are invisible to it.
class Cursor {
 public:
  Cursor(std::string_view text, bool lenient) : text_(text), lenient_(lenient) { SkipIgnored(); }

  // The character at the position, or -1 at the end of the text.
  int Peek() const { return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_]) : -1; }
  bool AtEnd() const { return pos_ >= text_.size(); }
  bool PeekIsDigit() const { return Peek() >= '0' && Peek() <= '9'; }
  void Next() {
    ++pos_;
    SkipIgnored();
  }
  // Passes over spaces and tabs (used around a strict number, where nothing else is ignored).
  void SkipBlanks() {
    while (Peek() == ' ' || Peek() == '\t') ++pos_;
  }

 private:
  void SkipIgnored() {
    if (!lenient_) return;
    while (Peek() == ' ' || Peek() == '\t' || Peek() == '\n') ++pos_;
  }

  std::string_view text_;
  bool lenient_;
  size_t pos_ = 0;
};

// The value of 0.<digits> times ten to `exponent` (digits without leading zeros), raising
// overflow when it is too large for a double and giving 0 when it is too small.
double ComposeDecimal(const std::string& digits, int64_t exponent) {
  if (digits.empty()) return 0.0;
  const std::string text = "0." + digits + "e" + std::to_string(exponent);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // The first digit is not zero, so the value lies in [10^(exponent-1), 10^exponent).
    if (exponent > 0) RaiseOverflow();
    return 0.0;
  }
  if (std::isinf(value)) RaiseOverflow();
  return value;
}

// Reads [sign] digits [. digits] [E|D [sign] digits] at the cursor. Returns nullopt when there
// is no digit in the mantissa; an exponent letter without digits is left unread.
std::optional<double> ScanDecimal(Cursor& cursor) {
  bool negative = false;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    negative = cursor.Peek() == '-';
    cursor.Next();
  }
  std::string digits;
  int64_t point = 0;  // Digits before the decimal point, after the leading zeros are dropped
  bool any_digit = false;
  while (cursor.PeekIsDigit()) {
    any_digit = true;
    if (!digits.empty() || cursor.Peek() != '0') {
      digits += static_cast<char>(cursor.Peek());
      ++point;
    }
    cursor.Next();
  }
  if (cursor.Peek() == '.') {
    cursor.Next();
    while (cursor.PeekIsDigit()) {
      any_digit = true;
      if (!digits.empty() || cursor.Peek() != '0') {
        digits += static_cast<char>(cursor.Peek());
      } else {
        --point;  // A zero right after the point moves the first significant digit down
      }
      cursor.Next();
    }
  }
  if (!any_digit) return std::nullopt;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();

  int64_t exponent = 0;
  const int letter = cursor.Peek();
  if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
    const Cursor before_letter = cursor;
    cursor.Next();
    bool exponent_negative = false;
    if (cursor.Peek() == '+' || cursor.Peek() == '-') {
      exponent_negative = cursor.Peek() == '-';
      cursor.Next();
    }
    if (!cursor.PeekIsDigit()) {
      cursor = before_letter;
    } else {
      while (cursor.PeekIsDigit()) {
        exponent = std::min(exponent * 10 + (cursor.Peek() - '0'), kExponentClamp);
        cursor.Next();
      }
      if (exponent_negative) exponent = -exponent;
    }
  }
  const double magnitude = ComposeDecimal(digits, point + exponent);
  return negative ? -magnitude : magnitude;
}

// The value of a digit in the given radix (16 or 8), or -1 when the character is none.
int DigitValue(int c, int radix) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < radix ? value : -1;
}

// Reads the digits after &H or &O as a non-negative whole number.
double ScanRadix(Cursor& cursor, int radix) {
  double value = 0.0;
  for (int digit = DigitValue(cursor.Peek(), radix); digit >= 0;
       digit = DigitValue(cursor.Peek(), radix)) {
    value = value * radix + digit;
    cursor.Next();
  }
  if (std::isinf(value)) RaiseOverflow();
  return value;
}

}  // namespace

double ReadNumber(const std::optional<std::string>& text) {
  if (!text) return 0.0;
  Cursor cursor(*text, /*lenient=*/true);
  if (cursor.Peek() == '&') {
    cursor.Next();
    const int prefix = cursor.Peek();
    cursor.Next();
    if (prefix == 'H' || prefix == 'h') return ScanRadix(cursor, 16);
    if (prefix == 'O' || prefix == 'o') return ScanRadix(cursor, 8);
    return 0.0;
  }
  return ScanDecimal(cursor).value_or(0.0);
}

int32_t ToWholeNumber(const std::optional<std::string>& text) {
  // Only a key that is not there reads as 0: a key written with nothing after its "=" is a
  // value, and not a number.
  if (!text) return 0;
  Cursor cursor(*text, /*lenient=*/false);
  cursor.SkipBlanks();
  const std::optional<double> value = ScanDecimal(cursor);
  cursor.SkipBlanks();
  if (!value || !cursor.AtEnd()) {
    Raise(kErrTypeMismatch, "Type mismatch: \"" + *text + "\" is not a number");
  }
  return ToInt32(*value);
}

}  // namespace kraylo
