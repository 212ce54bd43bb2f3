#include "input/local_keys.h"

namespace kraylo {

KeyTable LocalKeys(const KeyTable& keyboard, const KeyBindings& bindings, const Pads& pads) {
  KeyTable table{};
  table[key_index::kEscape] = keyboard[key_index::kEscape];
  table[key_index::kTab] = keyboard[key_index::kTab];
  Directions directions = DirectionsOf(keyboard, bindings.keys);
  for (int player = 1; player <= 2; ++player) {
    const PadHeld pad = pads.Held(player);
    directions = static_cast<Directions>(directions | ForBall(pad.directions, player));
    if (pad.back) table[key_index::kEscape] = key_index::kHeld;
  }
  SetDirections(table, directions);
  return table;
}

}  // namespace kraylo
