// The rules: nothing answers a request with more bytes than the request had; a code look-up and a
// registration take from the address's request rate; a relay port forwards only what comes from
// the bound side of its game, within the game's rate; tokens are never stored, only recomputed
// from the key, so a restarted service with the same key takes them back.
#include "meet_service/meeting_service.h"

#include <algorithm>
#include <cmath>

#include "meet_service/service_key.h"
#include "meeting/stun.h"

namespace kraylo {
namespace {

// A challenge is good in the period it was made and the next (seconds each).
constexpr double kChallengePeriod = 30;

// The bytes a keyed hash is taken of: a purpose, then numbers.
struct HashInput {
  std::array<uint8_t, 32> bytes{};
  size_t size = 0;
  HashInput(char purpose, std::initializer_list<uint64_t> numbers) {
    bytes[size++] = static_cast<uint8_t>(purpose);
    for (const uint64_t number : numbers) {
      for (size_t i = 0; i < 8 && size < bytes.size(); ++i) {
        bytes[size++] = static_cast<uint8_t>(number >> (8 * i));
      }
    }
  }
  std::span<const uint8_t> span() const { return {bytes.data(), size}; }
};

bool SameGame(const Offer& a, const Offer& b) { return a.width == b.width && a.height == b.height; }

// Each relayed game has the host's side (0) and the other's (1), a player's or a spectator's.
size_t SideOf(MeetingRole role) { return role == MeetingRole::kHost ? 0 : 1; }

// What the other side is told of a side: nothing of where it is, when it hides its address.
Endpoint Shown(Endpoint seen, const Offer& offer) {
  return offer.hides_address != 0 ? Endpoint{} : seen;
}
Offer Shown(Offer offer) {
  if (offer.hides_address != 0) offer.candidates = {};
  return offer;
}

}  // namespace

MeetingService::MeetingService(const HashKey& key, const ServiceLimits& limits,
                               ServiceNetwork& network)
    : key_(key),
      limits_(limits),
      network_(network),
      rate_limits_(limits.requests, limits.stun, limits.most_addresses),
      ports_(static_cast<size_t>(limits.relay_high - limits.relay_low) + 1) {}

HashKey MeetingService::RoomToken(RoomCode code) const {
  return SipHash128(key_, HashInput('R', {code.value}).span());
}

HashKey MeetingService::GameToken(uint64_t game, MeetingRole role) const {
  return SipHash128(key_, HashInput('T', {game, static_cast<uint64_t>(role)}).span());
}

uint64_t MeetingService::Challenge(Endpoint from, uint64_t game, MeetingRole role,
                                   int64_t period) const {
  return SipHash(key_, HashInput('C', {uint64_t{from.address} << 16 | from.port, game,
                                       static_cast<uint64_t>(role), static_cast<uint64_t>(period)})
                           .span());
}

void MeetingService::Reply(Endpoint to, const MeetingMessage& message, uint16_t from_port) {
  const MeetingBytes bytes = EncodeMeeting(message);
  network_.Send(from_port != 0 ? from_port : limits_.meeting_port, to, bytes.bytes());
}

void MeetingService::Refuse(Endpoint to, MeetingRefusal reason, uint16_t from_port) {
  ++counters_.refusals[static_cast<size_t>(reason)];
  Reply(to, RefusedMessage{reason, kMeetingVersion}, from_port);
}

void MeetingService::Receive(uint16_t port, Endpoint from, std::span<const uint8_t> bytes,
                             double now) {
  if (port != limits_.meeting_port && port != limits_.echo_port) {
    if (IsMeetingDatagram(bytes)) {
      BindAtRelay(port, from, bytes, now);
    } else {
      Relay(port, from, bytes, now);
    }
  } else if (port == limits_.meeting_port && IsMeetingDatagram(bytes)) {
    ReceiveMeeting(from, bytes, now);
  } else if (const auto answer = AnswerStun(bytes, from)) {
    if (rate_limits_.Take(from.address, Limited::kStun, now)) {
      network_.Send(port, from, *answer);
    } else {
      ++counters_.refusals[static_cast<size_t>(MeetingRefusal::kSlowDown)];
    }
  }
}

void MeetingService::ReceiveMeeting(Endpoint from, std::span<const uint8_t> bytes, double now) {
  const MeetingMessage message = DecodeMeeting(bytes);
  if (std::holds_alternative<OtherVersionMessage>(message)) {
    // Said in our version, and only to a request at least as large as the saying.
    if (bytes.size() >= MeetingSize(RefusedMessage{}))
      Refuse(from, MeetingRefusal::kOtherMeetingVersion);
  } else if (const auto* registration = std::get_if<RegisterMessage>(&message)) {
    Register(from, *registration, now);
  } else if (const auto* keep_alive = std::get_if<KeepAliveMessage>(&message)) {
    KeepAlive(from, *keep_alive, now);
  } else if (const auto* join = std::get_if<JoinMessage>(&message)) {
    Join(from, *join, now);
  } else if (const auto* request = std::get_if<BindRequestMessage>(&message)) {
    AnswerBindRequest(from, *request, now, 0);
  } else if (const auto* bind = std::get_if<BindMessage>(&message)) {
    Bind(from, *bind, now, 0);
  }
}

void MeetingService::AnswerBindRequest(Endpoint from, const BindRequestMessage& request, double now,
                                       uint16_t port) {
  const auto period = static_cast<int64_t>(std::floor(now / kChallengePeriod));
  Reply(from, ChallengeMessage{request.game, Challenge(from, request.game, request.role, period)},
        port);
}

void MeetingService::BindAtRelay(uint16_t port, Endpoint from, std::span<const uint8_t> bytes,
                                 double now) {
  // Only the side that sends to this port binds here: the relay then knows it by the address its
  // NAT gives towards this very port, which a NAT with a port per destination makes another.
  const size_t index = static_cast<size_t>(port - limits_.relay_low);
  if (index >= ports_.size() || ports_[index].first == 0) return;
  const uint64_t game = ports_[index].first;
  const size_t sender = 1 - ports_[index].second;
  const MeetingMessage message = DecodeMeeting(bytes);
  if (const auto* request = std::get_if<BindRequestMessage>(&message)) {
    if (request->game == game && SideOf(request->role) == sender)
      AnswerBindRequest(from, *request, now, port);
  } else if (const auto* bind = std::get_if<BindMessage>(&message)) {
    if (bind->game == game && SideOf(bind->role) == sender) Bind(from, *bind, now, port);
  }
}

bool MeetingService::OpenRoom(RoomCode code, Endpoint host, const Offer& offer, double now) {
  if (RoomsOf(host.address) >= limits_.rooms_per_address || rooms_.size() >= limits_.most_rooms) {
    return false;
  }
  ++RoomsOf(host.address);
  rooms_[code.value] = Room{host, offer, now, 0, {}, {}};
  return true;
}

void MeetingService::Register(Endpoint from, const RegisterMessage& message, double now) {
  if (!rate_limits_.Take(from.address, Limited::kRequest, now)) {
    return Refuse(from, MeetingRefusal::kSlowDown);
  }
  RoomCode code{SystemRandom() % kRoomCodeValues};
  for (int tries = 0; tries < 16 && rooms_.contains(code.value); ++tries) {
    code.value = SystemRandom() % kRoomCodeValues;
  }
  if (rooms_.contains(code.value) || !OpenRoom(code, from, message.offer, now)) {
    return Refuse(from, MeetingRefusal::kTooMany);
  }
  Reply(from, RegisteredMessage{code, RoomToken(code), from});
}

void MeetingService::KeepAlive(Endpoint from, const KeepAliveMessage& message, double now) {
  if (message.room_token != RoomToken(message.code)) return Refuse(from, MeetingRefusal::kBadToken);
  const auto found = rooms_.find(message.code.value);
  if (found == rooms_.end()) {
    // A room this service forgot (it restarted): the token says it is the host's.
    if (!OpenRoom(message.code, from, message.offer, now))
      return Refuse(from, MeetingRefusal::kTooMany);
  } else {
    Room& room = found->second;
    if (room.host.address != from.address) {
      --RoomsOf(room.host.address);
      ++RoomsOf(from.address);
    }
    room.host = from;
    room.offer = message.offer;
    room.last = now;
  }
  Reply(from, KeptMessage{message.code, from});
}

void MeetingService::Join(Endpoint from, const JoinMessage& message, double now) {
  if (!rate_limits_.Take(from.address, Limited::kRequest, now)) {
    return Refuse(from, MeetingRefusal::kSlowDown);
  }
  const auto found = rooms_.find(message.code.value);
  if (found == rooms_.end()) return Refuse(from, MeetingRefusal::kNoSuchCode);
  Room& room = found->second;
  if (room.offer.game_version != message.offer.game_version) {
    return Refuse(from, MeetingRefusal::kGameVersion);
  }
  // A spectator is shown the host's field, whatever its own.
  if (message.role == MeetingRole::kWatcher) return JoinToWatch(from, message, room);
  if (!SameGame(room.offer, message.offer)) return Refuse(from, MeetingRefusal::kFieldSize);
  if (room.game != 0 && !(room.player == from)) return Refuse(from, MeetingRefusal::kHasPlayer);
  // The same player asking again (its answer was lost) is answered again, alike.
  if (room.game == 0) {
    room.game = SystemRandom() | 1;
    room.player = from;
    ++counters_.games_met;
  }
  Reply(from, JoinedMessage{room.game, GameToken(room.game, MeetingRole::kPlayer), from,
                            Shown(room.host, room.offer), Shown(room.offer)});
  Reply(room.host, IntroductionMessage{room.game, GameToken(room.game, MeetingRole::kHost),
                                       MeetingRole::kPlayer, Shown(from, message.offer),
                                       Shown(message.offer)});
}

void MeetingService::JoinToWatch(Endpoint from, const JoinMessage& message, Room& room) {
  auto& watchers = room.watchers;
  auto known = std::find_if(watchers.begin(), watchers.end(),
                            [&](const Watching& watching) { return watching.watcher == from; });
  // The same spectator asking again is answered again, alike.
  if (known == watchers.end()) {
    if (watchers.size() >= kMostRoomWatchers) return Refuse(from, MeetingRefusal::kWatchersFull);
    watchers.push_back({SystemRandom() | 1, from});
    known = watchers.end() - 1;
    ++counters_.games_met;
  }
  const uint64_t game = known->game;
  Reply(from, JoinedMessage{game, GameToken(game, MeetingRole::kWatcher), from,
                            Shown(room.host, room.offer), Shown(room.offer)});
  Reply(room.host,
        IntroductionMessage{game, GameToken(game, MeetingRole::kHost), MeetingRole::kWatcher,
                            Shown(from, message.offer), Shown(message.offer)});
}

MeetingService::RelayedGame* MeetingService::OpenGame(uint64_t game) {
  if (games_.size() >= limits_.most_games) return nullptr;
  RelayedGame relayed;
  const size_t range = ports_.size();
  for (uint8_t side = 0; side < 2; ++side) {
    // The port each side gets is drawn from the key and the game, so that a restarted service
    // gives the same ones (when free) and the game's peers keep their addresses.
    const size_t first = SipHash(key_, HashInput('P', {game, side}).span()) % range;
    for (size_t step = 0; step < range && relayed.ports[side] == 0; ++step) {
      const size_t index = (first + step) % range;
      const auto port = static_cast<uint16_t>(limits_.relay_low + index);
      if (ports_[index].first == 0 && network_.OpenPort(port)) {
        ports_[index] = {game, side};
        relayed.ports[side] = port;
      }
    }
    if (relayed.ports[side] == 0) {
      if (side == 1) {
        ports_[relayed.ports[0] - limits_.relay_low] = {0, 0};
        network_.ClosePort(relayed.ports[0]);
      }
      return nullptr;
    }
  }
  relayed.allowance = limits_.game_bytes_per_second;
  ++counters_.games_bound;
  return &(games_[game] = relayed);
}

void MeetingService::CloseGame(uint64_t game) {
  const auto found = games_.find(game);
  if (found == games_.end()) return;
  for (size_t side = 0; side < 2; ++side) {
    if (found->second.sides[side].bound)
      --sides_per_address_[found->second.sides[side].address.address];
    ports_[found->second.ports[side] - limits_.relay_low] = {0, 0};
    network_.ClosePort(found->second.ports[side]);
  }
  games_.erase(found);
}

void MeetingService::Bind(Endpoint from, const BindMessage& message, double now, uint16_t port) {
  const auto period = static_cast<int64_t>(std::floor(now / kChallengePeriod));
  const bool fresh = message.challenge == Challenge(from, message.game, message.role, period) ||
                     message.challenge == Challenge(from, message.game, message.role, period - 1);
  const HashKey token = GameToken(message.game, message.role);
  if (!fresh || message.proof != BindProof(token, message.challenge, message.game, message.role)) {
    return Refuse(from, MeetingRefusal::kBadToken, port);
  }
  auto found = games_.find(message.game);
  RelayedGame* game = found != games_.end() ? &found->second : nullptr;
  const size_t role = SideOf(message.role);
  const bool moves = game == nullptr || !game->sides[role].bound ||
                     game->sides[role].address.address != from.address;
  if (moves && sides_per_address_[from.address] >= limits_.games_per_address) {
    return Refuse(from, MeetingRefusal::kTooMany, port);
  }
  if (game == nullptr) game = OpenGame(message.game);
  if (game == nullptr) return Refuse(from, MeetingRefusal::kTooMany, port);
  Side& side = game->sides[role];
  if (moves) {
    if (side.bound) --sides_per_address_[side.address.address];
    ++sides_per_address_[from.address];
  }
  side = Side{from, true, now};
  game->keep_seconds = std::max<double>(game->keep_seconds, message.keep_seconds);
  Reply(from, BoundMessage{message.game, game->ports[role], game->ports[1 - role]}, port);
}

void MeetingService::Relay(uint16_t port, Endpoint from, std::span<const uint8_t> bytes,
                           double now) {
  const size_t index = static_cast<size_t>(port - limits_.relay_low);
  const auto found = index < ports_.size() ? games_.find(ports_[index].first) : games_.end();
  if (found == games_.end()) {
    ++counters_.dropped;
    return;
  }
  // A datagram to the port that stands for side `to` comes from the other side, and goes to `to`.
  RelayedGame& game = found->second;
  const size_t to = ports_[index].second;
  Side& sender = game.sides[1 - to];
  const Side& receiver = game.sides[to];
  if (!sender.bound || !(sender.address == from) || !receiver.bound) {
    ++counters_.dropped;
    return;
  }
  const double rate = limits_.game_bytes_per_second;
  game.allowance = std::min(rate, game.allowance + std::max(0.0, now - game.filled) * rate);
  game.filled = now;
  if (game.allowance < static_cast<double>(bytes.size())) {
    ++counters_.dropped;
    return;
  }
  game.allowance -= static_cast<double>(bytes.size());
  sender.last = now;
  counters_.bytes_relayed += bytes.size();
  ++counters_.datagrams_relayed;
  network_.Send(game.ports[1 - to], receiver.address, bytes);
}

void MeetingService::Expire(double now) {
  std::erase_if(rooms_, [&](const auto& entry) {
    if (now - entry.second.last < kRoomSeconds) return false;
    --RoomsOf(entry.second.host.address);
    return true;
  });
  std::erase_if(rooms_per_address_, [](const auto& entry) { return entry.second == 0; });
  std::vector<uint64_t> quiet;
  for (const auto& [id, game] : games_) {
    const double last = std::max(game.sides[0].last, game.sides[1].last);
    if (now - last > game.keep_seconds) quiet.push_back(id);
  }
  for (const uint64_t id : quiet) CloseGame(id);
  std::erase_if(sides_per_address_, [](const auto& entry) { return entry.second == 0; });
}

ServiceCounters MeetingService::TakeCounters() {
  ServiceCounters taken = counters_;
  taken.rooms = rooms_.size();
  taken.relayed_games = games_.size();
  counters_ = ServiceCounters{};
  return taken;
}

}  // namespace kraylo
