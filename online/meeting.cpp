#include "online/meeting.h"

#include <mutex>
#include <thread>
#include <utility>

#include "net/enet_transport.h"

namespace kraylo {

// The service's name looked up on a thread of its own: a name server that does not answer must
// not freeze the picture. The thread owns its share: a meeting that ends first drops the answer.
struct Meeting::Lookup {
  std::mutex mutex;
  bool done = false;
  std::optional<uint32_t> address;
};

Meeting::Meeting(MeetingSocket& socket, Clock& clock, MeetingRole role, const MeetingPlan& plan,
                 const Offer& offer, uint16_t keep_seconds)
    : socket_(socket),
      clock_(clock),
      role_(role),
      plan_(plan),
      offer_(offer),
      keep_seconds_(keep_seconds),
      started_(clock.Seconds()),
      lookup_(std::make_shared<Lookup>()),
      code_(plan.code) {
  offer_.hides_address = plan.hide_address ? 1 : 0;
  std::thread([name = plan.service->name, lookup = lookup_] {
    std::optional<uint32_t> address = LookUpIpv4(name);
    const std::lock_guard lock(lookup->mutex);
    lookup->address = address;
    lookup->done = true;
  }).detach();
}

void Meeting::Fail(std::string why) {
  stage_ = MeetingStage::kFailed;
  failure_ = std::move(why);
}

void Meeting::StartClient(Endpoint service) {
  MeetingSetup setup;
  setup.service = service;
  setup.service_name = plan_.service->Text();
  setup.offer = offer_;
  setup.keep_seconds = keep_seconds_;
  setup.seed = plan_.seed;
  // The client's wait for the service counts from the meeting's start: the look-up was part of it.
  switch (role_) {
    case MeetingRole::kHost:
      client_ = MeetingClient::ForHost(setup, started_);
      break;
    case MeetingRole::kPlayer:
      client_ = MeetingClient::ForJoiner(setup, *plan_.code, started_);
      break;
    case MeetingRole::kWatcher:
      client_ = MeetingClient::ForWatcher(setup, *plan_.code, started_);
      break;
  }
  stage_ = MeetingStage::kAsking;
}

void Meeting::Serve() {
  if (stage_ == MeetingStage::kFailed) return;
  const double now = clock_.Seconds();
  if (!client_) {
    const std::lock_guard lock(lookup_->mutex);
    if (lookup_->done && !lookup_->address) {
      return Fail("The meeting service's name " + plan_.service->name + " is not known");
    }
    if (!lookup_->done) {
      if (now - started_ > kMostWait) {
        Fail("No answer about the meeting service's name " + plan_.service->name + " within 5 s");
      }
      return;
    }
    service_address_ = *lookup_->address;
    StartClient(Endpoint{*lookup_->address, plan_.service->port});
  }
  for (const MeetingDatagram& datagram : socket_.TakeMeetingDatagrams()) {
    client_->Receive(datagram.from, datagram.bytes, now);
  }
  client_->Advance(now);
  for (const MeetingSend& send : client_->TakeSends()) {
    if (send.to.address == service_address_ && !chosen_at_) ++requests_;
    socket_.SendMeetingDatagram(send.to, send.bytes);
  }
  for (const MeetingEvent& event : client_->TakeEvents()) Take(event, now);
}

void Meeting::Take(const MeetingEvent& event, double now) {
  if (const auto* given = std::get_if<CodeGivenEvent>(&event)) {
    code_ = given->code;
    stage_ = MeetingStage::kWaiting;
  } else if (const auto* found = std::get_if<PeerFoundEvent>(&event)) {
    if (Concerns(found->role)) stage_ = MeetingStage::kLooking;
  } else if (const auto* chosen = std::get_if<PathChosenEvent>(&event)) {
    if (!Concerns(chosen->role)) return;
    stage_ = chosen->kind == PathKind::kRelayed ? MeetingStage::kRelayed : MeetingStage::kDirect;
    if (!chosen_at_) chosen_at_ = now;
    // The host is dialled: it only waits. A joiner whose way changed (a rebinding at new relay
    // ports) connects afresh; the same way again leaves its connection as it is.
    const bool changed = way_ != chosen->peer;
    way_ = chosen->peer;
    if (role_ != MeetingRole::kHost && changed) socket_.DialPeer(chosen->peer);
  } else if (const auto* failed = std::get_if<MeetingFailedEvent>(&event)) {
    Fail(failed->message);
  }
}

bool Meeting::Concerns(MeetingRole other) const {
  // The host's stage and way are its player's: spectators come and go through the door.
  return role_ != MeetingRole::kHost || other == MeetingRole::kPlayer;
}

void Meeting::Rebind() {
  const double now = clock_.Seconds();
  if (!client_ || stage_ != MeetingStage::kRelayed || now - last_rebind_ < kRebindEvery) return;
  last_rebind_ = now;
  client_->Rebind(now);
}

void Meeting::AddCandidate(Endpoint candidate) {
  // Once the client runs, its offer is the one sent; before, the one it will start from.
  if (client_) return client_->AddCandidate(candidate);
  offer_.candidates.Add(candidate);
}

}  // namespace kraylo
