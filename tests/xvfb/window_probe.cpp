// A small program on the SDL system for the real-window tests: it shows the main window with its
// log and Exit button and reports on stdout what reaches its handlers.
#include <cstdio>
#include <string>

#include "input/keyboard.h"
#include "platform/events.h"
#include "platform/sdl/sdl_system.h"

namespace {

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// The held keys of a key table as key indexs, each after a space; " -" when none.
std::string HeldKeys(const kraylo::KeyTable& table) {
  std::string held;
  for (size_t code = 0; code < table.size(); ++code) {
    if (table[code] != 0) held += " " + std::to_string(code);
  }
  return held.empty() ? " -" : held;
}

}  // namespace

int main() {
  std::unique_ptr<kraylo::System> system;
  try {
    system = kraylo::CreateSdlSystem();
  } catch (const kraylo::RunError& error) {
    std::fprintf(stderr, "window_probe: %s\n", error.description().c_str());
    return 2;
  }
  kraylo::Window& window = system->window();
  kraylo::KeyboardDevice keyboard;
  std::string last_held;
  kraylo::WindowEvents events;
  events.activate = [&] {
    window.SetLogText("Window probe\r\nline two of the log\r\n");
    const bool opened = kraylo::InitDirectInput(keyboard, system->keyboard(), window.Handle());
    Say(std::string("keyboard ") + (opened ? "opened" : "failed"));
    window.StartTimer();
    Say("ready");
  };
  // The key table at every tick, printed when it changes.
  events.timer_tick = [&] {
    kraylo::GetDeviceStateKeyboard(keyboard, system->keyboard());
    const std::string held = HeldKeys(keyboard.KeyState);
    if (held != last_held) Say("held" + held);
    last_held = held;
  };
  events.key_down = [&](int16_t code, int16_t, bool) { Say("key " + std::to_string(code)); };
  events.exit_click = [&] {
    Say("exit click");
    window.EndProgram();
  };
  const int status = system->Run(events);
  Say("status " + std::to_string(status));
  return status;
}
