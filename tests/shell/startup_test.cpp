// Start-up as a player sees it: the log, the display size, the pointer setting and the keyboard
// device; the configuration faults that end the program with the error report; and what the
// player is left with when the display, a sprite sheet or a flip fails.
#include <gtest/gtest.h>

#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

TEST(StartUp, LogsToTheLetterAndHandsOverAfterSixThousandAndOneYields) {
  Session s;
  s.AtFrame(1, [&] {
    EXPECT_EQ(LogLines(s.machine.window()),
              (std::vector<std::string>{
                  "Initializing...", "Initializing DirectX...", "", "Working Fullscreen 800x600x32",
                  "Initializing DirectInput...", "No pads found", " Unpacking resources..."}));
    EXPECT_FALSE(s.machine.window().IsVisible(Control::kExit));
    EXPECT_FALSE(s.machine.window().IsVisible(Control::kLog));
    PressEscape(s.machine);
  });
  EXPECT_EQ(s.Run(), 0);
  // Esc on the menu: that frame is still drawn and flipped, then the loop ends.
  EXPECT_EQ(s.machine.Yields(), kStartUpYields + 1) << "6001 yields before the first frame";
  EXPECT_EQ(s.machine.FramesShown(), 1);
}

TEST(StartUp, LogsTheModeAndTakesWidthAndMenuEdgeRoundedHalfToEven) {
  const struct {
    const char* disp_x;
    int32_t width;
    int16_t menu_x;
    const char* logged;
  } cases[] = {{"800", 800, 330, "800"},
               {"801", 801, 330, "801"},
               {"803", 803, 332, "803"},
               {"801.5", 802, 331, "801.5"},
               {" 1024 ", 1024, 442, "1024"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.disp_x);
    Session s;
    s.WriteConfig(Config(c.disp_x));
    s.EndFrom(1);
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(LogLines(s.machine.window()).at(3),
              "Working Fullscreen " + std::string(c.logged) + "x600x32");
    EXPECT_EQ(std::tuple(s.program.game.ScreenWidth, s.program.game.ScreenHeight),
              std::tuple(c.width, 600));
    EXPECT_EQ(s.program.screen.MenuX, c.menu_x);
  }
}

TEST(StartUp, HidesThePointerOnceOnlyForFalseInAnyCaseWithSpacesAround) {
  const std::pair<const char*, bool> cases[] = {
      {"FALSE", true},   {"  false ", true}, {"FaLsE", true}, {"TRUE", false},
      {"FALSEX", false}, {"\tFALSE", false}, {"", false}};
  for (const auto& [cursor_text, hides_pointer] : cases) {
    // Named copies: a lambda cannot capture structured bindings in every compiler.
    const char* cursor = cursor_text;
    const bool hides = hides_pointer;
    Session s;
    s.WriteConfig(Config("800", "32", cursor));
    s.AtFrame(1, [&] { EXPECT_EQ(s.machine.CursorCount(), hides ? -1 : 0) << cursor; });
    s.EndFrom(1);
    EXPECT_EQ(s.Run(), 0);
  }
}

TEST(StartUp, AConfigurationItCannotReadEndsWithTheErrorReportAndANonZeroStatus) {
  const struct {
    const char* content;  // nullptr: no configuration file
    int32_t number;
    const char* in_description;
  } cases[] = {{nullptr, kErrFileNotFound, "config.cfg"},
               {"", kErrInputPastEnd, "config.cfg"},
               {"[Screen]\r\ndispX=\r\n", kErrInvalidArgument, "config.cfg"},
               {"[Screen]\r\ndispX = 70000\r\ndispY = 600\r\n", kErrOverflow, ""}};
  for (const auto& c : cases) {
    Session s;
    if (c.content == nullptr) s.RemoveFile("dorvane/config.cfg");
    if (c.content != nullptr) s.WriteConfig(c.content);
    EXPECT_NE(s.Run(), 0);
    ASSERT_EQ(s.machine.ErrorReports().size(), 1u);
    const std::string& report = s.machine.ErrorReports()[0];
    EXPECT_EQ(report.rfind("Run-time error " + std::to_string(c.number) + ": ", 0), 0u) << report;
    EXPECT_NE(report.find(c.in_description), std::string::npos) << report;
    EXPECT_EQ(s.machine.FramesShown(), 0);
  }
}

// Without a keyboard device the window stays on the desktop with its log and the Exit button.
TEST(StartUp, AKeyboardFailureIsLoggedTheFrameLoopNeverRunsAndExitEnds) {
  Session s;
  s.machine.faults().Arm(Fault::kCreateDevice, kErrNoDevice, "No keyboard here");
  // Run's own loop serves the window once start-up has returned.
  s.AtFrame(5, [&] {
    EXPECT_TRUE(s.machine.window().IsVisible(Control::kExit));
    ClickExit(s.machine);
  });
  EXPECT_EQ(s.Run(), 0);
  EXPECT_FALSE(s.machine.EndedIdle()) << "Exit ended it";
  EXPECT_EQ(LogLines(s.machine.window()).back(), "DirectInput initializing failed!");
  EXPECT_EQ(LogLines(s.machine.window()).size(), 6u);
  EXPECT_EQ(s.machine.Yields(), kStartUpYields) << "no frame loop";
  EXPECT_EQ(s.machine.FramesShown(), 0);
}

TEST(DisplayFailure, IsLoggedAndWrittenToDebugTxtAndLeavesAWorkingExitButton) {
  // The display operation made to fail (or none, or run out of memory), the display keys (an
  // empty dispX: the line "dispX =" with nothing after it), the error line.
  const struct {
    std::optional<Fault> armed;
    bool out_of_memory;
    const char *disp_x, *disp_cols, *error;
  } cases[] = {
      {Fault::kSetDisplayMode, false, "800", "32",
       "Error -1002: No such mode in function CreateDDS."},
      {Fault::kGetAttachedSurface, false, "800", "32",
       "Error -1002: No such mode in function CreateDDS."},
      {Fault::kCreatePrimarySurface, true, "800", "32",
       "Error 7: Out of memory in function CreateDDS."},
      // A display key that is not a number is reported the same way; so is one with no text.
      {std::nullopt, false, "800", "abc",
       "Error 13: Type mismatch: \" abc\" is not a number in function Working."},
      {std::nullopt, false, "wide", "32",
       "Error 13: Type mismatch: \" wide\" is not a number in function Working."},
      {std::nullopt, false, "", "32",
       "Error 13: Type mismatch: \"\" is not a number in function Working."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    Session s;
    std::string config = Config(c.disp_x, c.disp_cols);
    if (*c.disp_x == '\0') config.replace(config.find("dispX = "), 8, "dispX =");
    s.WriteConfig(config);
    s.machine.SetNow({2024, 3, 14, 9, 41, 7});
    if (c.out_of_memory) s.machine.faults().ArmOutOfMemory(*c.armed);
    if (c.armed && !c.out_of_memory)
      s.machine.faults().Arm(*c.armed, kErrBadDisplayMode, "No such mode");
    s.AtFrame(5, [&] {
      EXPECT_TRUE(s.machine.window().IsVisible(Control::kExit));
      EXPECT_EQ(s.machine.CursorCount(), 0) << "the pointer hidden at start-up is shown again";
      // The log box holds the keyboard focus: Esc does not reach the screens.
      PressEscape(s.machine);
    });
    s.AtFrame(10, [&] { ClickExit(s.machine); });
    EXPECT_EQ(s.Run(), 0);
    const std::string mode = std::string("Working Fullscreen ") + c.disp_x + "x600x" + c.disp_cols;
    EXPECT_EQ(LogLines(s.machine.window()),
              (std::vector<std::string>{"Initializing...", "Initializing DirectX...", "", mode,
                                        "Initializing DirectInput...", "No pads found", "", c.error,
                                        "Error log: " + s.folder + "/Debug.txt",
                                        " Unpacking resources..."}));
    EXPECT_EQ(s.ReadFile("Debug.txt"), "09:41:0703-14-2024 - " + std::string(c.error) + "\r\n");
    EXPECT_EQ(s.machine.FramesShown(), 0);
    // Two events (Esc, the Exit click): the loop waited for each instead of spinning.
    EXPECT_EQ(s.machine.Yields(), kStartUpYields + 2) << "one frame per event";
  }
}

// Each step of the frame loop is guarded on its own: a sheet that is missing costs only the
// drawings from it; the next steps still run and nothing is reported.
TEST(FrameLoop, AMissingSheetLeavesOutOnlyItsOwnDrawings) {
  const Bitmap buttons = LoadSheet("buttons.bmp"), cursor = LoadSheet("cursor.bmp");
  for (const std::string missing : {"buttons.bmp", "cursor.bmp", "balls.bmp"}) {
    SCOPED_TRACE(missing);
    Session s;
    s.RemoveFile("dorvane/graph/" + missing);
    s.AtFrame(1, [&] { s.machine.Push(InputEvent::MouseMove(100, 100)); });
    s.AtFrame(3, [&] {
      const Surface& frame = *s.machine.LastFrame();
      EXPECT_EQ(CellShownAt(frame, buttons, {0, 0, 140, 32}, 330, 250), missing != "buttons.bmp");
      EXPECT_EQ(CellShownAt(frame, cursor, {0, 0, 30, 30}, 100, 100), missing != "cursor.bmp");
      EXPECT_EQ(LitPixels(frame, {100, 100, 130, 130}) > 0, missing != "cursor.bmp");
      EXPECT_EQ(s.machine.TextsOfLastFrame().size(), 1u) << "the frame rate after the pointer";
      Click(s.machine, 400, 260);
      s.machine.HeldKeys()[key_index::kRight] = key_index::kHeld;
    });
    s.AtFrame(5, [&] {
      EXPECT_EQ(LitPixels(*s.machine.LastFrame(), {40, 40, 800, 600}) > 0, missing != "balls.bmp");
    });
    s.EndFrom(80);
    EXPECT_EQ(s.Run(), 0);
    EXPECT_GT(s.program.game.Balls(1).X, 349) << "the game went on";
    EXPECT_TRUE(s.machine.ErrorReports().empty());
  }
}

TEST(FrameLoop, AFlipThatFailsIsSkippedAndTheLoopGoesOn) {
  Session s;
  s.machine.faults().Arm(Fault::kFlip, kErrPresent, "Cannot show");
  s.AtFrame(5, [&] { s.machine.faults().Disarm(Fault::kFlip); });
  s.EndFrom(8);
  EXPECT_EQ(s.Run(), 0);
  EXPECT_EQ(s.machine.FramesShown(), s.machine.Yields() - kStartUpYields - 4);
  EXPECT_TRUE(s.machine.ErrorReports().empty());
}

}  // namespace
}  // namespace kraylo::testing
