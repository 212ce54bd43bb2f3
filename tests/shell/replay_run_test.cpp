// Whole runs with --record, --replay and --check-replay on the headless machine: a recorded game
// checks out and shows again to the same last picture, and bad files are refused before any
// window shows.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "shell/run.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

// A run of the whole program through RunProgram, with one timer tick per frame.
struct WholeRun {
  WholeRun() {
    folder.Write("dorvane/config.cfg", Config());
    machine.SetYieldStep(0.03);
  }
  // Runs with `options`; `at_frame` is called at the yield of every frame (1: the first).
  int Play(const Options& options, const std::function<void(int frame)>& at_frame) {
    machine.OnYield([&](int yield) {
      const int frame = yield - kStartUpYields;
      if (frame < 1) return;
      at_frame(frame);
      if (frame > 3000) {
        ADD_FAILURE() << "the run went on past 3000 frames";
        PressEscape(machine);
        machine.HeldKeys()[key_index::kEscape] = key_index::kHeld;
      }
    });
    return RunProgram(machine, options, errors);
  }

  ProgramFolder folder;
  HeadlessSystem machine{folder.path()};
  std::ostringstream errors;
};

// Plays a game through the menu (Play is in the middle of a field `width` wide): Right and D held
// for a while, then Esc at `last_frame`.
int PlayAGame(WholeRun& run, const Options& options, int last_frame, float width = 800) {
  KeyTable& keys = run.machine.HeldKeys();
  return run.Play(options, [&](int frame) {
    if (frame == 2) Click(run.machine, width / 2, 260);  // Play
    keys[key_index::kRight] = keys[key_index::kD] = frame < 40 ? key_index::kHeld : 0;
    keys[key_index::kDown] = frame < 25 ? key_index::kHeld : 0;
    if (frame >= last_frame) keys[key_index::kEscape] = key_index::kHeld;
  });
}

// Whether two frames show the same below the frame-rate counter.
bool SamePlayfield(const Surface& a, const Surface& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int32_t y = 40; y < a.height(); ++y) {
    for (int32_t x = 0; x < a.width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    }
  }
  return true;
}

TEST(Replay, ARecordedGameChecksOutAndShowsAgainToTheSameLastPicture) {
  WholeRun recording;
  Options record;
  record.record = recording.folder.path() + "/game.krp";
  ASSERT_EQ(PlayAGame(recording, record, 150), 0) << recording.errors.str();
  const int ticks = recording.machine.TimerTicks();
  ASSERT_GT(ticks, 100);

  std::ostringstream out;
  std::ostringstream errors;
  ASSERT_EQ(CheckReplayFile(recording.machine.files(), record.record, out, errors), 0)
      << errors.str();
  EXPECT_NE(out.str().find(": 1 game, " + std::to_string(ticks) + " ticks, final state checksum "),
            std::string::npos)
      << out.str();

  WholeRun showing;
  Options replay;
  replay.mode = ReplayToShow{record.record};
  const Surface recorded_end = *recording.machine.LastFrame();
  int first_tick_frame = 0;
  const int status = showing.Play(replay, [&](int frame) {
    if (first_tick_frame == 0 && showing.machine.TimerTicks() > 0) first_tick_frame = frame;
    // The last picture stays until Esc.
    if (showing.machine.TimerTicks() >= ticks + 20) {
      EXPECT_TRUE(SamePlayfield(*showing.machine.LastFrame(), recorded_end));
      showing.machine.HeldKeys()[key_index::kEscape] = key_index::kHeld;
    }
  });
  EXPECT_EQ(status, 0) << showing.errors.str();
  EXPECT_LE(first_tick_frame, 3) << "no menu: the replay starts at once";
  EXPECT_TRUE(SamePlayfield(*showing.machine.LastFrame(), recorded_end));
}

TEST(Replay, AGameAgainstTheComputerIsRecordedLikeAnyOtherAndChecksOut) {
  WholeRun recording;
  Options record;
  record.record = recording.folder.path() + "/computer.krp";
  record.mode = ComputerGame{Level::kHard};
  // The person holds nothing; the computer plays ball 2 for 300 ticks.
  ASSERT_EQ(PlayAGame(recording, record, 300), 0) << recording.errors.str();
  std::ostringstream out;
  std::ostringstream errors;
  EXPECT_EQ(CheckReplayFile(recording.machine.files(), record.record, out, errors), 0)
      << errors.str();
  EXPECT_NE(
      out.str().find(": 1 game, " + std::to_string(recording.machine.TimerTicks()) + " ticks"),
      std::string::npos)
      << out.str();
}

TEST(Replay, IsShownOnTheFieldItWasPlayedOn) {
  WholeRun recording;
  recording.folder.Write("dorvane/config.cfg", Config("640"));
  Options record;
  record.record = recording.folder.path() + "/small.krp";
  ASSERT_EQ(PlayAGame(recording, record, 20, 640), 0);

  WholeRun showing;  // configured for 800 x 600
  Options replay;
  replay.mode = ReplayToShow{record.record};
  EXPECT_EQ(showing.Play(replay,
                         [&](int frame) {
                           if (frame > 40)
                             showing.machine.HeldKeys()[key_index::kEscape] = key_index::kHeld;
                         }),
            0);
  EXPECT_EQ(showing.machine.LastFrame()->width(), 640);
}

TEST(Replay, BadFilesAreRefusedBeforeAnyWindowShows) {
  WholeRun run;
  run.folder.Write("bad.krp", "GIF89a, not a replay");
  const std::string folder = run.folder.path();
  const struct {
    const char* what;
    bool replay;  // --replay, else --record
    std::string file;
    std::string error;
  } cases[] = {
      {"not a replay", true, folder + "/bad.krp",
       "kraylo: " + folder + "/bad.krp: bad header: not a Kraylo replay file (at byte 0)\n"},
      {"missing", true, folder + "/none.krp", "kraylo: File not found: " + folder + "/none.krp\n"},
      {"unwritable", false, folder + "/no folder/x.krp",
       "kraylo: Path/File access error: " + folder +
           "/no folder/x.krp (No such file or directory)\n"},
  };
  for (const auto& c : cases) {
    Options options;
    if (c.replay) {
      options.mode = ReplayToShow{c.file};
    } else {
      options.record = c.file;
    }
    WholeRun fresh;
    EXPECT_EQ(fresh.Play(options, [](int) {}), 1) << c.what;
    EXPECT_EQ(fresh.errors.str(), c.error) << c.what;
    EXPECT_EQ(fresh.machine.HandlerRuns(), 0) << c.what << ": the window never ran";

    std::ostringstream out;
    std::ostringstream errors;
    if (c.replay) {
      EXPECT_EQ(CheckReplayFile(run.machine.files(), c.file, out, errors), 1);
      EXPECT_EQ(errors.str(), c.error) << c.what;
      EXPECT_EQ(out.str(), "");
    }
  }
}

}  // namespace
}  // namespace kraylo::testing
