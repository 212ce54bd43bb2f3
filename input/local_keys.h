// The key-state table a tick of this machine's players reads: the players' own keys (the
// [Keys] bindings) and their pads decide which direction keys of the table are held, at the
// entries the simulation has always read (kDirectionKeys), so the simulation does not change.
#pragma once

#include <array>
#include <cstdint>

#include "input/directions.h"
#include "platform/platform.h"

namespace kraylo {

// Which physical key (its DIK entry of the keyboard's table) plays each direction key, in the
// order of kDirectionKeys: ball 1's Left, Right, Up, Down, then ball 2's.
struct KeyBindings {
  std::array<uint8_t, kDirectionKeys.size()> keys = kDirectionKeys;
};

// The tick's table from the keyboard's table: Esc and Tab as they are on the keyboard; each
// direction key held when its bound key is held or the player's pad holds that direction; Esc
// also while a player's pad holds Back. No other entry is held.
KeyTable LocalKeys(const KeyTable& keyboard, const KeyBindings& bindings, const Pads& pads);

}  // namespace kraylo
