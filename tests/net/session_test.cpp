// Two sessions over in-memory transports on a clock the test moves: the handshake and the common
// start, refusals, strangers, quitting and silence, hostile packets, and the out-of-step report.
#include "net/session.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/net/duel.h"
#include "tests/net/duel_checks.h"
#include "tests/net/fake_network.h"

namespace kraylo::testing {
namespace {

SessionSettings Field(int32_t width = 800, int32_t height = 600, int delay = 1) {
  SessionSettings settings;
  settings.width = width;
  settings.height = height;
  settings.input_delay = delay;
  settings.seed = 0x5EED'0000'1234ULL;
  return settings;
}

// A host and a joiner connected with `one_way` seconds each way.
struct FakePair {
  explicit FakePair(double one_way = 0.05, SessionSettings settings = Field())
      : host_transport(clock), join_transport(clock) {
    Connect(host_transport, join_transport, one_way);
    duel.emplace(host_transport, join_transport, clock, settings);
  }
  ManualClock clock;
  FakeTransport host_transport;
  FakeTransport join_transport;
  std::optional<Duel> duel;
};

TEST(Session, BothSidesStartTogetherFromTheHostsSeedAndPlayTheSameGame) {
  FakePair pair(0.05);
  Duel& duel = *pair.duel;
  duel.Run(60, [&] { return duel.BothRan(1000); });
  ASSERT_TRUE(duel.BothRan(1000));
  EXPECT_EQ(duel.host.session.phase(), Phase::kPlaying);
  EXPECT_EQ(duel.join.session.phase(), Phase::kPlaying);
  EXPECT_EQ(duel.host.started_seed, Field().seed);
  EXPECT_EQ(duel.join.started_seed, Field().seed);
  ExpectSameGameAsOffline(duel, Field());
  // A round trip of 100 ms costs nothing beyond the input delay: no tick waits.
  for (const DuelSide* side : {&duel.host, &duel.join}) {
    const SessionStats stats = side->session.stats();
    EXPECT_EQ(stats.stalled_ticks, 0);
    EXPECT_GT(stats.rollbacks, 10) << "the other side's keys change, so predictions fail";
    EXPECT_NEAR(*side->session.round_trip(), 0.1, 0.005);
  }
  const int64_t apart = duel.host.session.stats().ticks_run - duel.join.session.stats().ticks_run;
  EXPECT_LE(std::abs(apart), 1) << "the two sides run the same tick at the same moment";
}

TEST(Session, TheSideAheadWaitsATickNowAndThenSoThatNeitherGetsMoreThanTwoAhead) {
  FakePair pair(0.05);
  Duel& duel = *pair.duel;
  // The joiner's machine loses every tenth tick of its timer.
  duel.join.loses_every = 10;
  int64_t most_ahead = 0;
  int64_t joiner_ticks = 0;
  duel.Run(120, [&] {
    // Counted as the joiner runs a tick: the host ticks 13 ms before it in every 30.
    if (duel.join.timer_ticks != joiner_ticks) {
      joiner_ticks = duel.join.timer_ticks;
      const int64_t apart =
          duel.host.session.stats().ticks_run - duel.join.session.stats().ticks_run;
      most_ahead = std::max(most_ahead, apart);
    }
    return duel.BothRan(2000);
  });
  ASSERT_TRUE(duel.BothRan(2000));
  const SessionStats host = duel.host.session.stats();
  EXPECT_LE(most_ahead, 2);
  EXPECT_NEAR(static_cast<double>(host.waits) / static_cast<double>(host.ticks_run), 0.1 / 0.9,
              0.02)
      << "the host gives up the ticks the joiner loses, no more";
  EXPECT_EQ(host.long_freezes, 0) << "a tick at a time";
  EXPECT_EQ(duel.join.session.stats().waits, 0) << "the joiner is never ahead";
  ExpectSameGameAsOffline(duel, Field());
}

TEST(Session, NeitherStartsUntilBothPlayersHavePressedPlay) {
  FakePair pair(0.02);
  Duel& duel = *pair.duel;
  // The joiner's player stays on the menu: its session is served, but no timer ticks.
  for (int ms = 0; ms < 3000; ++ms) {
    pair.clock.now += 0.001;
    duel.join.session.Serve();
    duel.host.session.Serve();
    if (ms % 30 == 0) duel.host.session.Tick(0);
  }
  EXPECT_EQ(duel.host.session.phase(), Phase::kWaiting);
  EXPECT_EQ(duel.join.session.phase(), Phase::kWaiting) << "connected, waiting for its own player";
  EXPECT_EQ(duel.host.session.state(), nullptr);
  EXPECT_TRUE(duel.host.session.round_trip()) << "measured while waiting";
  duel.Run(5, [&] { return duel.BothRan(50); });
  EXPECT_TRUE(duel.BothRan(50));
  ExpectSameGameAsOffline(duel, Field());
}

TEST(Session, TheInputDelayHoldsEachKeyBackThatManyTicks) {
  for (int delay : {0, 1, 4}) {
    SCOPED_TRACE(delay);
    FakePair pair(0.01, Field(800, 600, delay));
    Duel& duel = *pair.duel;
    duel.Run(20, [&] { return duel.BothRan(300); });
    ASSERT_TRUE(duel.BothRan(300));
    // The first `delay` ticks hold no keys of either player, whatever they pressed.
    for (int tick = 0; tick < delay; ++tick)
      EXPECT_EQ(duel.host.inputs[static_cast<size_t>(tick)], 0);
    ExpectSameGameAsOffline(duel, Field(800, 600, delay));
  }
}

TEST(Session, LostInputPacketsAreMadeGoodByTheNextOnes) {
  FakePair pair(0.03);
  std::mt19937_64 chance(3);
  const auto lose_a_fifth = [&] { return std::bernoulli_distribution(0.2)(chance); };
  pair.host_transport.lose_input = lose_a_fifth;
  pair.join_transport.lose_input = lose_a_fifth;
  Duel& duel = *pair.duel;
  duel.Run(120, [&] { return duel.BothRan(2000); });
  ASSERT_TRUE(duel.BothRan(2000));
  ExpectSameGameAsOffline(duel, Field());
  EXPECT_EQ(duel.host.session.phase(), Phase::kPlaying);
}

TEST(Session, DifferentFieldsAreRefusedOnBothSidesNamingBothSizes) {
  ManualClock clock;
  FakeTransport host_transport(clock);
  FakeTransport join_transport(clock);
  Connect(host_transport, join_transport, 0.01);
  Session host(host_transport, clock, Field(800, 600));
  SessionSettings joiner = Field(1024, 768);
  joiner.role = Role::kJoin;
  Session join(join_transport, clock, joiner);
  for (int ms = 0; ms < 500; ++ms) {
    clock.now += 0.001;
    host.Serve();
    join.Serve();
  }
  ASSERT_EQ(join.phase(), Phase::kRefused);
  EXPECT_EQ(join.refusal().reason, RefusalReason::kFieldSize);
  EXPECT_EQ(std::pair(join.refusal().their_width, join.refusal().their_height),
            std::pair(800, 600));
  // The host waits on for a player with the same field and says whom it turned away.
  EXPECT_EQ(host.phase(), Phase::kWaiting);
  ASSERT_TRUE(host.turned_away());
  EXPECT_EQ(host.turned_away()->reason, RefusalReason::kFieldSize);
  EXPECT_EQ(std::pair(host.turned_away()->their_width, host.turned_away()->their_height),
            std::pair(1024, 768));
}

// The packets a transport has been sent, decoded.
std::vector<Packet> Received(FakeTransport& transport, ManualClock& clock) {
  clock.now += 1;
  std::vector<Packet> packets;
  TransportEvent event;
  while (transport.Poll(event)) {
    if (event.kind == TransportEvent::Kind::kReceived) packets.push_back(Decode(event.bytes()));
  }
  return packets;
}

TEST(Session, AnotherProtocolVersionIsRefusedOnBothSidesNamingBothVersions) {
  // A joiner of version 1 knocks at this host.
  {
    ManualClock clock;
    FakeTransport host_transport(clock);
    FakeTransport other(clock);
    Connect(host_transport, other, 0);
    Session host(host_transport, clock, Field());
    host.Serve();
    const PacketBytes hello = Encode(HelloPacket{800, 600}, 1);
    other.Send(1, Channel::kControl, hello.bytes());
    host.Serve();
    ASSERT_TRUE(host.turned_away());
    EXPECT_EQ(host.turned_away()->reason, RefusalReason::kVersion);
    EXPECT_EQ(host.turned_away()->their_version, 1);
    EXPECT_EQ(host.phase(), Phase::kWaiting);
    const std::vector<Packet> answer = Received(other, clock);
    ASSERT_EQ(answer.size(), 1u);
    ASSERT_TRUE(std::holds_alternative<RefusePacket>(answer[0]));
    EXPECT_EQ(std::get<RefusePacket>(answer[0]).reason, RefusalReason::kVersion);
  }
  // This joiner meets a host of version 7.
  {
    ManualClock clock;
    FakeTransport join_transport(clock);
    FakeTransport other(clock);
    Connect(other, join_transport, 0);
    SessionSettings settings = Field();
    settings.role = Role::kJoin;
    Session join(join_transport, clock, settings);
    join.Serve();
    const PacketBytes welcome = Encode(WelcomePacket{1, 800, 600, 2}, 7);
    other.Send(1, Channel::kControl, welcome.bytes());
    join.Serve();
    ASSERT_EQ(join.phase(), Phase::kRefused);
    EXPECT_EQ(join.refusal().reason, RefusalReason::kVersion);
    EXPECT_EQ(join.refusal().their_version, 7);
    const std::vector<Packet> told = Received(other, clock);
    ASSERT_EQ(told.size(), 2u) << "its hello, then its refusal";
    EXPECT_TRUE(std::holds_alternative<RefusePacket>(told[1]));
  }
}

TEST(Session, AThirdPlayerIsTurnedAwayAndItsPacketsChangeNothing) {
  FakePair pair(0.02);
  Duel& duel = *pair.duel;
  duel.Run(5, [&] { return duel.BothRan(100); });
  FakeTransport third(pair.clock);
  Connect(pair.host_transport, third, 0.01);
  const PacketBytes hello = Encode(HelloPacket{800, 600});
  third.Send(1, Channel::kControl, hello.bytes());
  // Inputs and a quit from the stranger, as if it were the joiner.
  InputPacket input;
  input.tick = 100;
  input.first = 90;
  input.count = 12;
  input.inputs.fill(0x0F);
  input.ack = 100;
  third.Send(1, Channel::kInput, Encode(input).bytes());
  third.Send(1, Channel::kControl, Encode(QuitPacket{}).bytes());
  duel.Run(5, [&] { return duel.BothRan(200); });
  const std::vector<Packet> answer = Received(third, pair.clock);
  ASSERT_FALSE(answer.empty());
  ASSERT_TRUE(std::holds_alternative<RefusePacket>(answer[0]));
  EXPECT_EQ(std::get<RefusePacket>(answer[0]).reason, RefusalReason::kHasPlayer);
  EXPECT_EQ(duel.host.session.phase(), Phase::kPlaying);
  EXPECT_FALSE(duel.host.session.turned_away()) << "no news for the host's player";
  // Turned away at its hello; its inputs and quit then count as a stranger's.
  EXPECT_EQ(duel.host.session.stats().from_strangers, 2);
  ExpectSameGameAsOffline(duel, Field());
}

TEST(Session, EscOnOneSideIsHeardOnTheOtherWithinASecond) {
  FakePair pair(0.15);
  Duel& duel = *pair.duel;
  duel.Run(10, [&] { return duel.BothRan(100); });
  duel.host.session.Quit();
  EXPECT_EQ(duel.host.session.phase(), Phase::kQuit);
  const double quit_at = pair.clock.now;
  duel.Run(2, [&] { return duel.join.session.phase() == Phase::kLeft; });
  EXPECT_EQ(duel.join.session.phase(), Phase::kLeft);
  EXPECT_LT(pair.clock.now - quit_at, 1.0);
}

TEST(Session, SilenceIsAnInterruptionAfter750MsLostAfter5sAndNotRestoredPastTheHostsLimit) {
  SessionSettings settings = Field();
  settings.reconnect_seconds = 20;
  FakePair pair(0.02, settings);
  Duel& duel = *pair.duel;
  duel.Run(10, [&] { return duel.BothRan(100); });
  // The host vanishes without a word: nothing of it is served or sent any more.
  const double vanished = pair.clock.now;
  std::optional<double> interrupted_at;
  std::optional<double> lost_at;
  double left_at_lost = 0;
  while (duel.join.session.phase() != Phase::kNotRestored && pair.clock.now < vanished + 30) {
    pair.clock.now += 0.001;
    duel.join.session.Serve();
    if (static_cast<int>((pair.clock.now - vanished) * 1000) % 30 == 0) duel.join.session.Tick(0);
    if (!interrupted_at && duel.join.session.interrupted()) interrupted_at = pair.clock.now;
    if (!lost_at && duel.join.session.phase() == Phase::kReconnecting) {
      lost_at = pair.clock.now;
      left_at_lost = duel.join.session.reconnect_seconds_left();
    }
  }
  ASSERT_TRUE(interrupted_at && lost_at);
  EXPECT_NEAR(*interrupted_at - vanished, 0.75 + 0.02, 0.04);
  EXPECT_NEAR(*lost_at - vanished, 5.0 + 0.02, 0.04);
  EXPECT_NEAR(left_at_lost, 15.0, 0.04) << "the host's limit, from the last packet";
  EXPECT_EQ(duel.join.session.phase(), Phase::kNotRestored);
  EXPECT_NEAR(pair.clock.now - vanished, 20.0 + 0.02, 0.04);
  EXPECT_LE(duel.join.session.stats().ticks_run, 100 + 8 + 2) << "froze once the window was used";
}

TEST(Session, HostilePacketsFromThePeerAreCountedAndChangeNothing) {
  FakePair pair(0.02);
  Duel& duel = *pair.duel;
  duel.Run(5, [&] { return duel.BothRan(100); });
  std::vector<std::vector<uint8_t>> junk = {
      {},                            // empty
      {1, 2, 3},                     // a cut input packet
      {0xEE, 1, 2},                  // a type nobody knows
      std::vector<uint8_t>(200, 1),  // longer than any packet
  };
  // An input packet from a far future, acknowledging inputs never made.
  InputPacket forged;
  forged.tick = 4'000'000'000;
  forged.first = forged.tick - 5;
  forged.count = 5;
  forged.ack = forged.tick + 30'000;
  forged.checked = forged.tick - 10;
  const PacketBytes forged_bytes = Encode(forged);
  junk.emplace_back(forged_bytes.bytes().begin(), forged_bytes.bytes().end());
  // A start at the wrong moment, a version refusal in this side's own version (it could only be a
  // corrupted one), and an input on the reliable channel.
  for (const auto& bytes : junk) pair.host_transport.Inject(1, Channel::kInput, bytes);
  pair.host_transport.Inject(1, Channel::kControl, Encode(StartPacket{}).bytes());
  pair.host_transport.Inject(1, Channel::kControl,
                             Encode(RefusePacket{RefusalReason::kVersion, 800, 600}).bytes());
  pair.host_transport.Inject(1, Channel::kControl, forged_bytes.bytes());
  duel.Run(10, [&] { return duel.BothRan(400); });
  const SessionStats stats = duel.host.session.stats();
  EXPECT_EQ(stats.malformed, 4) << "empty, cut, too long, input on the wrong channel";
  EXPECT_EQ(stats.unknown_type, 1);
  EXPECT_EQ(stats.unexpected, 2) << "the start, the version refusal";
  EXPECT_EQ(duel.host.session.phase(), Phase::kPlaying);
  ExpectSameGameAsOffline(duel, Field());
}

TEST(Session, AStateThatGoesWrongIsReportedOutOfStepOnBothSides) {
  ManualClock clock;
  FakeTransport host_transport(clock);
  FakeTransport join_transport(clock);
  const double one_way = 0.1;
  Connect(host_transport, join_transport, one_way);
  constexpr int64_t kWrongTick = 300;
  // The host's machine computes tick 300 a hair differently, every time it runs it.
  const StepFunction wrong_once = [](GameState& state, Directions input, int64_t tick) {
    StepGame(state, input, tick);
    if (tick == kWrongTick) state.game.Balls(1).X += 1e-9;
  };
  Duel duel(host_transport, join_transport, clock, Field(), wrong_once);
  duel.Run(30, [&] {
    return duel.host.session.phase() == Phase::kOutOfStep &&
           duel.join.session.phase() == Phase::kOutOfStep;
  });
  ASSERT_EQ(duel.host.session.phase(), Phase::kOutOfStep);
  ASSERT_EQ(duel.join.session.phase(), Phase::kOutOfStep);
  EXPECT_EQ(duel.host.session.desync_tick(), kWrongTick);
  EXPECT_EQ(duel.join.session.desync_tick(), kWrongTick);
  // Found within 10 ticks of the round trip (200 ms, 7 ticks) after the wrong tick ran.
  for (const DuelSide* side : {&duel.host, &duel.join}) {
    EXPECT_LE(side->session.stats().ticks_run, kWrongTick + 7 + 10);
  }
}

}  // namespace
}  // namespace kraylo::testing
