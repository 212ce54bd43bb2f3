// Two sessions over ENet on 127.0.0.1 in one process, the joiner's datagrams going through a
// seeded relay that delays, reorders, loses and duplicates them. Time is the test's own clock,
// moved a millisecond at a time, so a minute of play takes a second or two. ENet's own
// retransmission timers run on the real clock, which the test outruns: the relay delays the
// datagrams from the start, but loses, reorders and duplicates them only once both sides play, so
// that the reliable handshake and start are not what is measured.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "net/enet_transport.h"
#include "tests/net/duel_checks.h"
#include "tests/net/enet_duel.h"

namespace kraylo::testing {
namespace {

struct LinkCase {
  int round_trip_ms;
  int loss_percent;
};

class Matrix : public ::testing::TestWithParam<LinkCase> {};

TEST_P(Matrix, BothSidesPlayTheSameGameWithinTheFigures) {
  const LinkCase link = GetParam();
  EnetDuel game(static_cast<uint64_t>(link.round_trip_ms * 100 + link.loss_percent));
  const double one_way = link.round_trip_ms / 2000.0;
  ASSERT_TRUE(game.Start({one_way, one_way / 10, link.loss_percent / 100.0, 0.02, 0.01}));
  constexpr int64_t kTicks = 3000;
  Duel& duel = game.duel;
  game.Run(kTicks * kTickSeconds * 2, [&] { return duel.BothRan(kTicks); });
  ASSERT_TRUE(duel.BothRan(kTicks)) << "the game goes on";
  for (const DuelSide* side : {&duel.host, &duel.join}) {
    EXPECT_EQ(side->session.phase(), Phase::kPlaying);
    const SessionStats stats = side->session.stats();
    std::printf(
        "round trip %3d ms, loss %2d %%, %-6s: %lld ticks, %lld stalled (%lld of them time-sync "
        "waits), %lld freezes over one tick (longest %lld), %lld rollbacks, round trip measured "
        "%.0f ms, desync: %s\n",
        link.round_trip_ms, link.loss_percent, side == &duel.host ? "host" : "joiner",
        static_cast<long long>(stats.ticks_run), static_cast<long long>(stats.stalled_ticks),
        static_cast<long long>(stats.waits), static_cast<long long>(stats.long_freezes),
        static_cast<long long>(stats.longest_freeze), static_cast<long long>(stats.rollbacks),
        side->session.round_trip().value_or(0) * 1000,
        side->session.phase() == Phase::kOutOfStep ? "yes" : "no");
    if (link.round_trip_ms <= 100 && link.loss_percent == 0) {
      EXPECT_EQ(stats.stalled_ticks, 0) << "no delay beyond the input delay";
    }
    if (link.loss_percent <= 5) {
      EXPECT_EQ(stats.long_freezes, 0) << "no freeze";
    }
    if (link.loss_percent <= 10) {
      EXPECT_LE(stats.long_freezes, kTicks / 1000);
    }
  }
  ExpectSameGameAsOffline(duel, Field());
}

INSTANTIATE_TEST_SUITE_P(RoundTripAndLoss, Matrix,
                         ::testing::Values(LinkCase{0, 0}, LinkCase{0, 5}, LinkCase{0, 20},
                                           LinkCase{60, 0}, LinkCase{60, 5}, LinkCase{60, 20},
                                           LinkCase{100, 10}, LinkCase{150, 0}, LinkCase{150, 5},
                                           LinkCase{150, 20}, LinkCase{300, 0}, LinkCase{300, 5},
                                           LinkCase{300, 20}),
                         [](const ::testing::TestParamInfo<LinkCase>& test) {
                           return std::to_string(test.param.round_trip_ms) + "ms_" +
                                  std::to_string(test.param.loss_percent) + "percent";
                         });

TEST(Blackout, OfTwoSecondsFreezesThePlayWhichThenGoesOnInStep) {
  EnetDuel game(2);
  ASSERT_TRUE(game.Start({0.03, 0.003, 0, 0, 0}));
  Duel& duel = game.duel;
  game.Run(10, [&] { return duel.BothRan(300); });
  game.proxy.Blackout(game.now(), game.now() + 2);
  bool interrupted_on_both = false;
  game.Run(30, [&] {
    interrupted_on_both =
        interrupted_on_both || (duel.host.session.interrupted() && duel.join.session.interrupted());
    return duel.BothRan(1000);
  });
  ASSERT_TRUE(duel.BothRan(1000));
  EXPECT_TRUE(interrupted_on_both);
  for (const DuelSide* side : {&duel.host, &duel.join}) {
    EXPECT_EQ(side->session.phase(), Phase::kPlaying);
    EXPECT_FALSE(side->session.interrupted());
    EXPECT_GE(side->session.stats().longest_freeze, 50) << "froze rather than drifting apart";
  }
  ExpectSameGameAsOffline(duel, Field());
}

// ENet gives up on a silent connection after 1 s and the host waits 6 s for its player: the
// figures of the program (30 s and 60 s) shrunk, the blackouts running in real time.
SessionSettings ShortLimit() {
  SessionSettings settings = Field();
  settings.reconnect_seconds = 6;
  return settings;
}
constexpr uint32_t kShortGiveUpMs = 1000;

struct ReconnectCase {
  const char* what;
  double dark;    // seconds
  Phase ends_in;  // on both sides
};

TEST(Blackout, LongerThanENetsTimeOutReconnectsWithinTheLimitAndEndsPastIt) {
  const ReconnectCase cases[] = {
      {"a blackout of 3 s comes back", 3, Phase::kPlaying},
      {"a blackout of 8 s ends as not restored", 8, Phase::kNotRestored},
  };
  for (const ReconnectCase& c : cases) {
    SCOPED_TRACE(c.what);
    EnetDuel game(8, StepGame, ShortLimit());
    game.host_transport->SetGiveUpAfter(kShortGiveUpMs);
    game.join_transport->SetGiveUpAfter(kShortGiveUpMs);
    ASSERT_TRUE(game.Start({0.02, 0.002, 0.05, 0, 0}));
    Duel& duel = game.duel;
    game.Run(10, [&] { return duel.BothRan(300); });
    const double dark = game.now();
    game.proxy.Blackout(dark, dark + c.dark);
    const int64_t before = duel.host.session.stats().ticks_run;
    bool both_reconnecting = false;
    auto on_both = [&](Phase phase) {
      return duel.host.session.phase() == phase && duel.join.session.phase() == phase;
    };
    game.Run(
        12,
        [&] {
          both_reconnecting = both_reconnecting || on_both(Phase::kReconnecting);
          return on_both(Phase::kNotRestored) ||
                 (on_both(Phase::kPlaying) && duel.BothRan(before + 200));
        },
        true);
    EXPECT_TRUE(both_reconnecting);
    for (const DuelSide* side : {&duel.host, &duel.join}) {
      EXPECT_EQ(side->session.phase(), c.ends_in);
    }
    ExpectSameGameAsOffline(duel, ShortLimit());
    if (c.ends_in != Phase::kNotRestored) continue;
    // Each side shows the last tick it knows both confirmed, as the offline run has it.
    const std::vector<Directions>& longer =
        std::max(duel.host.inputs, duel.join.inputs,
                 [](const auto& a, const auto& b) { return a.size() < b.size(); });
    const std::vector<uint32_t> offline = OfflineChecksums(ShortLimit(), longer);
    for (const DuelSide* side : {&duel.host, &duel.join}) {
      const int64_t shown = side->session.both_confirmed();
      ASSERT_GT(shown, 250);
      ASSERT_LE(shown, static_cast<int64_t>(offline.size()));
      const GameState& state = *side->session.state();
      EXPECT_EQ(StateChecksum(state.game, state.random), offline[static_cast<size_t>(shown - 1)]);
    }
  }
}

// With the program's own figures (ENet gives up after 30 s, the host waits 60 s) the game goes on
// within a second of the link coming back: the joiner connects afresh every half second while the
// connection is lost, instead of waiting on ENet's retries, which back off to seconds apart (from
// the loss at 5 s: 0.5, 1.5, 3.5 s, so a link back at 7 s would be found only at 8.5 s).
TEST(Blackout, TheGameGoesOnWithinASecondOfTheLinkComingBack) {
  EnetDuel game(9);
  ASSERT_TRUE(game.Start({0.02, 0.002, 0, 0, 0}));
  Duel& duel = game.duel;
  game.Run(10, [&] { return duel.BothRan(300); });
  constexpr double kDark = 7;  // seconds: past Session::kGoneAfter, so the connection is made anew
  const double back = game.now() + kDark;
  game.proxy.Blackout(game.now(), back);
  int64_t ran_at_back = 0;
  game.Run(
      kDark + 4,
      [&] {
        if (game.now() < back) {
          ran_at_back = duel.host.session.stats().ticks_run;
          return false;
        }
        return duel.host.session.phase() == Phase::kPlaying &&
               duel.join.session.phase() == Phase::kPlaying && duel.BothRan(ran_at_back + 1);
      },
      true);
  const double resumed_after = game.now() - back;
  std::printf("a blackout of %.0f s: the game went on %.2f s after the link came back\n", kDark,
              resumed_after);
  EXPECT_GE(resumed_after, 0);
  EXPECT_LT(resumed_after, 1.0);
  ExpectSameGameAsOffline(duel, Field());
}

TEST(Desync, APeerThatCorruptsItsStateIsReportedOnBothSidesWithinTenTicksOfTheRoundTrip) {
  constexpr int64_t kWrongTick = 500;
  const StepFunction corrupting = [](GameState& state, Directions input, int64_t tick) {
    StepGame(state, input, tick);
    if (tick == kWrongTick) state.game.Balls(2).MY = -state.game.Balls(2).MY + 1e-12;
  };
  EnetDuel game(5, corrupting);
  ASSERT_TRUE(game.Start({0.075, 0.0075, 0.05, 0.02, 0.01}));
  Duel& duel = game.duel;
  game.Run(60, [&] {
    return duel.host.session.phase() == Phase::kOutOfStep &&
           duel.join.session.phase() == Phase::kOutOfStep;
  });
  const int64_t round_trip_ticks = 5;  // 150 ms
  for (const DuelSide* side : {&duel.host, &duel.join}) {
    ASSERT_EQ(side->session.phase(), Phase::kOutOfStep);
    // The first tick compared after the wrong one; a lost packet may skip a tick's checksum.
    EXPECT_GE(side->session.desync_tick(), kWrongTick);
    EXPECT_LE(side->session.desync_tick(), kWrongTick + 2);
    const int64_t found_after = side->session.stats().ticks_run - 1 - kWrongTick;
    std::printf("desync at tick %lld found by the %s %lld ticks later (round trip %lld ticks)\n",
                static_cast<long long>(kWrongTick), side == &duel.host ? "host" : "joiner",
                static_cast<long long>(found_after), static_cast<long long>(round_trip_ticks));
    EXPECT_LE(found_after, round_trip_ticks + 10);
  }
}

TEST(Corruption, OneBitFlippedInThirtyPercentOfTheDatagramsFromTheFirstOnIsDroppedLikeALoss) {
  EnetDuel game(30);
  game.proxy.Shape({0.03, 0.003, 0, 0, 0, 0.3});
  Duel& duel = game.duel;
  // ENet sends a damaged connection request again on its own clock: the start runs in real time.
  game.Run(
      20, [&] { return duel.BothRan(1); }, /*real_time=*/true);
  game.Run(60, [&] { return duel.BothRan(1000); });
  ASSERT_TRUE(duel.BothRan(1000)) << "the game starts and goes on";
  for (const DuelSide* side : {&duel.host, &duel.join}) {
    EXPECT_EQ(side->session.phase(), Phase::kPlaying) << "nobody refused, no desync";
    EXPECT_EQ(side->session.stats().malformed, 0) << "no flipped bit reached the session";
  }
  EXPECT_FALSE(duel.host.session.turned_away());
  ExpectSameGameAsOffline(duel, Field());
}

TEST(Quit, EscOnOneSideShowsTheOtherPlayerLeftWithinASecond) {
  EnetDuel game(9);
  ASSERT_TRUE(game.Start({0.15, 0.015, 0, 0, 0}));
  Duel& duel = game.duel;
  game.Run(10, [&] { return duel.BothRan(100); });
  duel.join.session.Quit();
  const double quit_at = game.now();
  game.Run(3, [&] { return duel.host.session.phase() == Phase::kLeft; });
  EXPECT_EQ(duel.host.session.phase(), Phase::kLeft);
  EXPECT_LT(game.now() - quit_at, 1.0);
}

TEST(Refusal, AThirdProgramIsTurnedAwayAndTold) {
  EnetDuel game(10);
  ASSERT_TRUE(game.Start());
  std::unique_ptr<EnetTransport> third_transport =
      EnetTransport::Connect("127.0.0.1", game.host_transport->port());
  SessionSettings third_settings = Field();
  third_settings.role = Role::kJoin;
  Session third(*third_transport, game.clock, third_settings);
  Duel& duel = game.duel;
  game.Run(10, [&] {
    third.Serve();
    return third.phase() == Phase::kRefused && duel.BothRan(200);
  });
  ASSERT_EQ(third.phase(), Phase::kRefused);
  EXPECT_EQ(third.refusal().reason, RefusalReason::kHasPlayer);
  EXPECT_EQ(duel.host.session.phase(), Phase::kPlaying);
  ExpectSameGameAsOffline(duel, Field());
}

}  // namespace
}  // namespace kraylo::testing
