// Keyboard scan codes that index the key-state table (the DIK_ numbering).
#pragma once

#include <cstdint>

namespace kraylo::dik {

inline constexpr uint8_t kEscape = 0x01;
inline constexpr uint8_t kTab = 0x0F;
inline constexpr uint8_t kW = 0x11;
inline constexpr uint8_t kA = 0x1E;
inline constexpr uint8_t kS = 0x1F;
inline constexpr uint8_t kD = 0x20;
inline constexpr uint8_t kUp = 0xC8;
inline constexpr uint8_t kLeft = 0xCB;
inline constexpr uint8_t kRight = 0xCD;
inline constexpr uint8_t kDown = 0xD0;

// A held key's byte in the table.
inline constexpr uint8_t kHeld = 0x80;

}  // namespace kraylo::dik
