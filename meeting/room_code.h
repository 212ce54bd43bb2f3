// A room's code: 40 random bits shown as 8 symbols of Crockford's base32, "ABCD-EFGH", easy to say
// aloud and to type in any case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace kraylo {

// The most a code's value can be, plus one (40 bits).
inline constexpr uint64_t kRoomCodeValues = uint64_t{1} << 40;

struct RoomCode {
  uint64_t value = 0;  // 0 to kRoomCodeValues - 1
  bool operator==(const RoomCode&) const = default;
};

// Why a text is not a code, said to the player as it is.
struct RoomCodeError {
  std::string message;
};

// "ABCD-EFGH": upper case, with its hyphen.
std::string FormatRoomCode(RoomCode code);

// Reads a code as a player types it: spaces around it ignored, any case, I and L read as 1, O as
// 0, the hyphen after the fourth symbol required (so that a code is never taken for a host name).
std::variant<RoomCode, RoomCodeError> ParseRoomCode(std::string_view text);

// Whether `text` has a code's shape (four symbols, a hyphen, four symbols), whatever the symbols:
// such a text is meant as a code, and a wrong symbol in it is an error, not a host name.
bool LooksLikeRoomCode(std::string_view text);

}  // namespace kraylo
