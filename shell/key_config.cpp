// Reading [Keys]: every direction's line resolved to a key, then every pair of directions checked
// for a shared key, so that a player never finds one key steering two ways.
#include "shell/key_config.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "shell/config_keys.h"
#include "support/config.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// The usual keys' names, for messages about a direction that keeps its usual key.
constexpr std::array<std::string_view, kKeyActions.size()> kUsualKeyNames = {
    "Left", "Right", "Up", "Down", "A", "D", "W", "S"};

// Where a direction's key comes from: its line of [Keys] and the name written there, or nothing
// while it keeps its usual key.
struct Binding {
  std::optional<ConfigLine> line;
  std::string name;
};

[[noreturn]] void RaiseBad(const ConfigLine& line, const std::string& what) {
  RaiseBadLine(line, kKeysSection, what);
}

// The key of a line giving `role` ("a direction", "mute") a key; raises for a name that is no key
// or a key with work of its own.
uint8_t KeyOfLine(const ConfigLine& line, const std::string& name, const KeyboardApi& keyboard,
                  const std::string& role = "a direction") {
  const std::optional<uint8_t> key = keyboard.KeyNamed(name);
  if (!key) {
    RaiseBad(line, "names no key: \"" + name +
                       "\" is not the name of a key of a standard keyboard as SDL names them"
                       " (Left, A, Keypad 4, Right Shift, ...)");
  }
  if (*key == key_index::kEscape) {
    RaiseBad(line, "gives " + role + " to " + name + ", which ends the game");
  }
  if (*key == key_index::kTab) {
    RaiseBad(line, "gives " + role + " to " + name + ", which switches the debug overlay");
  }
  return *key;
}

// Raises for directions `first` and `second` (first < second), which were given the same key.
[[noreturn]] void RaiseShared(const std::array<Binding, kKeyActions.size()>& bindings, size_t first,
                              size_t second) {
  const Binding& a = bindings[first];
  const Binding& b = bindings[second];
  const std::string action_a(kKeyActions[first]);
  const std::string action_b(kKeyActions[second]);
  if (a.line && b.line) {
    RaiseBad(*b.line, "gives " + b.name + " to " + action_b + ", but the line \"" + a.line->line +
                          "\" gives it to " + action_a + " already: one key steers one way");
  }
  // One of the two keeps its usual key, and the other's line gives that key away.
  const Binding& named = a.line ? a : b;
  const std::string& named_action = a.line ? action_a : action_b;
  const std::string& usual_action = a.line ? action_b : action_a;
  const std::string usual_name(kUsualKeyNames[a.line ? second : first]);
  RaiseBad(*named.line, "gives " + named.name + " to " + named_action + ", but " + usual_action +
                            " keeps " + usual_name + ", its usual key: give " + usual_action +
                            " a key of its own in [Keys] as well");
}

}  // namespace

SettingLines ReadKeysSection(Files& files) {
  return ReadSettings(files, kConfigFile, kKeysSection, kKeysSectionKeys);
}

KeyBindings ReadKeyBindings(Files& files, const KeyboardApi& keyboard) {
  const SettingLines section = ReadKeysSection(files);
  KeyBindings keys;
  std::array<Binding, kKeyActions.size()> bindings;
  for (size_t i = 0; i < kKeyActions.size(); ++i) {
    Binding& binding = bindings[i];
    binding.line = section.Find(kKeyActions[i]);
    if (!binding.line) continue;
    binding.name = Strip(binding.line->value);
    keys.keys[i] = KeyOfLine(*binding.line, binding.name, keyboard);
  }
  for (size_t first = 0; first < keys.keys.size(); ++first) {
    for (size_t second = first + 1; second < keys.keys.size(); ++second) {
      if (keys.keys[first] == keys.keys[second]) RaiseShared(bindings, first, second);
    }
  }
  return keys;
}

MuteKey ReadMuteKey(Files& files, const KeyboardApi& keyboard, const KeyBindings& bindings) {
  const std::optional<ConfigLine> line = ReadKeysSection(files).Find(kMuteAction);
  const std::string name = line ? Strip(line->value) : std::string(kUsualMuteKey);
  const std::optional<uint8_t> key =
      line ? KeyOfLine(*line, name, keyboard, "mute") : keyboard.KeyNamed(name);
  const auto taken =
      key ? std::find(bindings.keys.begin(), bindings.keys.end(), *key) : bindings.keys.end();
  if (taken == bindings.keys.end()) return {key, ""};
  const std::string action(kKeyActions[static_cast<size_t>(taken - bindings.keys.begin())]);
  if (line) RaiseBad(*line, "gives " + name + " to mute, but " + action + " has it already");
  return {std::nullopt, "No mute key: " + name + " steers " + action};
}

}  // namespace kraylo
