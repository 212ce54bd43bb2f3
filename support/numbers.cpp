// Checked integer arithmetic, rounding conversions and the small text helpers of the program.
#include "support/numbers.h"

#include <cmath>
#include <limits>

#include "platform/run_error.h"

namespace kraylo {
namespace {

// Rounds to the nearest whole number, an exact half going to the even neighbour. Done by hand
// rather than with nearbyint so that no floating-point environment setting can change it, and
// without round, which the Windows C runtime gets wrong just below a half (it rounds
// 0.49999999999999994 up): the game's states must be the same on every machine. The fraction
// is exact, as a double minus its whole part always is.
double RoundHalfEven(double value) {
  const double whole = std::trunc(value);
  const double fraction = std::fabs(value - whole);
  const double away = whole + (value < 0 ? -1.0 : 1.0);
  if (fraction < 0.5) return whole;
  if (fraction > 0.5) return away;
  return std::fmod(whole, 2.0) == 0.0 ? whole : away;
}

// The whole number `value` as a T, raising overflow when it (or NaN) lies outside T's range.
template <typename T>
T CheckedWhole(double value) {
  constexpr double kLowest = static_cast<double>(std::numeric_limits<T>::lowest());
  constexpr double kMax = static_cast<double>(std::numeric_limits<T>::max());
  // Written so that NaN fails both comparisons and lands in the error.
  if (!(value >= kLowest && value <= kMax)) RaiseOverflow();
  return static_cast<T>(value);
}

// A 16-bit result computed in 32 bits, raising overflow when it does not fit.
int16_t Checked16(int32_t result) {
  if (result < std::numeric_limits<int16_t>::lowest() ||
      result > std::numeric_limits<int16_t>::max())
    RaiseOverflow();
  return static_cast<int16_t>(result);
}

// A 32-bit result computed in 64 bits, raising overflow when it does not fit.
int32_t Checked32(int64_t result) {
  if (result < std::numeric_limits<int32_t>::lowest() ||
      result > std::numeric_limits<int32_t>::max())
    RaiseOverflow();
  return static_cast<int32_t>(result);
}

}  // namespace

void RaiseOverflow() { Raise(kErrOverflow, "Overflow"); }

int16_t ToInt16(double value) { return CheckedWhole<int16_t>(RoundHalfEven(value)); }
int32_t ToInt32(double value) { return CheckedWhole<int32_t>(RoundHalfEven(value)); }
int16_t FloorToInt16(double value) { return CheckedWhole<int16_t>(std::floor(value)); }

int16_t Add16(int16_t a, int16_t b) { return Checked16(int32_t{a} + int32_t{b}); }
int16_t Sub16(int16_t a, int16_t b) { return Checked16(int32_t{a} - int32_t{b}); }
int16_t Mul16(int16_t a, int16_t b) { return Checked16(int32_t{a} * int32_t{b}); }
int32_t Add32(int32_t a, int32_t b) { return Checked32(int64_t{a} + int64_t{b}); }
int32_t Sub32(int32_t a, int32_t b) { return Checked32(int64_t{a} - int64_t{b}); }
int32_t Mul32(int32_t a, int32_t b) { return Checked32(int64_t{a} * int64_t{b}); }

std::optional<int> WholeNumberIn(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::string Strip(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace kraylo
