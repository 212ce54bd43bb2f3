#include "meeting/room_code.h"

#include <cctype>

namespace kraylo {
namespace {

// Crockford's alphabet: no I, L, O or U, so that no two symbols look or sound alike.
constexpr std::string_view kSymbols = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr size_t kSymbolsPerHalf = 4;
constexpr size_t kCodeLength = 2 * kSymbolsPerHalf + 1;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
    text.remove_suffix(1);
  }
  return text;
}

// The value of a typed symbol, look-alikes read as what they look like; -1 for none.
int SymbolValue(char typed) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
  const char read = upper == 'I' || upper == 'L' ? '1' : upper == 'O' ? '0' : upper;
  const size_t at = kSymbols.find(read);
  return at == std::string_view::npos || typed == '\0' ? -1 : static_cast<int>(at);
}

}  // namespace

std::string FormatRoomCode(RoomCode code) {
  std::string text(kCodeLength, '-');
  for (size_t i = 0; i < 2 * kSymbolsPerHalf; ++i) {
    const auto symbol = (code.value >> (5 * (2 * kSymbolsPerHalf - 1 - i))) & 31;
    text[i < kSymbolsPerHalf ? i : i + 1] = kSymbols[symbol];
  }
  return text;
}

bool LooksLikeRoomCode(std::string_view text) {
  text = Trimmed(text);
  if (text.size() != kCodeLength || text[kSymbolsPerHalf] != '-') return false;
  for (size_t i = 0; i < kCodeLength; ++i) {
    if (i != kSymbolsPerHalf && std::isalnum(static_cast<unsigned char>(text[i])) == 0) {
      return false;
    }
  }
  return true;
}

std::variant<RoomCode, RoomCodeError> ParseRoomCode(std::string_view text) {
  text = Trimmed(text);
  if (text.size() != kCodeLength || text[kSymbolsPerHalf] != '-') {
    return RoomCodeError{
        "A code is 8 letters and digits with a hyphen in the middle, like ABCD-EFGH"};
  }
  RoomCode code;
  for (size_t i = 0; i < kCodeLength; ++i) {
    if (i == kSymbolsPerHalf) continue;
    const int value = SymbolValue(text[i]);
    if (value < 0) {
      return RoomCodeError{std::string("A code has no '") + text[i] +
                           "': it uses the digits and the letters but U"};
    }
    code.value = code.value << 5 | static_cast<uint64_t>(value);
  }
  return code;
}

}  // namespace kraylo
