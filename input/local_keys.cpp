#include "input/local_keys.h"

namespace kraylo {

KeyTable LocalKeys(const KeyTable& keyboard, const KeyBindings& bindings, const Pads& pads) {
  KeyTable table{};
  table[dik::kEscape] = keyboard[dik::kEscape];
  table[dik::kTab] = keyboard[dik::kTab];
  Directions directions = DirectionsOf(keyboard, bindings.keys);
  for (int player = 1; player <= 2; ++player) {
    const PadHeld pad = pads.Held(player);
    directions = static_cast<Directions>(directions | ForBall(pad.directions, player));
    if (pad.back) table[dik::kEscape] = dik::kHeld;
  }
  SetDirections(table, directions);
  return table;
}

}  // namespace kraylo
