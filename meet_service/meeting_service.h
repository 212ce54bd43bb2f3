// The meeting service's state and rules, without sockets: rooms, introductions, relay binding, the
// relay itself and the address echo. One thread; every datagram in, the sends it causes out
// through ServiceNetwork.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "meet_service/rate_limits.h"
#include "meet_service/service_network.h"
#include "meeting/messages.h"

namespace kraylo {

// The service's ports and caps. (in)
struct ServiceLimits {
  uint16_t meeting_port = kMeetingPort;
  uint16_t echo_port = kEchoPort;
  uint16_t relay_low = 28000;  // the relay's ports, one per relayed side
  uint16_t relay_high = 31999;
  size_t rooms_per_address = 256;  // generous: players behind one carrier-grade NAT share one
  size_t games_per_address = 256;  // relayed sides bound from one address
  size_t most_rooms = 100000;      // with the games, bounds the memory (about 200 bytes each)
  size_t most_games = 2000;
  // A game sends about 33 datagrams a second each way of about 60 bytes (4 kB/s both ways
  // together); the relay lets through 8 times that.
  double game_bytes_per_second = 32768;
  RequestRate requests{10, 0.2};  // registrations and code look-ups per address
  RequestRate stun{20, 5};
  size_t most_addresses = 65536;  // tracked for the rate limits
};

// What the service did since the counters were last taken. (out)
struct ServiceCounters {
  size_t rooms = 0;          // live now
  size_t relayed_games = 0;  // live now
  uint64_t games_met = 0;    // players introduced to hosts
  uint64_t games_bound = 0;  // relayed games that began (or came back after a restart)
  uint64_t bytes_relayed = 0;
  uint64_t datagrams_relayed = 0;
  uint64_t dropped = 0;  // strangers' datagrams to a relay port, and those over a game's rate
  std::array<uint64_t, 10> refusals{};  // by MeetingRefusal
};

class MeetingService {
 public:
  MeetingService(const HashKey& key, const ServiceLimits& limits, ServiceNetwork& network);

  // A datagram that arrived on the service's port `port` from `from`, at `now` (seconds).
  void Receive(uint16_t port, Endpoint from, std::span<const uint8_t> bytes, double now);
  // Ends rooms without a keep-alive and relayed games whose sides both went quiet.
  void Expire(double now);
  // The counters; the counts of events start again from zero.
  ServiceCounters TakeCounters();

  // A room's life without a keep-alive (seconds).
  static constexpr double kRoomSeconds = 15;
  // Spectators a room introduces to its host at most: as many as a host lets watch.
  static constexpr size_t kMostRoomWatchers = 8;

 private:
  // A spectator's game with the host of a room.
  struct Watching {
    uint64_t game = 0;
    Endpoint watcher;
  };
  struct Room {
    Endpoint host;
    Offer offer;
    double last = 0;
    uint64_t game = 0;  // 0 until a player joined
    Endpoint player;
    std::vector<Watching> watchers;  // at most kMostRoomWatchers
  };
  struct Side {
    Endpoint address;
    bool bound = false;
    double last = 0;
  };
  struct RelayedGame {
    std::array<Side, 2> sides;        // the host's and its player's
    std::array<uint16_t, 2> ports{};  // the relay port that stands for each
    double keep_seconds = kDefaultKeepSeconds;
    double allowance = 0;  // bytes it may still send this second
    double filled = 0;     // when the allowance was last filled (seconds)
  };

  void ReceiveMeeting(Endpoint from, std::span<const uint8_t> bytes, double now);
  void Relay(uint16_t port, Endpoint from, std::span<const uint8_t> bytes, double now);
  // Answers go from `from_port`, or 0: the meeting port.
  void Reply(Endpoint to, const MeetingMessage& message, uint16_t from_port = 0);
  void Refuse(Endpoint to, MeetingRefusal reason, uint16_t from_port = 0);
  void Register(Endpoint from, const RegisterMessage& message, double now);
  void KeepAlive(Endpoint from, const KeepAliveMessage& message, double now);
  void Join(Endpoint from, const JoinMessage& message, double now);
  void JoinToWatch(Endpoint from, const JoinMessage& message, Room& room);
  void AnswerBindRequest(Endpoint from, const BindRequestMessage& request, double now,
                         uint16_t port);
  void Bind(Endpoint from, const BindMessage& message, double now, uint16_t port);
  void BindAtRelay(uint16_t port, Endpoint from, std::span<const uint8_t> bytes, double now);
  bool OpenRoom(RoomCode code, Endpoint host, const Offer& offer, double now);
  RelayedGame* OpenGame(uint64_t game);
  void CloseGame(uint64_t game);
  size_t& RoomsOf(uint32_t address) { return rooms_per_address_[address]; }
  HashKey RoomToken(RoomCode code) const;
  HashKey GameToken(uint64_t game, MeetingRole role) const;
  uint64_t Challenge(Endpoint from, uint64_t game, MeetingRole role, int64_t period) const;

  HashKey key_;
  ServiceLimits limits_;
  ServiceNetwork& network_;
  RateLimits rate_limits_;
  std::unordered_map<uint64_t, Room> rooms_;  // by code
  std::unordered_map<uint32_t, size_t> rooms_per_address_;
  std::unordered_map<uint64_t, RelayedGame> games_;
  std::unordered_map<uint32_t, size_t> sides_per_address_;
  // Each relay port's game and side (index: port - relay_low; game 0: free).
  std::vector<std::pair<uint64_t, uint8_t>> ports_;
  ServiceCounters counters_;
};

}  // namespace kraylo
