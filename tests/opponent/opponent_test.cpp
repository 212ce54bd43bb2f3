// The computer as a player: it holds only its own ball's four keys and never touches the game,
// it answers a change on the screen after its level's reaction time, and the same seed gives the
// same game.
#include "opponent/opponent.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/state_checksum.h"
#include "input/key_source.h"
#include "tests/game/game_fakes.h"
#include "tools/tournament/players.h"
#include "tools/tournament/rounds.h"

namespace kraylo {
namespace {

using tournament::MakeComputer;
using tournament::MakeScripted;
using tournament::Player;
using tournament::Script;

constexpr Level kLevels[] = {Level::kEasy, Level::kNormal, Level::kHard};

// Plays `ticks` ticks of a game of several rounds: `computer` on its ball, `other` on the other;
// calls `watch` with the game before each tick and the computer's keys for it.
void Play(Opponent& computer, Player& other, int ticks, uint64_t seed,
          const std::function<void(const GameModel&, Directions)>& watch) {
  GameModel game = Model(349, 249, 451, 351);
  SeededRandom random(seed);
  KeyTable table{};
  TableKeys keys(table);
  for (int tick = 0; tick < ticks; ++tick) {
    const Directions own = computer.Decide(game);
    watch(game, own);
    SetDirections(table,
                  ForBall(own, computer.ball()) | ForBall(other.Decide(game), 3 - computer.ball()));
    MoveTick(game, keys, random);
  }
}

TEST(Opponent, HoldsOnlyItsOwnBallsFourKeysAndLeavesTheGameAsItWas) {
  for (Level level : kLevels) {
    for (int ball : {1, 2}) {
      SCOPED_TRACE(std::string(LevelName(level)) + " on ball " + std::to_string(ball));
      Opponent computer(level, 7, ball);
      const auto rammer = MakeScripted(Script::kRammer, 3 - ball);
      int held = 0;
      GameModel seen;
      Play(computer, *rammer, 1500, 3, [&](const GameModel& game, Directions keys) {
        EXPECT_EQ(keys & 0xF0, 0) << "four bits, placed on its ball by the caller";
        held += keys != 0 ? 1 : 0;
        seen = game;
      });
      EXPECT_GT(held, 300) << "it plays";
      // Deciding on a copy of the last game changes nothing in it, Running and ShowDebug included.
      const GameModel before = seen;
      Opponent again(level, 7, ball);
      again.Decide(seen);
      const SeededRandom unused;
      EXPECT_EQ(StateChecksum(seen, unused), StateChecksum(before, unused));
      EXPECT_EQ(seen.Running, before.Running);
      EXPECT_EQ(seen.ShowDebug, before.ShowDebug);
    }
  }
}

// The keys of two computers that see the same game until one of them sees ball 1 jump to the
// other side of ball 2 in tick `change` - 1: the first tick whose keys differ, counted from the
// tick that made the change.
int TicksToAnswer(Level level, uint64_t seed, int change) {
  const GameModel left = Model(200, 300, 400, 300);
  const GameModel right = Model(600, 300, 400, 300);
  Opponent unaware(level, seed);
  Opponent aware(level, seed);
  for (int tick = 0; tick < change + 40; ++tick) {
    const Directions a = unaware.Decide(left);
    const Directions b = aware.Decide(tick < change ? left : right);
    if (a != b) return tick - (change - 1);
  }
  return -1;
}

TEST(Opponent, AnswersAChangeAfterItsReactionTimeAndNeverSooner) {
  for (Level level : kLevels) {
    const int reaction = TraitsOf(level).reaction_ticks;
    int exactly = 0;
    for (uint64_t seed = 1; seed <= 20; ++seed) {
      const int answer = TicksToAnswer(level, seed, 30);
      EXPECT_GE(answer, reaction) << LevelName(level) << " seed " << seed;
      exactly += answer == reaction ? 1 : 0;
    }
    // Only a slip (easy) can hide the answer for a few ticks more.
    EXPECT_GE(exactly, level == Level::kEasy ? 15 : 20) << LevelName(level);
  }
  EXPECT_EQ(TicksToAnswer(Level::kHard, 1, 30), 1) << "hard answers in the next tick";
  EXPECT_GE(TicksToAnswer(Level::kNormal, 1, 30) * 30, 150) << "a person's 150 ms at least";
  EXPECT_GE(TicksToAnswer(Level::kEasy, 1, 30) * 30, 150);
}

TEST(Opponent, TheSameSeedPlaysTheSameKeysAndEasysSlipsComeFromItsSeed) {
  for (Level level : kLevels) {
    std::vector<Directions> first, second, other_seed;
    for (auto* keys : {&first, &second}) {
      Opponent computer(level, 11);
      const auto pusher = MakeScripted(Script::kCentrePusher, 1);
      Play(computer, *pusher, 2000, 5,
           [keys](const GameModel&, Directions own) { keys->push_back(own); });
    }
    EXPECT_EQ(first, second) << LevelName(level);
    Opponent computer(level, 12);
    const auto pusher = MakeScripted(Script::kCentrePusher, 1);
    Play(computer, *pusher, 2000, 5,
         [&](const GameModel&, Directions own) { other_seed.push_back(own); });
    EXPECT_EQ(first != other_seed, level == Level::kEasy) << LevelName(level);
  }
}

TEST(Opponent, AWholeRoundBetweenTwoLevelsEndsAlikeForTheSameSeeds) {
  for (uint64_t seed = 1; seed <= 5; ++seed) {
    tournament::Round rounds[2];
    for (tournament::Round& round : rounds) {
      const auto easy = MakeComputer(Level::kEasy, seed, 1);
      const auto hard = MakeComputer(Level::kHard, seed + 100, 2);
      round = tournament::PlayRound(*easy, *hard, seed);
    }
    EXPECT_EQ(rounds[0].winner, rounds[1].winner) << seed;
    EXPECT_EQ(rounds[0].ticks, rounds[1].ticks) << seed;
    EXPECT_NE(rounds[0].winner, 0) << "a round is decided";
  }
}

TEST(Opponent, PlaysOnAnyScreenTheGameItselfRunsOn) {
  const std::pair<int32_t, int32_t> screens[] = {{1, 1}, {120, 90}, {403, 2000}, {20000, 15000}};
  for (const auto& [width, height] : screens) {
    for (Level level : kLevels) {
      GameModel game = Model(0, 0, 0, 0, width, height);
      SeededRandom random(1);
      ResetBalls(game, random, 1);
      Opponent computer(level, 1);
      KeyTable table{};
      TableKeys keys(table);
      for (int tick = 0; tick < 300; ++tick) {
        const Directions own = computer.Decide(game);
        ASSERT_EQ(own & 0xF0, 0);
        SetDirections(table, ForBall(own, 2));
        MoveTick(game, keys, random);
      }
    }
  }
}

TEST(Opponent, WaitsThroughTheCountDownAndTheStartOfTheNextRound) {
  Opponent computer(Level::kNormal, 1);
  GameModel game = Model(200, 300, 400, 300);
  for (int tick = 0; tick < 10; ++tick) computer.Decide(game);
  EXPECT_TRUE(computer.plan().has_value());
  game.Dropped = true;
  for (int tick = 0; tick < TraitsOf(Level::kNormal).reaction_ticks; ++tick) computer.Decide(game);
  EXPECT_EQ(computer.Decide(game), 0);
  EXPECT_FALSE(computer.plan().has_value());
  game.Dropped = false;
  EXPECT_EQ(computer.Decide(game), 0) << "the new round is not seen yet";
}

}  // namespace
}  // namespace kraylo
