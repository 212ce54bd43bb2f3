// A network game's meeting by code, as this program runs one: the meeting service's name looked
// up off the frame loop, the game's side of the meeting driven over the game's own socket, the
// joiner connected where the meeting found the host, and where it stands, for the screens.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "meeting/meeting_client.h"
#include "net/meeting_socket.h"
#include "online/host_address.h"
#include "platform/platform.h"

namespace kraylo {

// What a network game's meeting is made from: [Net] and the command line.
struct MeetingPlan {
  std::optional<HostAddress> service;  // the meeting service; none: no meeting
  std::optional<RoomCode> code;        // the joiner's: the room it joins
  bool hide_address = false;  // always through the relay: the other side never learns where
  uint64_t seed = 0;          // randomness for the meeting's transactions
};

enum class MeetingStage {
  kFindingService,  // the service's name is being looked up
  kAsking,          // the service is asked for a room, or for the room of the code
  kWaiting,         // the host's room has its code; no player yet
  kLooking,         // both sides try every way to each other
  kDirect,          // the game goes straight to the other side
  kRelayed,         // the game goes through the service's relay
  kFailed,          // failure() says why
};

class Meeting {
 public:
  // `socket` and `clock` must outlive the meeting; `plan` has a service. `offer` is this side's
  // game (version and field) and its own addresses; `keep_seconds` how long the relay waits for a
  // side gone quiet.
  Meeting(MeetingSocket& socket, Clock& clock, MeetingRole role, const MeetingPlan& plan,
          const Offer& offer, uint16_t keep_seconds);

  // Takes in what arrived, sends what is due, connects the joiner once the way is known. Call it
  // every frame.
  void Serve();
  // The relayed way broke (this side's address changed, or the service restarted): binds to the
  // relay again, at most every few seconds however often it is called.
  void Rebind();
  // An address more where this side may be reached (a port the router opened), offered from the
  // next keep-alive on.
  void AddCandidate(Endpoint candidate);

  MeetingStage stage() const { return stage_; }
  // The host's code once the service gave it; the joiner's and the spectator's from the start.
  const std::optional<RoomCode>& code() const { return code_; }
  // Why the meeting failed, for the player as it is (kFailed).
  const std::string& failure() const { return failure_; }
  // Where the game goes (kDirect, kRelayed): the other side, or the relay port for it.
  const std::optional<Endpoint>& way() const { return way_; }
  // When the meeting began (the code given) and when it first chose a way (seconds).
  double started() const { return started_; }
  const std::optional<double>& chosen_at() const { return chosen_at_; }
  // Datagrams sent to the service (its meeting, echo and relay ports) until the way was chosen:
  // each a request answered, or one lost and sent again.
  int requests() const { return requests_; }

  // The longest a meeting's service takes to be found and to answer (seconds).
  static constexpr double kMostWait = kServiceAnswerWait;
  // The shortest time between two rebindings (seconds).
  static constexpr double kRebindEvery = 3.0;

 private:
  struct Lookup;
  void StartClient(Endpoint service);
  void Take(const MeetingEvent& event, double now);
  // Whether the other side `other`'s events make this side's stage.
  bool Concerns(MeetingRole other) const;
  void Fail(std::string why);

  MeetingSocket& socket_;
  Clock& clock_;
  MeetingRole role_;
  MeetingPlan plan_;
  Offer offer_;
  uint16_t keep_seconds_;
  double started_;  // seconds
  std::shared_ptr<Lookup> lookup_;
  std::optional<MeetingClient> client_;
  uint32_t service_address_ = 0;  // the service's IPv4, once looked up
  MeetingStage stage_ = MeetingStage::kFindingService;
  std::optional<RoomCode> code_;
  std::optional<Endpoint> way_;
  std::optional<double> chosen_at_;  // seconds
  int requests_ = 0;
  double last_rebind_ = -kRebindEvery;
  std::string failure_;
};

}  // namespace kraylo
