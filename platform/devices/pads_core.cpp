#include "platform/devices/pads_core.h"

#include <algorithm>

namespace kraylo {
namespace {

constexpr uint8_t kLeft = 1, kRight = 2, kUp = 4, kDown = 8;
constexpr uint8_t kDpadBits = kLeft | kRight | kUp | kDown;

constexpr uint8_t Bit(PadButton button) {
  return static_cast<uint8_t>(1u << static_cast<int>(button));
}

}  // namespace

uint8_t StickDirections(int16_t x, int16_t y) {
  uint8_t held = 0;
  if (x < -kStickDeadZone) held |= kLeft;
  if (x > kStickDeadZone) held |= kRight;
  if (y < -kStickDeadZone) held |= kUp;
  if (y > kStickDeadZone) held |= kDown;
  return held;
}

std::vector<PadInfo> PadsCore::Connected() const {
  std::vector<PadInfo> connected;
  connected.reserve(pads_.size());
  for (const Pad& pad : pads_) connected.push_back({seats_.PlayerOf(pad.id), pad.name});
  return connected;
}

PadHeld PadsCore::Held(int player) const {
  if (!focused_) return {};
  const std::optional<PadId> id = seats_.PadOf(player);
  const Pad* pad = id ? Find(*id) : nullptr;
  if (pad == nullptr) return {};
  return {static_cast<uint8_t>((pad->buttons & kDpadBits) | StickDirections(pad->x, pad->y)),
          (pad->buttons & Bit(PadButton::kBack)) != 0};
}

void PadsCore::Connect(PadId pad, std::string name) {
  if (Find(pad) != nullptr) return;
  pads_.push_back({pad, std::move(name)});
  seats_.Connect(pad);
}

void PadsCore::Disconnect(PadId pad) {
  seats_.Disconnect(pad);
  std::erase_if(pads_, [pad](const Pad& connected) { return connected.id == pad; });
}

void PadsCore::SetButton(PadId pad, PadButton button, bool down) {
  Pad* connected = Find(pad);
  if (connected == nullptr) return;
  connected->buttons = static_cast<uint8_t>(down ? connected->buttons | Bit(button)
                                                 : connected->buttons & ~Bit(button));
}

void PadsCore::SetAxis(PadId pad, PadAxis axis, int16_t value) {
  Pad* connected = Find(pad);
  if (connected == nullptr) return;
  (axis == PadAxis::kLeftX ? connected->x : connected->y) = value;
}

template <typename Self>
auto* PadsCore::FindIn(Self& self, PadId pad) {
  const auto found = std::find_if(self.pads_.begin(), self.pads_.end(),
                                  [pad](const Pad& connected) { return connected.id == pad; });
  return found == self.pads_.end() ? nullptr : &*found;
}

PadsCore::Pad* PadsCore::Find(PadId pad) { return FindIn(*this, pad); }
const PadsCore::Pad* PadsCore::Find(PadId pad) const { return FindIn(*this, pad); }

}  // namespace kraylo
