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
  // Only a first word opens the door (a hello, a spectator's, the lost player's token), and only
  // while the game has not ended.
  const auto* rejoin = std::get_if<RejoinPacket>(&packet);
  const auto* watch = std::get_if<WatchPacket>(&packet);
  const auto* other = std::get_if<OtherVersionPacket>(&packet);
  const bool hello = std::holds_alternative<HelloPacket>(packet);
  if ((!hello && rejoin == nullptr && watch == nullptr && other == nullptr) || !state.open) {
    return {};
  }
  if (other != nullptr) return {Answer::kTurnAway, RefusalReason::kVersion, other->version};
  if (watch != nullptr) {
    if (state.watchers_full) return {Answer::kTurnAway, RefusalReason::kNoRoom};
    return {Answer::kWatch, RefusalReason::kHasPlayer, kProtocolVersion, 0, 0, watch->from};
  }
  if (rejoin != nullptr && state.reconnecting && rejoin->token == state.token) {
    return {Answer::kLetBack};
  }
  if (rejoin != nullptr || state.has_player) return {Answer::kTurnAway, RefusalReason::kHasPlayer};
  const auto& joiner = std::get<HelloPacket>(packet);
  if (joiner.width != state.width || joiner.height != state.height) {
    return {Answer::kTurnAway, RefusalReason::kFieldSize, kProtocolVersion, joiner.width,
            joiner.height};
  }
  return {Answer::kChoose};
}

}  // namespace kraylo
