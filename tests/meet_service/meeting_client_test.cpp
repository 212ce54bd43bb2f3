// A host's and a joiner's meeting clients against the service, through a network in memory: a
// code meets, the path is direct when probes pass and the relay's when not (or at once when both
// NATs give a new port per destination), and every failure says so within five seconds.
#include "meeting/meeting_client.h"

#include <gtest/gtest.h>

#include "tests/meet_service/recording_network.h"

namespace kraylo {
namespace {

constexpr Endpoint kService{0xCB007101, kMeetingPort};  // 203.0.113.1
constexpr HashKey kKey{1, 2, 3};

struct Side {
  Endpoint endpoint;
  bool hard_nat = false;  // a new public port per destination port
  bool hides_address = false;
  std::optional<MeetingClient> client;
  std::vector<MeetingEvent> events;
  std::vector<std::pair<Endpoint, std::vector<uint8_t>>> game_datagrams;  // not the meeting's
};

// Delivers every datagram at once; probes between the sides pass only when `direct` holds.
struct World {
  bool direct = true;
  bool service_up = true;
  testing::RecordingNetwork network;
  MeetingService service{kKey, ServiceLimits{}, network};
  Side host{{0xC0000201, 27910}, false, false, std::nullopt, {}, {}};
  Side player{{0xC6336402, 27910}, false, false, std::nullopt, {}, {}};
  std::vector<Endpoint> sent_to;  // every datagram's destination, from either side
  double now = 0;

  Endpoint PublicFrom(const Side& side, Endpoint to) const {
    Endpoint from = side.endpoint;
    if (side.hard_nat) from.port = static_cast<uint16_t>(from.port + to.port % 100);
    return from;
  }
  void Deliver(Endpoint from, Endpoint to, std::span<const uint8_t> bytes) {
    for (Side* side : {&host, &player}) {
      if (to.address != side->endpoint.address) continue;
      if (MeetingClient::Intercepts(bytes)) {
        side->client->Receive(from, bytes, now);
      } else {
        side->game_datagrams.emplace_back(from, std::vector<uint8_t>(bytes.begin(), bytes.end()));
      }
    }
  }
  void SendFrom(Side& side, Endpoint to, std::span<const uint8_t> bytes) {
    const Endpoint from = PublicFrom(side, to);
    sent_to.push_back(to);
    if (to.address == kService.address) {
      if (service_up) service.Receive(to.port, from, bytes, now);
    } else if (direct) {
      Deliver(from, to, bytes);
    }
  }
  // Runs for at most `seconds`, or until `done`.
  void Run(double seconds, const std::function<bool()>& done) {
    const double end = now + seconds;
    for (; now < end && !(done && done()); now += 0.01) {
      for (Side* side : {&host, &player}) {
        if (!side->client) continue;
        side->client->Advance(now);
        for (MeetingSend& send : side->client->TakeSends()) SendFrom(*side, send.to, send.bytes);
        for (MeetingEvent& event : side->client->TakeEvents()) side->events.push_back(event);
      }
      for (const testing::SentDatagram& sent : network.Take()) {
        Deliver({kService.address, sent.from_port}, sent.to, sent.bytes);
      }
      service.Expire(now);
    }
  }
  MeetingSetup Setup(const Side& side) const {
    MeetingSetup setup{kService, "meet.example", Offer{3, 800, 600, 0, 0, {}}, 60,
                       side.endpoint.address};
    setup.offer.candidates.count = 1;
    setup.offer.candidates.endpoints[0] = side.endpoint;
    setup.offer.hides_address = side.hides_address ? 1 : 0;
    return setup;
  }
  // Starts the host, waits for its code, starts the joiner with it.
  std::optional<RoomCode> Meet(std::optional<RoomCode> code = std::nullopt) {
    host.client = MeetingClient::ForHost(Setup(host), now);
    Run(5, [&] { return Find<CodeGivenEvent>(host) != nullptr; });
    if (Find<CodeGivenEvent>(host) == nullptr) return std::nullopt;
    const RoomCode given = code.value_or(Find<CodeGivenEvent>(host)->code);
    player.client = MeetingClient::ForJoiner(Setup(player), given, now);
    return given;
  }
  template <typename E>
  static const E* Find(const Side& side) {
    for (const MeetingEvent& event : side.events) {
      if (const auto* found = std::get_if<E>(&event)) return found;
    }
    return nullptr;
  }
  bool BothChose() { return Find<PathChosenEvent>(host) && Find<PathChosenEvent>(player); }
};

TEST(MeetingClientTest, ACodeMeetsDirectWhenProbesPassElseThroughTheRelay) {
  struct Case {
    bool direct;
    bool hard_nats;
    PathKind expected;
    double within;  // seconds from the join
  };
  for (const Case& c :
       {Case{true, false, PathKind::kDirect, 1.5}, Case{false, false, PathKind::kRelayed, 3.5},
        Case{true, true, PathKind::kRelayed, 1.5}}) {
    SCOPED_TRACE(::testing::Message() << c.direct << c.hard_nats);
    World world;
    world.direct = c.direct;
    world.host.hard_nat = world.player.hard_nat = c.hard_nats;
    ASSERT_TRUE(world.Meet());
    const double joined = world.now;
    world.Run(5, [&] { return world.BothChose(); });
    ASSERT_TRUE(world.BothChose());
    EXPECT_LE(world.now - joined, c.within);
    const PathChosenEvent host_path = *World::Find<PathChosenEvent>(world.host);
    const PathChosenEvent player_path = *World::Find<PathChosenEvent>(world.player);
    EXPECT_EQ(host_path.kind, c.expected);
    EXPECT_EQ(player_path.kind, c.expected);
    ASSERT_TRUE(World::Find<PeerFoundEvent>(world.host));
    // The game's own datagram, sent where the path says, reaches the other side.
    const std::vector<uint8_t> game_datagram{0x80, 0x00, 1, 2, 3};
    world.SendFrom(world.player, player_path.peer, game_datagram);
    world.Run(0.05, nullptr);
    ASSERT_EQ(world.host.game_datagrams.size(), 1u);
    EXPECT_EQ(world.host.game_datagrams[0].second, game_datagram);
    if (c.expected == PathKind::kRelayed) {
      // Seen from the relay port that stands for the player: where the host's answers go.
      EXPECT_EQ(world.host.game_datagrams[0].first, host_path.peer);
    }
  }
}

TEST(MeetingClientTest, ARelayedSideThatMovesRebindsAndItsGameGoesOn) {
  World world;
  world.direct = false;
  ASSERT_TRUE(world.Meet());
  world.Run(5, [&] { return world.BothChose(); });
  const Endpoint to_host = World::Find<PathChosenEvent>(world.player)->peer;
  const std::vector<uint8_t> game_datagram{0x80, 0x00, 7};
  world.player.endpoint.port = 31000;
  world.player.events.clear();
  world.SendFrom(world.player, to_host, game_datagram);
  world.Run(0.05, nullptr);
  EXPECT_TRUE(world.host.game_datagrams.empty());
  world.player.client->Rebind(world.now);
  world.Run(2, [&] { return World::Find<PathChosenEvent>(world.player) != nullptr; });
  ASSERT_TRUE(World::Find<PathChosenEvent>(world.player));
  EXPECT_EQ(World::Find<PathChosenEvent>(world.player)->peer, to_host);
  world.SendFrom(world.player, to_host, game_datagram);
  world.Run(0.05, nullptr);
  EXPECT_EQ(world.host.game_datagrams.size(), 1u);
}

TEST(MeetingClientTest, ASideThatHidesItsAddressIsNeverToldToTheOtherAndPlaysThroughTheRelay) {
  for (const bool host_hides : {true, false}) {
    SCOPED_TRACE(host_hides ? "the host hides" : "the player hides");
    World world;
    Side& hider = host_hides ? world.host : world.player;
    const Side& other = host_hides ? world.player : world.host;
    hider.hides_address = true;
    ASSERT_TRUE(world.Meet());
    const double joined = world.now;
    world.Run(5, [&] { return world.BothChose(); });
    ASSERT_TRUE(world.BothChose());
    // At once, not after the wait for a direct path that could not be offered.
    EXPECT_LE(world.now - joined, 1.0);
    EXPECT_EQ(World::Find<PathChosenEvent>(world.host)->kind, PathKind::kRelayed);
    EXPECT_EQ(World::Find<PathChosenEvent>(world.player)->kind, PathKind::kRelayed);
    const PeerFoundEvent* found = World::Find<PeerFoundEvent>(other);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->seen, Endpoint{});
    EXPECT_EQ(found->candidates.count, 0);
    for (const Endpoint& to : world.sent_to) EXPECT_NE(to.address, hider.endpoint.address);
  }
}

TEST(MeetingClientTest, EveryFailureIsSaidWithinFiveSeconds) {
  struct Case {
    const char* what;
    bool service_up;
    bool wrong_code;
    bool second_player;
    const char* message;
  };
  for (const Case& c : {Case{"no such code", true, true, false, "No game has the code"},
                        Case{"taken", true, false, true, "already has its player"},
                        Case{"no service", false, false, false, "does not answer"}}) {
    SCOPED_TRACE(c.what);
    World world;
    world.service_up = c.service_up;
    Side* failing = &world.host;
    if (c.service_up) {
      const auto code = world.Meet();
      ASSERT_TRUE(code);
      failing = &world.player;
      if (c.wrong_code) {
        world.player.client = MeetingClient::ForJoiner(world.Setup(world.player),
                                                       RoomCode{code->value ^ 1}, world.now);
      } else if (c.second_player) {
        world.Run(5, [&] { return world.BothChose(); });
        world.player.endpoint.address += 1;
        world.player.events.clear();
        world.player.client = MeetingClient::ForJoiner(world.Setup(world.player), *code, world.now);
      }
    } else {
      world.host.client = MeetingClient::ForHost(world.Setup(world.host), world.now);
    }
    const double started = world.now;
    world.Run(6, [&] { return World::Find<MeetingFailedEvent>(*failing) != nullptr; });
    const auto* failed = World::Find<MeetingFailedEvent>(*failing);
    ASSERT_TRUE(failed);
    EXPECT_LE(world.now - started, 5.0);
    EXPECT_NE(failed->message.find(c.message), std::string::npos) << failed->message;
  }
}

}  // namespace
}  // namespace kraylo
