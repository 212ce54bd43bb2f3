#include "display/full_screen.h"

#include <cstdio>
#include <new>
#include <string>
#include <string_view>

#include "support/log.h"

namespace kraylo {
namespace {

// "hh:mm:ss" followed directly by "mm-dd-yyyy", as the error log has always written it.
std::string TimeAndDate(const CalendarTime& now) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d%02d-%02d-%04d", now.hour, now.minute, now.second,
                now.month, now.day, now.year);
  return text;
}

}  // namespace

// Errors of the on-screen log and of the teardown pass to the caller.
void ReportDisplayFailure(System& system, DisplayState& display, const RunError& error,
                          std::string_view function) {
  const std::string message = "Error " + std::to_string(error.number()) + ": " +
                              error.description() + " in function " + std::string(function) + ".";
  Window& window = system.window();
  AddLog(window, "");
  AddLog(window, message);
  try {
    const std::string log =
        WriteDebugFile(system.files(), TimeAndDate(system.clock().Now()) + " - " + message);
    AddLog(window, "Error log: " + log);
  } catch (const RunError& file_error) {
    // The user must still get the desktop and the Exit button back; the log says what was lost.
    AddLog(window, "The error log could not be written: " + file_error.description());
  }
  TearDownDisplay(system, display);
  window.SetVisible(Control::kExit, true);
  window.SetVisible(Control::kLog, true);
}

void SetUpFullScreenDisplay(System& system, DisplayState& display, WindowHandle window,
                            int32_t width, int32_t height, int32_t bits) {
  try {
    // The System is the root object: there is nothing to create before the display object.
    display.device = system.display().Create();
    display.device->SetCooperativeLevel(window, DisplayDevice::kFullScreenExclusive);
    display.device->SetDisplayMode(width, height, bits);
    display.primary = display.device->CreatePrimarySurface();
    display.back_buffer = &display.primary->BackBuffer();
  } catch (const RunError& error) {
    ReportDisplayFailure(system, display, error, "CreateDDS");
  } catch (const std::bad_alloc&) {
    // A field too large for the machine's memory is a display that cannot be set up, and the
    // player gets the same report and Exit button as for any other.
    ReportDisplayFailure(system, display, RunError(kErrOutOfMemory, "Out of memory"), "CreateDDS");
  }
}

void TearDownDisplay(System& system, DisplayState& display) {
  // Without a display object (its creation failed) there is no mode to restore and no screen to
  // give back; the rest of the teardown still runs, so the pointer comes back in every case.
  if (display.device) {
    display.device->RestoreDisplayMode();
    display.device->SetCooperativeLevel(0, DisplayDevice::kNormal);
  }
  display.back_buffer = nullptr;
  display.primary.reset();
  display.device.reset();
  system.window().ShowCursor(true);
}

}  // namespace kraylo
