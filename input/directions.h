// The players' direction keys as one byte per tick. Whatever decides them (the keyboard, a pad,
// the computer, the other side of a network game, a replay) sets these bits, and the key-state
// table a tick of the simulation reads is made from them; so a tick's input can be recorded, sent
// and predicted as one byte.
#pragma once

#include <array>
#include <cstdint>

#include "platform/keys.h"

namespace kraylo {

// Bit i is set while kDirectionKeys[i] is held: bits 0-3 ball 1's Left, Right, Up, Down, bits 4-7
// ball 2's.
using Directions = uint8_t;

// The direction keys at their usual places, in the order of the bits: ball 1 on the arrows, ball
// 2 on A, D, W, S. Players' own keys and pads are mapped onto these entries of the table.
inline constexpr std::array<uint8_t, 8> kDirectionKeys = {
    key_index::kLeft, key_index::kRight, key_index::kUp, key_index::kDown,
    key_index::kA,    key_index::kD,     key_index::kW,  key_index::kS};

// The directions of ball `ball` (1 or 2) as bits 0-3 (Left, Right, Up, Down).
constexpr Directions BallDirections(Directions directions, int ball) {
  return static_cast<Directions>((directions >> (4 * (ball - 1))) & 0x0F);
}
// Bits 0-3 of `four` (Left, Right, Up, Down) as the directions of ball `ball` (1 or 2).
constexpr Directions ForBall(Directions four, int ball) {
  return static_cast<Directions>((four & 0x0F) << (4 * (ball - 1)));
}
// The four directions (bits 0-3) held with either ball's keys: a player who steers one ball alone
// (against the computer, or over the network) may use either key set, and either pad.
constexpr Directions EitherSet(Directions directions) {
  return static_cast<Directions>(BallDirections(directions, 1) | BallDirections(directions, 2));
}

// The direction keys held in `table`, each read at its entry of `keys` (a player's own keys) or
// at its usual place.
Directions DirectionsOf(const KeyTable& table, const std::array<uint8_t, 8>& keys = kDirectionKeys);
// Sets the eight direction keys of `table` to `directions`; the other entries stay.
void SetDirections(KeyTable& table, Directions directions);

}  // namespace kraylo
