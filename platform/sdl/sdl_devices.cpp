#include "platform/sdl/sdl_devices.h"

#include <SDL.h>

#include "platform/devices/key_map.h"
#include "platform/keys.h"

namespace kraylo {

void SdlKeyboard::ReadKeys(KeyTable& table) {
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  table.fill(0);
  for (const KeyRow& row : kKeyRows) {
    if (row.scancode < count && state[row.scancode] != 0) table[row.key_index] = key_index::kHeld;
  }
}

}  // namespace kraylo
