#include "platform/devices/pad_seats.h"

namespace kraylo {

int PadSeats::Connect(PadId pad) {
  if (const int player = PlayerOf(pad); player != 0) return player;
  for (size_t seat = 0; seat < seats_.size(); ++seat) {
    if (!seats_[seat]) {
      seats_[seat] = pad;
      return static_cast<int>(seat) + 1;
    }
  }
  return 0;
}

void PadSeats::Disconnect(PadId pad) {
  for (std::optional<PadId>& seat : seats_) {
    if (seat == pad) seat.reset();
  }
}

int PadSeats::PlayerOf(PadId pad) const {
  for (size_t seat = 0; seat < seats_.size(); ++seat) {
    if (seats_[seat] == pad) return static_cast<int>(seat) + 1;
  }
  return 0;
}

std::optional<PadId> PadSeats::PadOf(int player) const {
  if (player < 1 || player > kPlayers) return std::nullopt;
  return seats_[static_cast<size_t>(player - 1)];
}

}  // namespace kraylo
