// Spectators of a network game, on the in-memory transport and the test's clock, so that a run
// with spectators can be compared exactly with one without: whenever a spectator joins, it ends
// with the players' game; the players' game and their sessions' figures are the same with
// spectators as without, whatever the spectators' links or words.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "net/watch_session.h"
#include "tests/net/duel.h"
#include "tests/net/duel_checks.h"
#include "tests/net/watched_duel.h"

namespace kraylo::testing {
namespace {

// What a spectator gathered is the players' game: the same keys, and checksums that an offline
// run of those keys agrees with.
void ExpectWatchedTheGame(const Spectator& spectator, const Duel& duel, const char* what) {
  const WatchSession& watched = spectator.session;
  ASSERT_TRUE(watched.game()) << what;
  EXPECT_EQ(watched.game()->seed, Field().seed) << what;
  const std::vector<Directions>& inputs = watched.inputs();
  ASSERT_EQ(inputs, duel.host.inputs) << what << ": every confirmed tick";
  const std::vector<uint32_t> offline = OfflineChecksums(Field(), inputs);
  ASSERT_FALSE(watched.checksums().empty()) << what;
  for (const TickChecksum& check : watched.checksums()) {
    EXPECT_EQ(check.checksum, offline[static_cast<size_t>(check.tick)]) << what << check.tick;
  }
  EXPECT_EQ(watched.checksums().back().tick + 1, static_cast<int64_t>(inputs.size())) << what;
}

TEST(Spectator, JoiningAtAnyMomentEndsWithThePlayersGame) {
  const struct {
    const char* what;
    std::function<void(WatchedDuel&)> before_joining;
  } cases[] = {
      {"at the first tick", [](WatchedDuel&) {}},
      {"ten minutes in",
       [](WatchedDuel& game) {
         game.Run(660, [&] { return game.duel->BothRan(20'000); });
         ASSERT_TRUE(game.duel->BothRan(20'000));
       }},
      {"after the players reconnected from a dropout",
       [](WatchedDuel& game) {
         game.Run(10, [&] { return game.duel->BothRan(100); });
         const double dark_until = game.clock.now + 7;
         game.join_transport.dark = [&game, dark_until] { return game.clock.now < dark_until; };
         game.Run(9);
         ASSERT_EQ(game.duel->join.session.phase(), Phase::kPlaying) << "back from the dropout";
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WatchedDuel game;
    c.before_joining(game);
    Spectator& spectator = game.AddSpectator(0.04);
    const int64_t joined_at = game.duel->host.session.stats().ticks_run;
    game.Run(20, [&] { return game.duel->BothRan(joined_at + 300); });
    game.duel->host.session.Quit();
    game.Run(1);
    EXPECT_EQ(spectator.session.phase(), WatchPhase::kEnded);
    ExpectWatchedTheGame(spectator, *game.duel, c.what);
    ExpectSameGameAsOffline(*game.duel, Field());
  }
}

// The players' figures of a run, to be compared with another run's.
struct PlayersRun {
  std::vector<Directions> host_inputs, join_inputs;
  std::vector<uint32_t> host_checksums, join_checksums;
  SessionStats host_stats, join_stats;
};
PlayersRun Players(const Duel& duel) {
  return {duel.host.inputs,    duel.join.inputs,          duel.host.checksums,
          duel.join.checksums, duel.host.session.stats(), duel.join.session.stats()};
}
void ExpectSameRun(const PlayersRun& a, const PlayersRun& b) {
  ASSERT_GE(a.host_inputs.size(), 1900u) << "a minute of play";
  EXPECT_EQ(a.host_inputs, b.host_inputs);
  EXPECT_EQ(a.join_inputs, b.join_inputs);
  EXPECT_EQ(a.host_checksums, b.host_checksums);
  EXPECT_EQ(a.join_checksums, b.join_checksums);
  for (const auto& [x, y] : {std::pair(a.host_stats, b.host_stats), {a.join_stats, b.join_stats}}) {
    EXPECT_EQ(x.ticks_run, y.ticks_run);
    EXPECT_EQ(x.stalled_ticks, y.stalled_ticks);
    EXPECT_EQ(x.rollbacks, y.rollbacks);
    EXPECT_EQ(x.longest_freeze, y.longest_freeze);
  }
}

// A minute of play with what `spectators` do to it, looked at `afterwards` while it lives.
PlayersRun PlayAMinute(const std::function<void(WatchedDuel&)>& spectators,
                       const std::function<void()>& afterwards = nullptr) {
  WatchedDuel game;
  if (spectators) spectators(game);
  game.Run(70, [&] { return game.duel->BothRan(2000); });
  if (afterwards) afterwards();
  return Players(*game.duel);
}

TEST(Spectator, FourSpectatorsOneOfThemSlowChangeNothingForThePlayers) {
  const PlayersRun alone = PlayAMinute(nullptr);
  std::vector<Spectator*> watching;
  const auto spectators = [&](WatchedDuel& game) {
    for (double one_way : {0.01, 0.05, 0.1}) watching.push_back(&game.AddSpectator(one_way));
    // A link of 300 ms whose connection is forever at the host's budget, half the time.
    Spectator& slow = game.AddSpectator(0.15);
    game.host_transport.backlog = [&game, &slow](PeerId) {
      const bool busy = static_cast<int64_t>(game.clock.now * 2) % 2 == 0;
      return busy && slow.session.phase() == WatchPhase::kWatching ? WatcherFeed::kMostBacklog
                                                                   : size_t{0};
    };
    watching.push_back(&slow);
  };
  const PlayersRun watched = PlayAMinute(spectators, [&] {
    ASSERT_EQ(watching.size(), 4u);
    for (const Spectator* spectator : watching) {
      EXPECT_EQ(spectator->session.phase(), WatchPhase::kWatching);
      EXPECT_GT(spectator->session.inputs().size(), 1500u) << "it follows the game";
    }
  });
  ExpectSameRun(alone, watched);
}

TEST(Spectator, WhatASpectatorSaysOrItsVanishingChangesNothingForThePlayers) {
  const PlayersRun alone = PlayAMinute(nullptr);
  int64_t from_watchers = 0;
  const PlayersRun watched = PlayAMinute([&](WatchedDuel& game) {
    Spectator& forger = game.AddSpectator(0.02);
    Spectator& vanishing = game.AddSpectator(0.02);
    game.Run(2, [&] { return forger.session.phase() == WatchPhase::kWatching; });
    // Every word a player could say, well formed, and some that are not.
    InputPacket input;
    input.tick = 40;
    input.first = 30;
    input.count = 10;
    input.inputs.fill(0x0F);
    input.ack = 40;
    const std::vector<PacketBytes> words = {
        Encode(input),         Encode(HelloPacket{800, 600}), Encode(RejoinPacket{0}),
        Encode(ReadyPacket{}), Encode(StartPacket{}),         Encode(DesyncPacket{5}),
        Encode(QuitPacket{}),  Encode(WatchPacket{0}),
    };
    for (const PacketBytes& word : words) {
      for (const Channel channel : {Channel::kInput, Channel::kControl}) {
        forger.transport.Send(1, channel, word.bytes());
      }
    }
    const uint8_t garbage[] = {0xEE, 1, 2, 3};
    forger.transport.Send(1, Channel::kControl, garbage);
    // The other one goes without a word.
    vanishing.transport.dark = [] { return true; };
    game.Run(1);
    from_watchers = game.duel->host.session.stats().from_watchers;
  });
  ExpectSameRun(alone, watched);
  EXPECT_EQ(from_watchers, 17) << "every word of the forger counted, none acted on";
}

}  // namespace
}  // namespace kraylo::testing
