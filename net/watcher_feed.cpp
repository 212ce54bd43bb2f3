#include "net/watcher_feed.h"

#include <algorithm>

#include "net/protocol.h"

namespace kraylo {

WatcherFeed::WatcherFeed() {
  inputs_.reserve(kTicksReserved);
  checksums_.reserve(kTicksReserved);
  watchers_.reserve(kMostWatchers);
}

void WatcherFeed::Confirmed(int64_t tick, Directions input, uint32_t checksum) {
  if (tick != ticks()) return;
  inputs_.push_back(input);
  checksums_.push_back(checksum);
}

bool WatcherFeed::Add(PeerId peer, int64_t from, double now) {
  if (Has(peer) || count() >= kMostWatchers) return false;
  watchers_.push_back({peer, std::clamp<int64_t>(from, 0, ticks()), now});
  return true;
}

void WatcherFeed::Remove(PeerId peer) {
  std::erase_if(watchers_, [&](const Watcher& watcher) { return watcher.peer == peer; });
}

bool WatcherFeed::Has(PeerId peer) const {
  return std::any_of(watchers_.begin(), watchers_.end(),
                     [&](const Watcher& watcher) { return watcher.peer == peer; });
}

bool WatcherFeed::SendBatch(Transport& transport, Watcher& watcher, double now) {
  const int64_t waiting = ticks() - watcher.next;
  if (waiting <= 0) return false;
  // History goes as fast as the budget lets it; a spectator caught up gets a few ticks at a time.
  if (waiting < kLiveBatch && now - watcher.last_sent < kLiveWait) return false;
  TicksPacket packet;
  packet.first = watcher.next;
  packet.count = static_cast<int>(std::min<int64_t>(waiting, kMaxTicksPerPacket));
  const auto first = static_cast<size_t>(packet.first);
  std::copy_n(inputs_.begin() + static_cast<std::ptrdiff_t>(first), packet.count,
              packet.inputs.begin());
  packet.checksum = checksums_[first + static_cast<size_t>(packet.count) - 1];
  transport.Send(watcher.peer, Channel::kControl, Encode(packet).bytes());
  watcher.next += packet.count;
  watcher.last_sent = now;
  return true;
}

void WatcherFeed::Serve(Transport& transport, double now) {
  std::erase_if(watchers_, [&](Watcher& watcher) {
    while (transport.Backlog(watcher.peer) < kMostBacklog) {
      if (!SendBatch(transport, watcher, now)) break;
    }
    const bool behind = transport.Backlog(watcher.peer) >= kMostBacklog;
    if (!behind) {
      watcher.behind_since = -1;
    } else if (watcher.behind_since < 0) {
      watcher.behind_since = now;
    } else if (now - watcher.behind_since > kMostBehindFor) {
      transport.Disconnect(watcher.peer);
      return true;
    }
    return false;
  });
}

void WatcherFeed::End(Transport& transport) {
  for (Watcher& watcher : watchers_) {
    // What it has not been sent yet goes first, whatever the budget: there is no later.
    watcher.last_sent = -kLiveWait;
    while (SendBatch(transport, watcher, 0)) {
    }
    transport.Send(watcher.peer, Channel::kControl, Encode(QuitPacket{}).bytes());
    transport.Disconnect(watcher.peer);
  }
  watchers_.clear();
}

}  // namespace kraylo
