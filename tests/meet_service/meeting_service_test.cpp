// The service's rules as a client meets them: codes, one player per room, expiry, the relay only
// between its bound pair, tokens after a restart, no reply larger than its request, rate limits.
#include "meet_service/meeting_service.h"

#include <gtest/gtest.h>

#include "meeting/stun.h"
#include "tests/meet_service/recording_network.h"

namespace kraylo {
namespace {

using testing::RecordingNetwork;
using testing::SentDatagram;

constexpr Endpoint kHost{0xC0000201, 40000};    // 192.0.2.1
constexpr Endpoint kPlayer{0xC6336402, 50000};  // 198.51.100.2
constexpr Endpoint kStranger{0xCB007103, 60000};
constexpr HashKey kKey{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};

Offer GameOffer(uint16_t version = 3, int32_t width = 800) {
  return Offer{version, width, 600, 0, 0, {}};
}

// One service and what it sent; each call sends one message and decodes the answers.
struct Fixture {
  explicit Fixture(const HashKey& key = kKey, const ServiceLimits& limits = {})
      : service(key, limits, network) {}

  std::vector<MeetingMessage> Ask(Endpoint from, const MeetingMessage& message) {
    const MeetingBytes bytes = EncodeMeeting(message);
    service.Receive(kMeetingPort, from, bytes.bytes(), now);
    std::vector<MeetingMessage> answers;
    for (const SentDatagram& sent : network.Take()) answers.push_back(DecodeMeeting(sent.bytes));
    return answers;
  }
  template <typename M>
  M AskFor(Endpoint from, const MeetingMessage& message) {
    const auto answers = Ask(from, message);
    EXPECT_EQ(answers.size(), 1u);
    if (answers.empty() || !std::holds_alternative<M>(answers[0])) {
      ADD_FAILURE() << "another answer";
      return M{};
    }
    return std::get<M>(answers[0]);
  }
  MeetingRefusal RefusalOf(Endpoint from, const MeetingMessage& message) {
    return AskFor<RefusedMessage>(from, message).reason;
  }
  RegisteredMessage Register(Endpoint host = kHost) {
    return AskFor<RegisteredMessage>(host, RegisterMessage{GameOffer()});
  }
  // Binds `role` of `game` with `token` from `from`: the ports, or a refusal.
  std::variant<BoundMessage, MeetingRefusal> Bind(Endpoint from, uint64_t game, MeetingRole role,
                                                  const HashKey& token) {
    const auto challenge = AskFor<ChallengeMessage>(from, BindRequestMessage{game, role});
    const auto answers =
        Ask(from, BindMessage{game, role, challenge.challenge,
                              BindProof(token, challenge.challenge, game, role), 60});
    if (const auto* bound = std::get_if<BoundMessage>(&answers.at(0))) return *bound;
    return std::get<RefusedMessage>(answers.at(0)).reason;
  }
  // Relays `size` bytes from `from` to the relay port `port`: where they went, if anywhere.
  std::optional<SentDatagram> Relay(Endpoint from, uint16_t port, size_t size = 60) {
    const std::vector<uint8_t> bytes(size, 0x42);
    service.Receive(port, from, bytes, now);
    auto sent = network.Take();
    if (sent.empty()) return std::nullopt;
    EXPECT_EQ(sent[0].bytes, bytes);
    return sent[0];
  }

  RecordingNetwork network;
  MeetingService service;
  double now = 1000;
};

// A room, its player joined, both sides bound to the relay.
struct RelayedPair {
  Fixture f;
  JoinedMessage joined;
  IntroductionMessage introduction;
  BoundMessage host_bound;
  BoundMessage player_bound;
  RelayedPair() {
    const RoomCode code = f.Register().code;
    const auto answers = f.Ask(kPlayer, JoinMessage{code, MeetingRole::kPlayer, GameOffer()});
    joined = std::get<JoinedMessage>(answers.at(0));
    introduction = std::get<IntroductionMessage>(answers.at(1));
    host_bound =
        std::get<BoundMessage>(f.Bind(kHost, joined.game, MeetingRole::kHost, introduction.token));
    player_bound =
        std::get<BoundMessage>(f.Bind(kPlayer, joined.game, MeetingRole::kPlayer, joined.token));
  }
};

TEST(MeetingServiceTest, ACodeMeetsOnePlayerWithItsHostAndNoSecond) {
  Fixture f;
  const RegisteredMessage room = f.Register();
  EXPECT_EQ(room.seen, kHost);
  EXPECT_EQ(f.RefusalOf(kPlayer, JoinMessage{RoomCode{room.code.value ^ 1}, MeetingRole::kPlayer,
                                             GameOffer()}),
            MeetingRefusal::kNoSuchCode);
  EXPECT_EQ(f.RefusalOf(kPlayer, JoinMessage{room.code, MeetingRole::kPlayer, GameOffer(2)}),
            MeetingRefusal::kGameVersion);
  EXPECT_EQ(f.RefusalOf(kPlayer, JoinMessage{room.code, MeetingRole::kPlayer, GameOffer(3, 640)}),
            MeetingRefusal::kFieldSize);
  const auto answers = f.Ask(kPlayer, JoinMessage{room.code, MeetingRole::kPlayer, GameOffer()});
  ASSERT_EQ(answers.size(), 2u);
  const auto joined = std::get<JoinedMessage>(answers[0]);
  const auto introduction = std::get<IntroductionMessage>(answers[1]);
  EXPECT_EQ(joined.peer, kHost);
  EXPECT_EQ(joined.seen, kPlayer);
  EXPECT_EQ(introduction.peer, kPlayer);
  EXPECT_EQ(introduction.game, joined.game);
  EXPECT_NE(introduction.token, joined.token);
  // The player asking again is answered alike; anyone else is turned away.
  EXPECT_EQ(std::get<JoinedMessage>(
                f.Ask(kPlayer, JoinMessage{room.code, MeetingRole::kPlayer, GameOffer()})[0])
                .game,
            joined.game);
  EXPECT_EQ(f.RefusalOf(kStranger, JoinMessage{room.code, MeetingRole::kPlayer, GameOffer()}),
            MeetingRefusal::kHasPlayer);
}

TEST(MeetingServiceTest, SpectatorsJoinARoomBesideItsPlayerEachWithAGameAndARelayOfItsOwn) {
  Fixture f;
  const RoomCode code = f.Register().code;
  const auto watch = [&](Endpoint from, int32_t width) {
    return f.Ask(from, JoinMessage{code, MeetingRole::kWatcher, GameOffer(3, width)});
  };
  // Before the player and after, on another field (a spectator is shown the host's).
  const auto first = watch(kStranger, 640);
  f.Ask(kPlayer, JoinMessage{code, MeetingRole::kPlayer, GameOffer()});
  const auto joined = std::get<JoinedMessage>(first.at(0));
  const auto introduction = std::get<IntroductionMessage>(first.at(1));
  EXPECT_EQ(introduction.role, MeetingRole::kWatcher);
  EXPECT_EQ(introduction.game, joined.game);
  EXPECT_EQ(std::get<JoinedMessage>(watch(kStranger, 640).at(0)).game, joined.game) << "again";
  const auto watcher_bound =
      std::get<BoundMessage>(f.Bind(kStranger, joined.game, MeetingRole::kWatcher, joined.token));
  const auto host_bound =
      std::get<BoundMessage>(f.Bind(kHost, joined.game, MeetingRole::kHost, introduction.token));
  EXPECT_EQ(f.Relay(kStranger, watcher_bound.peer_port)->to, kHost);
  EXPECT_EQ(f.Relay(kHost, host_bound.peer_port)->to, kStranger);
  // A spectator's token is no player's.
  EXPECT_EQ(
      std::get<MeetingRefusal>(f.Bind(kStranger, joined.game, MeetingRole::kPlayer, joined.token)),
      MeetingRefusal::kBadToken);
  for (uint32_t more = 1; more < MeetingService::kMostRoomWatchers; ++more) {
    EXPECT_EQ(watch({kStranger.address + more, 1}, 800).size(), 2u);
  }
  EXPECT_EQ(f.RefusalOf({kStranger.address + 99, 1},
                        JoinMessage{code, MeetingRole::kWatcher, GameOffer()}),
            MeetingRefusal::kWatchersFull);
}

TEST(MeetingServiceTest, ARoomLivesOnKeepAlivesAndDiesFifteenSecondsAfterTheLast) {
  Fixture f;
  const RegisteredMessage room = f.Register();
  const KeepAliveMessage keep{room.code, room.room_token, GameOffer()};
  for (int i = 0; i < 5; ++i) {
    f.now += 10;
    f.service.Expire(f.now);
    EXPECT_EQ(f.AskFor<KeptMessage>(kHost, keep).code, room.code);
  }
  f.now += MeetingService::kRoomSeconds;
  f.service.Expire(f.now);
  EXPECT_EQ(f.RefusalOf(kPlayer, JoinMessage{room.code, MeetingRole::kPlayer, GameOffer()}),
            MeetingRefusal::kNoSuchCode);
  // A keep-alive with another room's token keeps nothing.
  EXPECT_EQ(f.RefusalOf(kStranger, KeepAliveMessage{RoomCode{room.code.value ^ 1}, room.room_token,
                                                    GameOffer()}),
            MeetingRefusal::kBadToken);
}

TEST(MeetingServiceTest, TheRelayForwardsOnlyBetweenItsBoundPair) {
  RelayedPair pair;
  Fixture& f = pair.f;
  EXPECT_EQ(pair.host_bound.own_port, pair.player_bound.peer_port);
  EXPECT_EQ(pair.player_bound.own_port, pair.host_bound.peer_port);
  EXPECT_NE(pair.host_bound.own_port, pair.player_bound.own_port);
  // Each side sends to the port that stands for the other, and is seen from its own port.
  const auto to_player = f.Relay(kHost, pair.host_bound.peer_port);
  ASSERT_TRUE(to_player);
  EXPECT_EQ(to_player->to, kPlayer);
  EXPECT_EQ(to_player->from_port, pair.host_bound.own_port);
  const auto to_host = f.Relay(kPlayer, pair.player_bound.peer_port);
  ASSERT_TRUE(to_host);
  EXPECT_EQ(to_host->to, kHost);
  // A stranger, a side sending to its own port, a port of no game: nothing goes anywhere.
  EXPECT_FALSE(f.Relay(kStranger, pair.host_bound.peer_port));
  EXPECT_FALSE(f.Relay(Endpoint{kHost.address, 40001}, pair.host_bound.peer_port));
  EXPECT_FALSE(f.Relay(kHost, pair.host_bound.own_port));
  EXPECT_FALSE(f.Relay(kHost, 28999));
  EXPECT_EQ(f.service.TakeCounters().dropped, 4u);
}

TEST(MeetingServiceTest, BindingNeedsTheTokenAFreshChallengeAndTheAddressItWasGivenTo) {
  RelayedPair pair;
  Fixture& f = pair.f;
  const uint64_t game = pair.joined.game;
  // The other role's token, or none.
  EXPECT_EQ(
      std::get<MeetingRefusal>(f.Bind(kStranger, game, MeetingRole::kHost, pair.joined.token)),
      MeetingRefusal::kBadToken);
  EXPECT_EQ(std::get<MeetingRefusal>(f.Bind(kStranger, game, MeetingRole::kPlayer, HashKey{})),
            MeetingRefusal::kBadToken);
  // A bind seen on the way, replayed from elsewhere or a minute later, is refused.
  const auto challenge =
      f.AskFor<ChallengeMessage>(kPlayer, BindRequestMessage{game, MeetingRole::kPlayer});
  const BindMessage bind{
      game, MeetingRole::kPlayer, challenge.challenge,
      BindProof(pair.joined.token, challenge.challenge, game, MeetingRole::kPlayer), 60};
  EXPECT_EQ(f.RefusalOf(kStranger, bind), MeetingRefusal::kBadToken);
  f.now += 61;
  f.Relay(kHost, pair.host_bound.peer_port);  // the game goes on meanwhile
  EXPECT_EQ(f.RefusalOf(kPlayer, bind), MeetingRefusal::kBadToken);
  ASSERT_TRUE(f.Relay(kPlayer, pair.player_bound.peer_port));
}

TEST(MeetingServiceTest, ASideRebindsFromANewAddressAndItsOldOneIsAStranger) {
  RelayedPair pair;
  Fixture& f = pair.f;
  const Endpoint moved{0xC6336409, 50123};
  const auto rebound = std::get<BoundMessage>(
      f.Bind(moved, pair.joined.game, MeetingRole::kPlayer, pair.joined.token));
  EXPECT_EQ(rebound.own_port, pair.player_bound.own_port);
  EXPECT_FALSE(f.Relay(kPlayer, pair.player_bound.peer_port));
  ASSERT_TRUE(f.Relay(moved, pair.player_bound.peer_port));
  EXPECT_EQ(f.Relay(kHost, pair.host_bound.peer_port)->to, moved);
}

TEST(MeetingServiceTest, ARestartedServiceWithTheSameKeyTakesTheTokensBack) {
  RelayedPair pair;
  const RegisteredMessage room = pair.f.Register();
  for (const bool same_key : {true, false}) {
    SCOPED_TRACE(same_key);
    Fixture restarted(same_key ? kKey : HashKey{}, ServiceLimits{});
    const KeepAliveMessage keep{room.code, room.room_token, GameOffer()};
    const auto host =
        restarted.Bind(kHost, pair.joined.game, MeetingRole::kHost, pair.introduction.token);
    if (!same_key) {
      EXPECT_EQ(std::get<MeetingRefusal>(host), MeetingRefusal::kBadToken);
      EXPECT_EQ(restarted.RefusalOf(kHost, keep), MeetingRefusal::kBadToken);
      continue;
    }
    // The same ports as before, so the game's peers keep their addresses.
    EXPECT_EQ(std::get<BoundMessage>(host).own_port, pair.host_bound.own_port);
    restarted.Bind(kPlayer, pair.joined.game, MeetingRole::kPlayer, pair.joined.token);
    EXPECT_EQ(restarted.Relay(kHost, pair.host_bound.peer_port)->to, kPlayer);
    // The room comes back with its host's next keep-alive.
    restarted.AskFor<KeptMessage>(kHost, keep);
    EXPECT_EQ(
        restarted.Ask(kPlayer, JoinMessage{room.code, MeetingRole::kPlayer, GameOffer()}).size(),
        2u);
  }
}

// Every request of ours, and what the service sends because of it.
TEST(MeetingServiceTest, NothingItSendsForARequestIsLargerThanTheRequest) {
  RelayedPair pair;
  Fixture& f = pair.f;
  const RegisteredMessage room = f.Register();
  const auto challenge =
      f.AskFor<ChallengeMessage>(kHost, BindRequestMessage{pair.joined.game, MeetingRole::kHost});
  struct Request {
    const char* kind;
    MeetingMessage message;
  };
  for (const Request& request : {
           Request{"register", RegisterMessage{GameOffer()}},
           Request{"keep-alive", KeepAliveMessage{room.code, room.room_token, GameOffer()}},
           Request{"join", JoinMessage{room.code, MeetingRole::kPlayer, GameOffer()}},
           Request{"join, refused", JoinMessage{room.code, MeetingRole::kPlayer, GameOffer(1)}},
           Request{"bind request", BindRequestMessage{pair.joined.game, MeetingRole::kHost}},
           Request{"bind", BindMessage{pair.joined.game, MeetingRole::kHost, challenge.challenge,
                                       BindProof(pair.introduction.token, challenge.challenge,
                                                 pair.joined.game, MeetingRole::kHost),
                                       60}},
           Request{"bind, refused", BindMessage{pair.joined.game, MeetingRole::kHost, 1, 2, 60}},
       }) {
    const MeetingBytes bytes = EncodeMeeting(request.message);
    f.service.Receive(kMeetingPort, Endpoint{0x0A000001, static_cast<uint16_t>(f.now)},
                      bytes.bytes(), f.now);
    size_t sent = 0;
    for (const SentDatagram& datagram : f.network.Take()) sent += datagram.bytes.size();
    EXPECT_GT(sent, 0u) << request.kind;
    EXPECT_LE(sent, bytes.size) << request.kind;
    f.now += 1;
  }
  // Another version's request is told so only when it is at least as long as the telling.
  for (const size_t size : {size_t{12}, size_t{14}}) {
    MeetingBytes other = EncodeMeeting(RefusedMessage{}, kMeetingVersion + 1);
    other.size = size;
    const uint32_t check = Crc32({other.data.data(), size - 4});
    for (size_t i = 0; i < 4; ++i)
      other.data[size - 4 + i] = static_cast<uint8_t>(check >> (8 * i));
    f.service.Receive(kMeetingPort, kStranger, other.bytes(), f.now);
    EXPECT_EQ(f.network.Take().size(), size == 14 ? 1u : 0u) << size;
  }
  // The address echo: the standard's answer, 32 bytes, whatever the request's size.
  const auto ours = StunRequest(StunTransaction{});
  for (const size_t size : {size_t{20}, kStunRequestBytes}) {
    std::vector<uint8_t> request(ours.begin(), ours.begin() + static_cast<long>(size));
    request[3] = static_cast<uint8_t>(size - 20);
    f.service.Receive(kEchoPort, kStranger, request, f.now);
    const auto sent = f.network.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes.size(), kStunAnswerBytes);
  }
}

TEST(MeetingServiceTest, RatesAndCapsHold) {
  ServiceLimits limits;
  limits.rooms_per_address = 3;
  limits.games_per_address = 1;
  limits.requests = {5, 1};
  limits.stun = {4, 1};
  Fixture f(kKey, limits);
  // Look-ups: a burst of five, then one a second.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(f.RefusalOf(kStranger,
                          JoinMessage{RoomCode{uint64_t(i)}, MeetingRole::kPlayer, GameOffer()}),
              MeetingRefusal::kNoSuchCode);
  }
  EXPECT_EQ(f.RefusalOf(kStranger, JoinMessage{RoomCode{9}, MeetingRole::kPlayer, GameOffer()}),
            MeetingRefusal::kSlowDown);
  f.now += 1;
  EXPECT_EQ(f.RefusalOf(kStranger, JoinMessage{RoomCode{9}, MeetingRole::kPlayer, GameOffer()}),
            MeetingRefusal::kNoSuchCode);
  // Rooms per address.
  for (int i = 0; i < 3; ++i) f.Register();
  EXPECT_EQ(f.RefusalOf(kHost, RegisterMessage{GameOffer()}), MeetingRefusal::kTooMany);
  EXPECT_EQ(f.Register(Endpoint{kHost.address + 1, 1}).seen.port, 1);
  // STUN answers per address.
  const auto request = StunRequest(StunTransaction{});
  size_t answered = 0;
  for (int i = 0; i < 10; ++i) {
    f.service.Receive(kEchoPort, kStranger, request, f.now);
    answered += f.network.Take().size();
  }
  EXPECT_EQ(answered, 4u);
}

TEST(MeetingServiceTest, ARelayedGameIsHeldToItsRateAndAnAddressToItsGames) {
  ServiceLimits limits;
  limits.games_per_address = 1;
  limits.game_bytes_per_second = 6000;
  RelayedPair pair;
  Fixture f(kKey, limits);
  auto host = std::get<BoundMessage>(
      f.Bind(kHost, pair.joined.game, MeetingRole::kHost, pair.introduction.token));
  f.Bind(kPlayer, pair.joined.game, MeetingRole::kPlayer, pair.joined.token);
  // 6000 bytes a second: a hundred datagrams of 60 bytes, not more.
  int passed = 0;
  for (int i = 0; i < 150; ++i) passed += f.Relay(kHost, host.peer_port).has_value() ? 1 : 0;
  EXPECT_EQ(passed, 100);
  f.now += 0.5;
  passed = 0;
  for (int i = 0; i < 150; ++i) passed += f.Relay(kHost, host.peer_port).has_value() ? 1 : 0;
  EXPECT_EQ(passed, 50);
  // The host's address has its one relayed side already.
  RelayedPair other;
  EXPECT_EQ(std::get<MeetingRefusal>(
                f.Bind(kHost, other.joined.game, MeetingRole::kHost, other.introduction.token)),
            MeetingRefusal::kTooMany);
  // A game both of whose sides went quiet past their limit is let go, and its ports with it.
  f.now += 61;
  f.service.Expire(f.now);
  EXPECT_TRUE(f.network.open.empty());
  EXPECT_FALSE(f.Relay(kHost, host.peer_port));
}

}  // namespace
}  // namespace kraylo
