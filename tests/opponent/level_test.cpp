// The levels: their names as the command line and the configuration take them, and how they
// differ in reaction time, look-ahead and slips.
#include "opponent/level.h"

#include <gtest/gtest.h>

namespace kraylo {
namespace {

constexpr Level kLevels[] = {Level::kEasy, Level::kNormal, Level::kHard};

TEST(Level, EachNameGivesItsLevelAndNothingElseNamesOne) {
  for (Level level : kLevels) EXPECT_EQ(LevelNamed(LevelName(level)), level);
  EXPECT_EQ(LevelName(Level::kEasy), "easy");
  EXPECT_EQ(LevelName(Level::kNormal), "normal");
  EXPECT_EQ(LevelName(Level::kHard), "hard");
  for (const char* name : {"", "Easy", "HARD", " normal", "normal ", "medium", "hardest", "e"}) {
    EXPECT_EQ(LevelNamed(name), std::nullopt) << '"' << name << '"';
  }
}

TEST(Level, OnlyHardAnswersFasterThanAPersonAndTheLookAheadGrowsWithTheLevel) {
  constexpr int kTickMs = 30;
  for (Level level : {Level::kEasy, Level::kNormal}) {
    const int ms = TraitsOf(level).reaction_ticks * kTickMs;
    EXPECT_GE(ms, 150) << LevelName(level);
    EXPECT_LE(ms, 250) << LevelName(level);
  }
  EXPECT_EQ(TraitsOf(Level::kHard).reaction_ticks, 1) << "the next tick";
  EXPECT_GT(TraitsOf(Level::kEasy).reaction_ticks, TraitsOf(Level::kNormal).reaction_ticks);
  EXPECT_LT(TraitsOf(Level::kEasy).look_ahead_ticks, TraitsOf(Level::kNormal).look_ahead_ticks);
  EXPECT_LT(TraitsOf(Level::kNormal).look_ahead_ticks, TraitsOf(Level::kHard).look_ahead_ticks);
  EXPECT_GT(TraitsOf(Level::kEasy).slip_chance, 0);
  EXPECT_EQ(TraitsOf(Level::kNormal).slip_chance, 0);
  EXPECT_EQ(TraitsOf(Level::kHard).slip_chance, 0);
}

}  // namespace
}  // namespace kraylo
