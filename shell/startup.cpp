// The first activation of the main window: progress lines, the display size and the players'
// own keys from the configuration, the keyboard device and the pads, and the hand-over to the
// frame loop.
#include <optional>
#include <string>
#include <vector>

#include "display/sprites.h"
#include "online/net_settings.h"
#include "platform/data_files.h"
#include "shell/config_keys.h"
#include "shell/key_config.h"
#include "shell/matches/make_match.h"
#include "shell/program.h"
#include "support/config.h"
#include "support/log.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

std::optional<std::string> ReadScreenKey(Files& files, std::string_view key) {
  return ReadConfig(files, kConfigFile, kScreenSection, key);
}

// "Working Fullscreen 800x600x32": the stripped texts as written, a missing key as empty text.
std::string ModeLine(Files& files) {
  std::string line = "Working Fullscreen ";
  const char* separator = "";
  for (std::string_view key : kDisplayKeys) {
    line += separator;
    line += Strip(ReadScreenKey(files, key).value_or(""));
    separator = "x";
  }
  return line;
}

// Adds the data folder's pad mappings and logs which pads steer which ball: "Pad 1: NAME" per
// player, a pad beyond the two as spare.
void SetUpPads(Window& window, Files& files, Pads& pads) {
  const std::string mappings = ProgramPath(files, kPadMappingsFile);
  if (const int added = pads.AddMappings(mappings); added > 0) {
    AddLog(window, "Pad mappings: " + std::to_string(added) + " from " + mappings);
  }
  if (!pads.Unavailable().empty()) {
    AddLog(window, "No pads: " + pads.Unavailable());
    return;
  }
  const std::vector<PadInfo> connected = pads.Connected();
  if (connected.empty()) AddLog(window, "No pads found");
  for (const PadInfo& pad : connected) {
    AddLog(window, pad.player != 0 ? "Pad " + std::to_string(pad.player) + ": " + pad.name
                                   : "Spare pad (both balls have one): " + pad.name);
  }
}

// A line for the start-up log per key of the sections this program added that is none of their
// own: a mistyped key would otherwise change nothing in silence.
std::vector<std::string> UnknownKeyLines(Files& files, const NetSettings& net) {
  std::vector<std::string> lines;
  const auto name = [&lines](std::string_view section, const std::vector<std::string>& keys) {
    for (const std::string& key : keys) {
      lines.push_back("Unknown key skipped in [" + std::string(section) + "]: " + key);
    }
  };
  name(kKeysSection, ReadKeysSection(files).unknown);
  name(kSoundSection, ReadSettings(files, kConfigFile, kSoundSection, kSoundSectionKeys).unknown);
  name(kNetSection, net.unknown_keys);
  return lines;
}

bool ConfigHidesPointer(Files& files) {
  return ReadConfigWord(files, kConfigFile, kMainSection, kCursorKey) == "FALSE";
}

}  // namespace

void StartUp(Program& program) {
  Window& window = program.system.window();
  Files& files = program.system.files();
  AddLog(window, "Initializing...");
  AddLog(window, "Initializing DirectX...");
  AddLog(window, "");
  program.game.Running = true;
  AddLog(window, ModeLine(files));

  program.game.ScreenWidth = ToInt32(ReadNumber(ReadScreenKey(files, kDisplayKeys[0])));
  program.game.ScreenHeight = ToInt32(ReadNumber(ReadScreenKey(files, kDisplayKeys[1])));
  if (program.field) {
    // A replay is shown on the field it was played on.
    program.game.ScreenWidth = program.field->width;
    program.game.ScreenHeight = program.field->height;
  }
  program.screen.MenuX = ToInt16(program.game.ScreenWidth / 2.0 - kButtonWidth / 2.0);
  program.options.mode = ResolveRunMode(program.options.mode, files);
  if (IsNetworkRun(program.options.mode)) program.net_settings = ReadNetSettings(files);
  program.match = MakeMatch(program);
  if (TypesItsHost(program.options.mode)) StartAddressEntry(program);
  program.bindings = ReadKeyBindings(files, program.system.keyboard());
  const MuteKey mute = ReadMuteKey(files, program.system.keyboard(), program.bindings);
  program.sound.mute_key = mute.key;
  program.sound.volume = ReadVolume(files);
  const std::vector<std::string> unknown_keys = UnknownKeyLines(files, program.net_settings);
  program.sound.muted = program.options.mute;

  // So that the log is painted and early mouse moves are recorded before the keyboard opens.
  for (int pass = 0; pass < kStartUpYields; ++pass) window.Yield();

  // One hide only: the display teardown's one show request makes the pointer visible again.
  if (ConfigHidesPointer(files)) window.ShowCursor(false);

  AddLog(window, "Initializing DirectInput...");
  if (InitDirectInput(program.keyboard, program.system.keyboard(), window.Handle())) {
    SetUpPads(window, files, program.system.pads());
    for (const std::string& line : unknown_keys) AddLog(window, line);
    if (!mute.note.empty()) AddLog(window, mute.note);
    StartSound(program);
    window.SetVisible(Control::kExit, false);
    window.SetVisible(Control::kLog, false);
    Working(program);
    return;
  }
  // The window stays on the desktop with its log and the Exit button.
  AddLog(window, "DirectInput initializing failed!");
}

}  // namespace kraylo
