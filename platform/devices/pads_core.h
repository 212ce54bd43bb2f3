// The pads as both backends keep them: what each connected pad holds, fed by the backend's pad
// events, and what each player's pad says at a tick. Only the pads' own events and their mapping
// files differ between backends; the seats, the stick's dead zone and the focus rule are here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/devices/pad_seats.h"
#include "platform/platform.h"

namespace kraylo {

// The buttons a pad steers with; the D-pad's four in the order of PadHeld's direction bits.
enum class PadButton { kDpadLeft, kDpadRight, kDpadUp, kDpadDown, kBack };
// The left stick's two axes: -32768 left or up to 32767 right or down.
enum class PadAxis { kLeftX, kLeftY };

// How far the stick must lean on an axis before that direction counts as held (of 32767).
inline constexpr int16_t kStickDeadZone = 8000;

// The directions (bits 0-3: Left, Right, Up, Down) a left stick at (x, y) holds: an axis beyond
// the dead zone, strictly, holds its direction.
uint8_t StickDirections(int16_t x, int16_t y);

class PadsCore : public Pads {
 public:
  // Pads
  std::vector<PadInfo> Connected() const override;
  PadHeld Held(int player) const override;
  std::string Unavailable() const override { return unavailable_; }

  // ---- Fed by the backend (in) ----
  // A pad plugged in; it takes the lowest free player. Connecting a connected pad again changes
  // nothing.
  void Connect(PadId pad, std::string name);
  // A pad unplugged: its player is free again. Unknown pads are ignored.
  void Disconnect(PadId pad);
  // A button or an axis of a connected pad changed; unknown pads are ignored.
  void SetButton(PadId pad, PadButton button, bool down);
  void SetAxis(PadId pad, PadAxis axis, int16_t value);
  // Whether the main window has the focus; pads count only while it has.
  void SetFocus(bool focused) { focused_ = focused; }
  // Pads cannot be used on this machine, for `reason`.
  void SetUnavailable(std::string reason) { unavailable_ = std::move(reason); }

 private:
  struct Pad {
    PadId id = 0;
    std::string name;
    uint8_t buttons = 0;  // bit per PadButton
    int16_t x = 0;        // left stick
    int16_t y = 0;
  };
  // The connected pad `pad`, or nullptr.
  Pad* Find(PadId pad);
  const Pad* Find(PadId pad) const;
  template <typename Self>
  static auto* FindIn(Self& self, PadId pad);

  std::vector<Pad> pads_;  // in the order they were plugged in
  PadSeats seats_;
  bool focused_ = false;
  std::string unavailable_;
};

}  // namespace kraylo
