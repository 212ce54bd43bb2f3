// The players' own keys, from the optional [Keys] section of the configuration file.
#pragma once

#include "input/local_keys.h"
#include "platform/platform.h"

namespace kraylo {

// The keys [Keys] gives the eight directions (p1Left ... p2Down, each the name of a key as SDL
// names it, in any case); a direction the section does not name keeps its usual key. Raises
// invalid argument (5) naming the line and the file for a name that is no key, for Esc and Tab
// (they have work of their own), and for a key that two directions would share (one of them
// perhaps by keeping its usual key); and what ReadConfig raises.
KeyBindings ReadKeyBindings(Files& files, const KeyboardApi& keyboard);

}  // namespace kraylo
