// Rollback on one side: going back and running ticks again gives bit for bit the states of a
// straight run, whether forced on every tick or made by late inputs; ticks are confirmed in order,
// once each; the prediction window is kept.
#include "net/rollback.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "game/state_checksum.h"
#include "tests/support/test_helpers.h"

namespace kraylo {
namespace {

constexpr int64_t kTicks = 10000;
constexpr uint64_t kSeed = 77;

// Both players' keys for every tick: held for a while, then others, so that balls cross the
// field, touch each other and go over the edges, and rounds begin again from the seed.
std::vector<Directions> RandomInputs(uint64_t seed) {
  std::mt19937_64 random(seed);
  std::vector<Directions> inputs(kTicks);
  Directions held = 0;
  for (Directions& input : inputs) {
    if (std::uniform_int_distribution<int>(0, 5)(random) == 0) {
      held = static_cast<Directions>(std::uniform_int_distribution<int>(0, 255)(random));
    }
    input = held;
  }
  return inputs;
}

uint32_t ChecksumOf(const GameState& state) { return StateChecksum(state.game, state.random); }

// The checksum after every tick of a straight run.
std::vector<uint32_t> StraightRun(const std::vector<Directions>& inputs) {
  GameState state = StartingState(800, 600, kSeed);
  std::vector<uint32_t> checksums;
  for (size_t tick = 0; tick < inputs.size(); ++tick) {
    StepGame(state, inputs[tick], static_cast<int64_t>(tick));
    checksums.push_back(ChecksumOf(state));
  }
  return checksums;
}

TEST(Rollback, ARunThatGoesBackNTicksOnEveryTickEqualsAStraightRun) {
  const std::vector<Directions> inputs = RandomInputs(1);
  const std::vector<uint32_t> straight = StraightRun(inputs);
  int rounds = 0;
  for (size_t tick = 1; tick < inputs.size(); ++tick)
    rounds += straight[tick] != straight[tick - 1];
  for (int64_t back : {1, 2, 7}) {
    SCOPED_TRACE(back);
    // This side steers ball 1; the other side's inputs are known before each tick runs.
    Rollback rollback(StartingState(800, 600, kSeed), 1);
    std::vector<uint32_t> checksums;
    for (int64_t tick = 0; tick < kTicks; ++tick) {
      const Directions input = inputs[static_cast<size_t>(tick)];
      rollback.AddLocal(BallDirections(input, 1));
      rollback.AddRemote(tick, BallDirections(input, 2));
      rollback.Settle();
      rollback.RunTick();
      if (rollback.tick() >= back) rollback.Resimulate(rollback.tick() - back);
      checksums.push_back(ChecksumOf(rollback.state()));
    }
    EXPECT_EQ(checksums, straight);
    EXPECT_EQ(rollback.rollbacks(), 0) << "nothing was predicted wrong";
  }
  EXPECT_GT(rounds, 100) << "the inputs move the balls";
}

TEST(Rollback, InputsThatArriveNTicksLateAreUndoneAndRedoneToTheStraightRun) {
  const std::vector<Directions> inputs = RandomInputs(2);
  const std::vector<uint32_t> straight = StraightRun(inputs);
  for (int64_t late : {1, 2, 7}) {
    SCOPED_TRACE(late);
    // This side steers ball 2 this time.
    Rollback rollback(StartingState(800, 600, kSeed), 2);
    std::vector<int64_t> confirmed_ticks;
    std::vector<uint32_t> confirmed;
    std::vector<Directions> confirmed_inputs;
    rollback.OnConfirmed([&](int64_t tick, Directions input, const GameState& after) {
      confirmed_ticks.push_back(tick);
      confirmed_inputs.push_back(input);
      confirmed.push_back(ChecksumOf(after));
    });
    for (int64_t tick = 0; tick < kTicks + late; ++tick) {
      if (tick >= late) {
        rollback.AddRemote(tick - late,
                           BallDirections(inputs[static_cast<size_t>(tick - late)], 1));
        rollback.Settle();
      }
      if (tick < kTicks) {
        rollback.AddLocal(BallDirections(inputs[static_cast<size_t>(tick)], 2));
        ASSERT_TRUE(rollback.WithinWindow());
        rollback.RunTick();
      }
    }
    EXPECT_EQ(confirmed, straight);
    EXPECT_EQ(confirmed_inputs, inputs);
    ASSERT_EQ(confirmed_ticks.size(), static_cast<size_t>(kTicks));
    for (int64_t tick = 0; tick < kTicks; ++tick) {
      ASSERT_EQ(confirmed_ticks[static_cast<size_t>(tick)], tick) << "in order, once each";
    }
    EXPECT_EQ(ChecksumOf(rollback.state()), straight.back());
    EXPECT_GT(rollback.rollbacks(), kTicks / 100) << "the keys change often enough";
  }
}

TEST(Rollback, NoTickRunsMoreThanEightAheadOfTheOtherSidesKnownInput) {
  Rollback rollback(StartingState(800, 600, kSeed), 1);
  for (int tick = 0; tick < 20; ++tick) rollback.AddLocal(0);
  int ran = 0;
  while (rollback.WithinWindow()) {
    rollback.RunTick();
    ++ran;
  }
  EXPECT_EQ(ran, 8);
  EXPECT_EQ(ErrorNumberOf([&] { rollback.RunTick(); }), kErrInvalidArgument);
  EXPECT_EQ(rollback.confirmed(), 0);
  rollback.AddRemote(0, 0);
  rollback.Settle();
  EXPECT_TRUE(rollback.WithinWindow());
  EXPECT_EQ(rollback.confirmed(), 1);
}

TEST(Rollback, InputsOutOfOrderFarAheadOrTwiceChangeNothingTheyShouldNot) {
  const std::vector<Directions> inputs = RandomInputs(3);
  Rollback rollback(StartingState(800, 600, kSeed), 1);
  std::vector<Directions> confirmed_inputs;
  rollback.OnConfirmed(
      [&](int64_t, Directions input, const GameState&) { confirmed_inputs.push_back(input); });
  const int64_t ticks = 200;
  for (int64_t tick = 0; tick < ticks; ++tick) {
    rollback.AddLocal(BallDirections(inputs[static_cast<size_t>(tick)], 1));
    // The other side's inputs come in pairs, the later one first, and each one twice; a forged
    // one for a tick far ahead comes too.
    if (tick % 2 == 1) {
      for (int64_t t : {tick, tick - 1, tick, tick - 1}) {
        rollback.AddRemote(t, BallDirections(inputs[static_cast<size_t>(t)], 2));
      }
      rollback.AddRemote(tick + 1000, 0x0F);
      rollback.Settle();
    }
    if (rollback.WithinWindow()) rollback.RunTick();
  }
  // Input known before: later copies of it do not change it.
  rollback.AddRemote(5, 0x0F);
  rollback.Settle();
  std::vector<Directions> expected(inputs.begin(), inputs.begin() + ticks);
  EXPECT_EQ(confirmed_inputs, expected);
  EXPECT_EQ(ErrorNumberOf([&] { rollback.LocalInput(ticks); }), kErrSubscript);
  EXPECT_EQ(ErrorNumberOf([&] { rollback.Resimulate(rollback.tick() - Rollback::kSnapshots); }),
            kErrSubscript);
}

}  // namespace
}  // namespace kraylo
