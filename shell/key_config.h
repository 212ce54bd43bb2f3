// The players' own keys, from the optional [Keys] section of the configuration file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "input/local_keys.h"
#include "platform/platform.h"
#include "support/config.h"

namespace kraylo {

// The lines of [Keys]. Raises the malformed-line error for a line that starts like one of its keys
// but does not set it, and what ReadConfig raises.
SettingLines ReadKeysSection(Files& files);

// The keys [Keys] gives the eight directions (p1Left ... p2Down, each the name of a key as SDL
// names it, in any case); a direction the section does not name keeps its usual key. Raises
// invalid argument (5) naming the line and the file for a name that is no key, for Esc and Tab
// (they have work of their own), and for a key that two directions would share (one of them
// perhaps by keeping its usual key); and what ReadConfig raises.
KeyBindings ReadKeyBindings(Files& files, const KeyboardApi& keyboard);

// The mute key, and why there is none when the usual one cannot be had.
struct MuteKey {
  std::optional<uint8_t> key;  // its entry of the key-state table
  std::string note;            // for the start-up log when the usual key is taken; else empty
};

// The key [Keys] mute names, else M. Raises as ReadKeyBindings does for a named key that is no
// key, Esc, Tab or one of the directions' keys in `bindings`; M taken by a direction leaves mute
// without a key, so that a configuration that gives M to a player still works.
MuteKey ReadMuteKey(Files& files, const KeyboardApi& keyboard, const KeyBindings& bindings);

}  // namespace kraylo
