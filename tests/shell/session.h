// A whole program run on the headless machine: its own program folder with a copy of the data
// folder, actions scripted at chosen frames, and helpers to look at what the frames show.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/headless/headless_system.h"
#include "platform/keys.h"
#include "shell/program.h"
#include "tests/support/test_helpers.h"

namespace kraylo::testing {

namespace fs = std::filesystem;

// A configuration file's text: the display keys under [Screen], the cursor key under [Main].
inline std::string Config(const char* disp_x = "800", const char* disp_cols = "32",
                          const char* cursor = "FALSE") {
  return std::string("[Screen]\r\ndispX = ") + disp_x +
         "\r\ndispY = 600\r\ndispCols = " + disp_cols + "\r\n[Main]\r\ncursor = " + cursor + "\r\n";
}

// A fresh temporary program folder holding a copy of the data folder.
struct ProgramFolder : TempFolder {
  ProgramFolder() {
    fs::copy(fs::path(KRAYLO_SOURCE_DIR) / "dorvane", fs::path(path()) / "dorvane",
             fs::copy_options::recursive);
  }
};

inline void PressEscape(HeadlessSystem& machine) {  // as a window key
  machine.Push(InputEvent::KeyDown(kKeyEscape));
}

struct Session {
  // The program folder starts with Config()'s configuration.
  Session() : folder(program_folder.path()), machine(folder), program(machine) {
    WriteConfig(Config());
  }
  // A program whose executable lies in `executable_folder` of a machine in `place`; its files are
  // wherever that finds them.
  Session(const std::string& executable_folder, HeadlessPlace place)
      : folder(executable_folder), machine(folder, std::move(place)), program(machine) {}

  void WriteConfig(const std::string& content) {
    program_folder.Write("dorvane/config.cfg", content);
  }
  void RemoveFile(const std::string& relative) { fs::remove(fs::path(folder) / relative); }
  std::string ReadFile(const std::string& relative) const { return program_folder.Read(relative); }
  // Runs `action` at the yield of frame `frame` (1: the frame loop's first; 0 and below: the
  // start-up yields), before that yield's events; LastFrame() then shows frame - 1.
  void AtFrame(int frame, std::function<void()> action) {
    script.emplace(kStartUpYields + frame, std::move(action));
  }
  // From frame `frame` on, ends the run with the program's own keys: Esc as a window key on the
  // other screens, Esc held on the game screen (for long enough for a timer tick to see it).
  void EndFrom(int frame) {
    for (int f = frame; f < frame + 100; ++f) {
      AtFrame(f, [this] {
        if (program.screen.Shown != kGameScreen) return PressEscape(machine);
        machine.HeldKeys()[key_index::kEscape] = key_index::kHeld;
      });
    }
  }
  // Runs the program to its end and returns its exit status; fails the test when the frame
  // loop runs past 3000 frames or the desktop is not given back.
  int Run() {
    machine.OnYield([this](int yield) {
      if (yield == kStartUpYields + 1 && wait_for_sound) WaitForSoundOutput();
      auto [first, last] = script.equal_range(yield);
      for (auto it = first; it != last; ++it) it->second();
      if (yield - kStartUpYields > 3000 && program.game.Running) {
        ADD_FAILURE() << "the frame loop was still running after 3000 frames";
        program.game.Running = false;
      }
    });
    const int status = machine.Run(BindEvents(program));
    EXPECT_FALSE(machine.IsFullScreen()) << "the desktop is given back";
    EXPECT_EQ(machine.CursorCount(), 0) << "the pointer is shown again";
    return status;
  }

  // Waits (5 seconds at most) for the sound output's opening to end, so that the frame loop takes
  // it at once: the frames a test scripts hear what they do however busy the machine is.
  void WaitForSoundOutput() {
    for (int i = 0; i < 500 && program.sound.opening && !program.sound.opening->Ended(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  const ProgramFolder program_folder;
  const std::string folder;
  bool wait_for_sound = true;  // at the first frame, for the sound output to open or fail
  HeadlessSystem machine;
  Program program;
  std::multimap<int, std::function<void()>> script;  // actions by yield number
};

// Moves the pointer to (x, y), then presses and releases `button` there.
inline void Click(HeadlessSystem& machine, float x, float y, int16_t button = kMouseLeft) {
  machine.Push(InputEvent::MouseMove(x, y));
  machine.Push(InputEvent::MouseDown(button, x, y));
  machine.Push(InputEvent::MouseUp(button, x, y));
}

// The middle of the Exit button: left 314, top 305, 95 x 22 pixels.
inline void ClickExit(HeadlessSystem& machine) { Click(machine, 361, 316); }

// Pixels in `area` of the frame that are not black.
inline int LitPixels(const Surface& frame, const Rect& area) {
  int lit = 0;
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x) lit += frame.Pixel(x, y) != 0 ? 1 : 0;
  }
  return lit;
}

// Whether every non-black pixel of `cell` of `sheet` appears at (x, y) of the frame, as close
// as 16-bit frames keep them (5 or 6 bits a channel).
inline bool CellShownAt(const Surface& frame, const Bitmap& sheet, const Rect& cell, int32_t x,
                        int32_t y) {
  for (int32_t row = cell.top; row < cell.bottom; ++row) {
    for (int32_t col = cell.left; col < cell.right; ++col) {
      const uint32_t argb =
          sheet.pixels[static_cast<size_t>(row) * static_cast<size_t>(sheet.width) +
                       static_cast<size_t>(col)];
      // Packed red + 256 * green + 65536 * blue.
      const int32_t shown = frame.UnmapPixel(frame.Pixel(x + col - cell.left, y + row - cell.top));
      for (int shift : {0, 8, 16}) {
        const auto want = static_cast<int32_t>((argb >> (16 - shift)) & 0xFF);
        if ((argb & 0xFFFFFF) != 0 && std::abs(want - ((shown >> shift) & 0xFF)) > 8) return false;
      }
    }
  }
  return true;
}

inline Bitmap LoadSheet(const char* name) {  // a sprite sheet of the data folder
  return LoadBitmapFile(std::string(KRAYLO_SOURCE_DIR) + "/dorvane/graph/" + name);
}

// The lines of the on-screen log (split at CR LF).
inline std::vector<std::string> LogLines(Window& window) {
  std::vector<std::string> lines;
  std::istringstream text(window.LogText());
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace kraylo::testing
