#include "platform/devices/keyboard_api_core.h"

#include <SDL_keyboard.h>

#include <string>

#include "platform/devices/key_map.h"

namespace kraylo {
namespace {

bool HasExactlyOne(int32_t flags, int32_t first, int32_t second) {
  return ((flags & first) != 0) != ((flags & second) != 0);
}

}  // namespace

void KeyboardApiCore::CreateInput() {
  faults_.Check(Fault::kDirectInputCreate);
  input_ = true;
}

void KeyboardApiCore::CreateDevice() {
  faults_.Check(Fault::kCreateDevice);
  if (!input_) Raise(kErrNoInput, "The keyboard input object was never created");
  device_ = true;
}

void KeyboardApiCore::SetDataFormat() {
  faults_.Check(Fault::kSetCommonDataFormat);
  RequireDevice();
  format_set_ = true;
}

void KeyboardApiCore::SetCooperativeLevel(WindowHandle window, int32_t flags) {
  faults_.Check(Fault::kSetCooperativeLevelKeyboard);
  RequireDevice();
  if (window == 0) Raise(kErrBadWindow, "The keyboard device needs a window, and window 0 is none");
  if (!HasExactlyOne(flags, kExclusive, kNonExclusive) ||
      !HasExactlyOne(flags, kForeground, kBackground)) {
    Raise(kErrBadArgument, "Keyboard cooperative level " + std::to_string(flags) +
                               " must name exactly one of exclusive (1) and non-exclusive (2)"
                               " and one of foreground (4) and background (8)");
  }
}

void KeyboardApiCore::Acquire() {
  faults_.Check(Fault::kAcquire);
  RequireDevice();
  if (!format_set_) {
    Raise(kErrNotAcquired, "The keyboard device cannot be acquired before its data format is set");
  }
  acquired_ = true;
}

void KeyboardApiCore::GetState(KeyTable& table) {
  faults_.Check(Fault::kGetDeviceState);
  if (!acquired_) Raise(kErrNotAcquired, "The keyboard device is not acquired");
  ReadKeys(table);
}

std::optional<uint8_t> KeyboardApiCore::KeyNamed(std::string_view name) const {
  // SDL reads a terminated string: a name with a NUL inside would be cut short there.
  if (name.find('\0') != std::string_view::npos) return std::nullopt;
  const std::string terminated(name);
  const uint8_t key_index = KeyIndexOf(SDL_GetScancodeFromName(terminated.c_str()));
  if (key_index == 0) return std::nullopt;
  return key_index;
}

void KeyboardApiCore::RequireDevice() const {
  if (!device_) Raise(kErrNoDevice, "The keyboard device was never created");
}

}  // namespace kraylo
