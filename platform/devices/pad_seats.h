// Which pad steers which player's ball: the first pad plugged in player 1, the second player 2;
// an unplugged pad frees its player, and the next pad plugged in takes the lowest free player.
// Pads beyond the two wait without a ball; they are not moved up when a player becomes free,
// so that a pad plugged in again gets its ball back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kraylo {

// A backend's own number for a connected pad, unique while it stays connected.
using PadId = int32_t;

class PadSeats {
 public:
  static constexpr int kPlayers = 2;

  // Seats a pad just plugged in: its player (1 or 2), or 0 when both have a pad. A pad seated
  // already keeps its player.
  int Connect(PadId pad);
  // Frees the player of a pad just unplugged; nothing for a pad without one.
  void Disconnect(PadId pad);
  // The player of `pad` (1 or 2), or 0 when it has none.
  int PlayerOf(PadId pad) const;
  // The pad of `player` (1 or 2), if any.
  std::optional<PadId> PadOf(int player) const;

 private:
  std::array<std::optional<PadId>, kPlayers> seats_{};
};

}  // namespace kraylo
