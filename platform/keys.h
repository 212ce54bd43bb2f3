// The key-state table the keyboard device fills and the simulation reads, and the names of its
// entries: keyboard scan codes in the DIK_ numbering.
#pragma once

#include <array>
#include <cstdint>

namespace kraylo {

// Key-state table: 256 bytes by key index (DirectInput's scan-code numbering), key_index::kHeld
// while held, 0 otherwise.
using KeyTable = std::array<uint8_t, 256>;

namespace key_index {

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

}  // namespace key_index
}  // namespace kraylo
