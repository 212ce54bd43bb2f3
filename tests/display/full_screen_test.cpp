// Entering the full-screen mode, and every way it can fail: both logs, the desktop given back.
#include "display/full_screen.h"

#include <filesystem>

#include "tests/display/display_fixture.h"

namespace kraylo {
namespace {

// A machine as the frame loop has it before the display set-up: the controls hidden and the
// pointer hidden once.
struct Machine {
  Machine() {
    system.SetNow(CalendarTime{2026, 3, 14, 9, 41, 7});
    system.window().SetVisible(Control::kExit, false);
    system.window().SetVisible(Control::kLog, false);
    system.window().ShowCursor(false);
  }

  // The display torn down, the pointer shown, the controls shown, when `failed`; else all left.
  void ExpectFailed(bool failed) {
    EXPECT_EQ(!display.device && !display.primary && !display.back_buffer, failed);
    EXPECT_EQ(system.IsFullScreen(), !failed);
    EXPECT_EQ(system.CursorCount(), failed ? 0 : -1) << "one show undoes the one hide";
    EXPECT_EQ(system.window().IsVisible(Control::kExit), failed);
    EXPECT_EQ(system.window().IsVisible(Control::kLog), failed);
  }

  TempFolder folder;
  HeadlessSystem system{folder.path()};
  DisplayState display;
};

TEST(CreateDDS, EntersTheModeOrLogsTheFailingStepAndGivesTheDesktopBack) {
  constexpr const char* kFails = "Error -2005532542: the step failed in function CreateDDS.";
  const struct {
    std::optional<Fault> armed;  // the operation armed to fail
    WindowHandle window;
    int32_t width, height, bits;
    const char* line;  // nullptr: the mode is entered
  } cases[] = {
      {std::nullopt, kMainWindow, 800, 600, 16, nullptr},
      {std::nullopt, kMainWindow, 640, 480, 24, nullptr},
      {std::nullopt, kMainWindow, 1024, 768, 32, nullptr},
      {Fault::kDirectDrawCreate, kMainWindow, 800, 600, 32, kFails},
      // The teardown calls SetCooperativeLevel too, so this step fails by its own check instead.
      {std::nullopt, 0, 800, 600, 32,
       "Error -1104: SetCooperativeLevel: the full-screen level needs the main window, and 0 is no "
       "window in function CreateDDS."},
      {Fault::kSetDisplayMode, kMainWindow, 800, 600, 32, kFails},
      {std::nullopt, kMainWindow, 800, 600, 12,
       "Error -1002: Display mode 800x600x12 is not available: colour depth must be 16, 24 or 32 "
       "bits in function CreateDDS."},
      {std::nullopt, kMainWindow, 0, 600, 16,
       "Error -1002: Display mode 0x600x16 is not available: width and height must be 1 to 16384 "
       "pixels in function CreateDDS."},
      {Fault::kCreatePrimarySurface, kMainWindow, 800, 600, 32, kFails},
      {Fault::kGetAttachedSurface, kMainWindow, 800, 600, 32, kFails},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line ? c.line : std::to_string(c.bits) + " bits");
    Machine m;
    if (c.armed) m.system.faults().Arm(*c.armed, -2005532542, "the step failed");
    SetUpFullScreenDisplay(m.system, m.display, c.window, c.width, c.height, c.bits);
    m.ExpectFailed(c.line != nullptr);
    if (c.line == nullptr) {
      EXPECT_EQ(m.display.back_buffer->width(), c.width);
      EXPECT_EQ(m.display.back_buffer->height(), c.height);
      EXPECT_EQ(m.display.back_buffer->bits(), c.bits);
      EXPECT_EQ(m.system.window().LogText(), "");
      EXPECT_FALSE(std::filesystem::exists(m.folder.path() + "/Debug.txt"));
      continue;
    }
    const std::string logged =
        std::string("\r\n") + c.line + "\r\nError log: " + m.folder.path() + "/Debug.txt\r\n";
    EXPECT_EQ(m.system.window().LogText(), logged);
    EXPECT_EQ(m.folder.Read("Debug.txt"), std::string("09:41:0703-14-2026 - ") + c.line + "\r\n");
    // A second failure appends to both logs.
    m.system.SetNow(CalendarTime{2026, 12, 31, 23, 59, 5});
    SetUpFullScreenDisplay(m.system, m.display, c.window, c.width, c.height, c.bits);
    EXPECT_EQ(m.system.window().LogText(), logged + logged);
    EXPECT_EQ(m.folder.Read("Debug.txt"), std::string("09:41:0703-14-2026 - ") + c.line +
                                              "\r\n23:59:0512-31-2026 - " + c.line + "\r\n");
  }
}

TEST(CreateDDS, AnErrorLogThatCannotBeWrittenStillGivesTheDesktopBack) {
  Machine m;
  std::filesystem::create_directory(m.folder.path() + "/Debug.txt");
  SetUpFullScreenDisplay(m.system, m.display, kMainWindow, 800, 600, 12);
  EXPECT_EQ(m.system.window().LogText(),
            "\r\nError -1002: Display mode 800x600x12 is not available: colour depth must be 16, "
            "24 or 32 bits in function CreateDDS.\r\nThe error log could not be written: "
            "Path/File access error: " +
                m.folder.path() + "/Debug.txt (Is a directory)\r\n");
  m.ExpectFailed(true);
}

}  // namespace
}  // namespace kraylo
