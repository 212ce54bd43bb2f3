// The replay file: what the recorder writes reads back, and every kind of bad file is refused with
// a message that says what is wrong.
#include "replay/replay_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/headless/headless_system.h"
#include "tests/replay/replay_fakes.h"
#include "tests/support/test_helpers.h"

namespace kraylo {
namespace {

std::string ReplayErrorOf(const std::string& bytes) {
  try {
    ParseReplay(bytes);
  } catch (const ReplayError& error) {
    return error.what();
  }
  return "";
}

// Little-endian bytes of `value`.
std::string Le(uint64_t value, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

TEST(ReplayFile, WhatTheRecorderWritesReadsBackWithACheckpointEverySixtyTicks) {
  MemoryFiles files;
  ReplayWriter writer(files, kReplayPath);
  PlayRecordedGame(writer, 130, 99);
  writer.EndGame();
  PlayRecordedGame(writer, 0, 5);
  writer.EndGame();
  writer.EndGame();  // a second end of the same game writes nothing
  const Replay replay = ParseReplay(files.Content(kReplayPath));
  ASSERT_EQ(replay.games.size(), 2u);
  const RecordedGame& first = replay.games[0];
  EXPECT_EQ(first.seed, 99u);
  EXPECT_EQ(first.width, 800);
  EXPECT_EQ(first.height, 600);
  EXPECT_EQ(first.inputs.size(), 130u);
  ASSERT_EQ(first.checkpoints.size(), 4u);
  const uint32_t ticks[] = {0, 60, 120, 130};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(first.checkpoints[i].tick, ticks[i]);
  EXPECT_TRUE(replay.games[1].inputs.empty());
  EXPECT_EQ(replay.games[1].checkpoints.size(), 2u) << "the start and the end";
}

TEST(ReplayFile, EveryKindOfBadFileIsRefusedWithWhatIsWrongAndWhere) {
  const std::string good = RecordedBytes(70);  // header, start, cp 0, 60 inputs, cp, 10, end
  const std::string header = good.substr(0, 16);
  const std::string start = good.substr(16, 17);
  const std::string checkpoint0 = good.substr(33, 9);
  const std::string game = start + checkpoint0;
  const std::string end0 = "\x04" + Le(0, 4) + checkpoint0.substr(5);
  const struct {
    const char* what;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"empty", "", "truncated: the file ends inside the header (at byte 0)"},
      {"another file", "GIF89a" + good.substr(6),
       "bad header: not a Kraylo replay file (at byte 0)"},
      {"newer", "KRAYLORP" + Le(2, 2) + good.substr(10),
       "written by a newer Kraylo: format version 2, this one reads version 1 (at byte 10)"},
      {"version 0", "KRAYLORP" + Le(0, 2) + good.substr(10),
       "bad header: format version 0 (at byte 10)"},
      {"reserved", good.substr(0, 15) + "\x01" + good.substr(16),
       "bad header: its reserved bytes are not zero (at byte 16)"},
      {"no game", header, "truncated: the file holds no game (at byte 16)"},
      {"cut in a record", good.substr(0, 60), "truncated: the file ends inside an inputs record"},
      {"no end", good.substr(0, good.size() - 9),
       "truncated: the last game has no end record (the recording stopped early)"},
      {"unknown record", header + game + "\x09", "unknown record type 9 (at byte 42)"},
      {"zero field", header + "\x01" + Le(7, 8) + Le(0, 4) + Le(600, 4),
       "absurd field size 0x600 (1 to 16384 pixels a side) (at byte 33)"},
      {"huge field", header + "\x01" + Le(7, 8) + Le(800, 4) + Le(100000, 4),
       "absurd field size 800x100000"},
      {"negative field", header + "\x01" + Le(7, 8) + Le(0xFFFFFFFF, 4) + Le(600, 4),
       "absurd field size -1x600"},
      {"no inputs", header + game + "\x02" + Le(0, 1), "bad inputs record: 0 ticks (1 to 60)"},
      {"too many inputs", header + game + "\x02" + Le(255, 1) + std::string(255, '\0'),
       "bad inputs record: 255 ticks (1 to 60)"},
      {"a long stretch",
       header + game + "\x02" + Le(60, 1) + std::string(60, '\0') + "\x02" + Le(1, 1) +
           std::string(1, '\0'),
       "more than 60 ticks without a checkpoint"},
      {"wrong tick", header + game + "\x02" + Le(3, 1) + "abc" + "\x03" + Le(5, 4) + Le(0, 4),
       "bad checkpoint: it says tick 5, but the game is at tick 3 (at byte 47)"},
      {"inputs first", header + start + "\x02" + Le(1, 1) + std::string(1, '\0'),
       "bad record order: inputs before the checkpoint at tick 0"},
      {"end first", header + start + end0,
       "bad record order: the game's end before the checkpoint at tick 0"},
      {"outside a game", header + game + end0 + checkpoint0,
       "bad record order: a record outside any game (at byte 51)"},
      {"game in a game", header + game + start, "bad record order: a game starts inside another"},
      {"two fields",
       header + game + end0 + "\x01" + Le(7, 8) + Le(640, 4) + Le(480, 4) + checkpoint0 + end0,
       "the games of one replay must share one field size (at byte 51)"},
  };
  for (const auto& c : cases) {
    const std::string error = ReplayErrorOf(c.bytes);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
  }
  EXPECT_EQ(ReplayErrorOf(good), "") << "the unchanged file reads";
  EXPECT_EQ(ReplayErrorOf(header + game + end0), "") << "a game of no ticks reads";
}

TEST(ReplayWriter, AFileThatCannotBeWrittenIsARunErrorNamingIt) {
  TempFolder folder;
  HeadlessSystem machine(folder.path());
  const std::string path = folder.path() + "/no such folder/play.krp";
  const std::optional<RunError> error = CaughtError([&] { ReplayWriter(machine.files(), path); });
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), kErrFileAccess);
#ifdef _WIN32
  const std::string reason = "Path not found";
#else
  const std::string reason = "No such file or directory";
#endif
  EXPECT_EQ(error->description(), "Path/File access error: " + path + " (" + reason + ")");
}

}  // namespace
}  // namespace kraylo
