// Playing a replay again: a faithful recording checks out, and a changed key or checksum is found
// at the first checkpoint after it.
#include "replay/replay_check.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/replay/replay_fakes.h"

namespace kraylo {
namespace {

std::string MismatchOf(const std::string& bytes) {
  try {
    CheckReplay(ParseReplay(bytes));
  } catch (const ReplayError& error) {
    return error.what();
  }
  return "";
}

TEST(CheckReplay, ARecordedGamePlaysAgainToTheSameChecksums) {
  for (uint32_t ticks : {0u, 1u, 59u, 60u, 61u, 3000u}) {
    const ReplaySummary summary = CheckReplay(ParseReplay(RecordedBytes(ticks)));
    EXPECT_EQ(summary.games, 1u);
    EXPECT_EQ(summary.ticks, ticks);
    // The start, one every 60 ticks, and the end.
    EXPECT_EQ(summary.checkpoints, 2 + ticks / 60) << ticks;
  }
  EXPECT_NE(CheckReplay(ParseReplay(RecordedBytes(300, 1))).final_checksum,
            CheckReplay(ParseReplay(RecordedBytes(300, 2))).final_checksum)
      << "another seed, other rounds";
}

TEST(CheckReplay, AChangedKeyOrChecksumIsFoundAtTheNextCheckpoint) {
  // No key held: a key pressed in its place sets a ball moving, and no round ends to hide it.
  const std::string good = RecordedBytes(200, 7, 0);
  // Header 16, start 17, checkpoint 9: the first inputs record at 42, its keys from 44.
  constexpr size_t kFirstKey = 44;
  constexpr size_t kFirstCheckpointSum = kFirstKey + 60 + 5;
  const struct {
    const char* what;
    size_t at;
    const char* error;
  } cases[] = {
      {"a key of tick 0", kFirstKey, "checksum mismatch at tick 60: recorded "},
      {"a key of tick 59", kFirstKey + 59, "checksum mismatch at tick 60: recorded "},
      {"the start's checksum", 38, "checksum mismatch at tick 0: recorded "},
      {"the checksum at tick 60", kFirstCheckpointSum, "checksum mismatch at tick 60: recorded "},
      {"the end's checksum", good.size() - 1, "checksum mismatch at tick 200: recorded "},
  };
  for (const auto& c : cases) {
    std::string bad = good;
    bad[c.at] = static_cast<char>(bad[c.at] ^ 0x10);
    EXPECT_EQ(MismatchOf(bad).rfind(c.error, 0), 0u) << c.what << ": " << MismatchOf(bad);
  }
  EXPECT_EQ(MismatchOf(good), "");
}

TEST(CheckReplay, WithSeveralGamesTheMismatchNamesTheGame) {
  MemoryFiles files;
  ReplayWriter writer(files, kReplayPath);
  PlayRecordedGame(writer, 10);
  PlayRecordedGame(writer, 10, 8);  // beginning a game ends the one before
  writer.EndGame();
  std::string bytes = files.Content(kReplayPath);
  EXPECT_EQ(CheckReplay(ParseReplay(bytes)).games, 2u);
  bytes[bytes.size() - 1] ^= 1;
  EXPECT_NE(MismatchOf(bytes).find("at tick 10 of game 2"), std::string::npos) << MismatchOf(bytes);
}

TEST(StartRecordedGame, KeepsTheViewersSwitchesAndStartsFromTheCentre) {
  GameModel game;
  game.Running = true;
  game.ShowDebug = true;
  game.Dropped = true;
  game.Balls(1).MX = 5;
  SeededRandom random(1);
  RecordedGame recorded;
  recorded.seed = 42;
  recorded.width = 640;
  recorded.height = 480;
  StartRecordedGame(game, random, recorded);
  EXPECT_TRUE(game.Running && game.ShowDebug);
  EXPECT_FALSE(game.Dropped);
  EXPECT_EQ(game.Balls(1).X, 640 / 2 - 51);
  EXPECT_EQ(game.Balls(1).MX, 0);
  EXPECT_EQ(game.ScreenHeight, 480);
  EXPECT_EQ(random.state(), SeededRandom(42).state());
}

}  // namespace
}  // namespace kraylo
