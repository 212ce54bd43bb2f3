// Stand-ins for the network and the clock: transports that hand datagrams to each other in memory
// after a set delay, losing the input packets a test chooses, and a clock the test moves.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "net/protocol.h"
#include "net/transport.h"
#include "platform/platform.h"

namespace kraylo::testing {

// Seconds that pass only when the test says so.
class ManualClock : public Clock {
 public:
  double Seconds() override { return now; }
  CalendarTime Now() override { return {}; }
  double now = 1.0;
};

class FakeTransport : public Transport {
 public:
  explicit FakeTransport(Clock& clock) : clock_(clock) {}

  bool Poll(TransportEvent& event) override {
    if (inbox_.empty() || inbox_.begin()->first > clock_.Seconds()) return false;
    event = inbox_.begin()->second;
    inbox_.erase(inbox_.begin());
    return true;
  }

  void Send(PeerId peer, Channel channel, std::span<const uint8_t> bytes) override {
    const auto link = links_.find(peer);
    if (link == links_.end() || !link->second.open || Dark()) return;
    ++sent[static_cast<size_t>(channel)];
    if (channel == Channel::kInput && lose_input && lose_input()) return;
    TransportEvent event;
    event.kind = TransportEvent::Kind::kReceived;
    event.peer = link->second.id_there;
    event.channel = channel;
    event.size = bytes.size();
    std::copy(bytes.begin(), bytes.end(), event.data.begin());
    link->second.other->Deliver(event, link->second.delay);
  }

  void Flush() override {}

  void Disconnect(PeerId peer) override {
    const auto link = links_.find(peer);
    if (link == links_.end() || !link->second.open) return;
    link->second.open = false;
    TransportEvent event;
    event.kind = TransportEvent::Kind::kDisconnected;
    event.peer = link->second.id_there;
    link->second.other->Deliver(event, link->second.delay);
    link->second.other->Close(link->second.id_there);
  }

  size_t Backlog(PeerId peer) const override { return backlog ? backlog(peer) : 0; }

  // Drops every connection without a word to the other side, and connects again to the other
  // side of the first one.
  void Redial() override {
    if (links_.empty()) return;
    const Link first = links_.begin()->second;
    for (auto& [id, link] : links_) link.open = false;
    if (!Dark()) Connect(*this, *first.other, first.delay);
  }

  // A datagram from `peer` as if it had just arrived.
  void Inject(PeerId peer, Channel channel, std::span<const uint8_t> bytes) {
    TransportEvent event;
    event.kind = TransportEvent::Kind::kReceived;
    event.peer = peer;
    event.channel = channel;
    event.size = bytes.size();
    event.oversized = bytes.size() > event.data.size();
    if (!event.oversized) std::copy(bytes.begin(), bytes.end(), event.data.begin());
    Deliver(event, 0);
  }

  // Connects `a` and `b` with `one_way` seconds of delay each way; both hear of it after that.
  friend void Connect(FakeTransport& a, FakeTransport& b, double one_way) {
    const PeerId in_a = a.next_id_++;
    const PeerId in_b = b.next_id_++;
    a.links_[in_a] = Link{&b, in_b, one_way, true};
    b.links_[in_b] = Link{&a, in_a, one_way, true};
    TransportEvent event;
    event.kind = TransportEvent::Kind::kConnected;
    event.peer = in_a;
    a.Deliver(event, one_way);
    event.peer = in_b;
    b.Deliver(event, one_way);
  }

  // Whether the next input packet sent is lost (none are when unset).
  std::function<bool()> lose_input;
  // The bytes a connection has on their way (none when unset).
  std::function<size_t(PeerId)> backlog;
  // While it holds, this side is cut off: nothing it sends or is sent arrives, and it cannot
  // connect (never when unset).
  std::function<bool()> dark;
  // Datagrams sent so far on each channel (lost ones included).
  std::array<int64_t, 2> sent{};

 private:
  struct Link {
    FakeTransport* other = nullptr;
    PeerId id_there = 0;  // this side's connection as the other side numbers it
    double delay = 0;     // seconds
    bool open = true;
  };
  bool Dark() const { return dark && dark(); }
  void Deliver(const TransportEvent& event, double delay) {
    if (event.kind == TransportEvent::Kind::kReceived && Dark()) return;
    inbox_.emplace(clock_.Seconds() + delay, event);
  }
  void Close(PeerId peer) {
    const auto link = links_.find(peer);
    if (link != links_.end()) link->second.open = false;
  }

  Clock& clock_;
  std::multimap<double, TransportEvent> inbox_;  // by the time each event arrives
  std::map<PeerId, Link> links_;
  PeerId next_id_ = 1;
};

}  // namespace kraylo::testing
