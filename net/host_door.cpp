#include "net/host_door.h"

#include <algorithm>

namespace kraylo {

bool HostDoor::Knock(PeerId peer, double now) {
  if (newcomers_.size() >= kMostNewcomers) return false;
  newcomers_.push_back({peer, now});
  return true;
}

void HostDoor::Forget(PeerId peer) {
  std::erase_if(newcomers_, [&](const Newcomer& known) { return known.peer == peer; });
}

void HostDoor::TakeSilent(double now, std::vector<PeerId>& silent) {
  std::erase_if(newcomers_, [&](const Newcomer& newcomer) {
    const bool waited = now - newcomer.since > kWaitsFor;
    if (waited) silent.push_back(newcomer.peer);
    return waited;
  });
}

Verdict HostDoor::Judge(const Packet& packet, const DoorState& state) {
  using Answer = Verdict::Answer;
  // Only a hello or the lost player's token opens the door, and only while it is open.
  const bool hello = std::holds_alternative<HelloPacket>(packet) ||
                     std::holds_alternative<OtherVersionPacket>(packet);
  const auto* rejoin = std::get_if<RejoinPacket>(&packet);
  if ((!hello && rejoin == nullptr) || !state.open) return {};
  if (rejoin != nullptr && state.reconnecting && rejoin->token == state.token) {
    return {Answer::kLetBack};
  }
  if (rejoin != nullptr || state.has_player) return {Answer::kTurnAway, RefusalReason::kHasPlayer};
  if (const auto* other = std::get_if<OtherVersionPacket>(&packet)) {
    return {Answer::kTurnAway, RefusalReason::kVersion, other->version};
  }
  const auto& joiner = std::get<HelloPacket>(packet);
  if (joiner.width != state.width || joiner.height != state.height) {
    return {Answer::kTurnAway, RefusalReason::kFieldSize, kProtocolVersion, joiner.width,
            joiner.height};
  }
  return {Answer::kChoose};
}

}  // namespace kraylo
