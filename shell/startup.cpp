// The first activation of the main window: progress lines, the display size and the players'
// own keys from the configuration, the keyboard device and the pads, and the hand-over to the
// frame loop.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "display/sprites.h"
#include "game/seeded_random.h"
#include "net/protocol.h"
#include "shell/computer_match.h"
#include "shell/config_keys.h"
#include "shell/key_config.h"
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

// Pad mappings of the data folder, beside SDL's own and the user's.
constexpr std::string_view kPadMappingsFile = "\\dorvane\\gamecontrollerdb.txt";

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

// A value of [Main] in upper case without the blanks around it, or nullopt when it is missing.
std::optional<std::string> MainValue(Files& files, std::string_view key) {
  std::optional<std::string> value = ReadConfig(files, kConfigFile, kMainSection, key);
  if (!value) return std::nullopt;
  return Strip(UpperCase(*value));
}

bool ConfigHidesPointer(Files& files) { return MainValue(files, kCursorKey) == "FALSE"; }

// Whether [Main] asks for the computer as the opponent. Raises the configuration's bad-line error
// for a value other than computer or person.
bool ConfigWantsComputer(Files& files) {
  const std::optional<std::string> opponent = MainValue(files, kOpponentKey);
  if (!opponent || *opponent == kPersonOpponent) return false;
  if (*opponent == kComputerOpponent) return true;
  RaiseBadValue(files, kConfigFile, kMainSection, kOpponentKey, "computer or person");
}

// The computer's level [Main] names, or nullopt. Raises the bad-line error for another value.
std::optional<Level> ConfigLevel(Files& files) {
  const std::optional<std::string> name = MainValue(files, kLevelKey);
  if (!name) return std::nullopt;
  for (std::string_view level : kLevelNames) {
    if (UpperCase(level) == *name) return LevelNamed(level);
  }
  RaiseBadValue(files, kConfigFile, kMainSection, kLevelKey, kLevelChoices);
}

// [Net]'s reconnection limit (seconds). Raises the configuration's bad-line error for a value that
// is not a whole number of seconds in range.
int ConfigReconnectSeconds(Files& files) {
  const std::optional<std::string> value =
      ReadConfig(files, kConfigFile, kNetSection, kReconnectSecondsKey);
  if (!value) return kDefaultReconnectSeconds;
  const std::string text = Strip(*value);
  const bool digits =
      !text.empty() && text.size() <= 3 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int seconds = digits ? std::stoi(text) : 0;
  if (seconds < kFewestReconnectSeconds || seconds > kMostReconnectSeconds) {
    RaiseBadValue(files, kConfigFile, kNetSection, kReconnectSecondsKey,
                  "a whole number of seconds from " + std::to_string(kFewestReconnectSeconds) +
                      " to " + std::to_string(kMostReconnectSeconds));
  }
  return seconds;
}

// Whether [Net] lets the host ask the router to open its port. Raises the configuration's bad-line
// error for a value other than true or false.
bool ConfigAllowsPortMapping(Files& files) {
  const std::optional<std::string> value =
      ReadConfig(files, kConfigFile, kNetSection, kPortMappingKey);
  if (!value) return true;
  const std::string allowed = Strip(UpperCase(*value));
  if (allowed == "TRUE" || allowed == "FALSE") return allowed == "TRUE";
  RaiseBadValue(files, kConfigFile, kNetSection, kPortMappingKey, "true or false");
}

// The computer plays ball 2 when the command line or [Main] asks for it, at the level the
// command line names, else at the one [Main] names, else at normal. Both keys are read whatever
// the command line says, so that a bad value is never passed over in silence.
void ChooseOpponent(Program& program) {
  Files& files = program.system.files();
  const bool configured = ConfigWantsComputer(files);
  const std::optional<Level> level = ConfigLevel(files);
  // A replay plays no game of its own, and in a network game the other player has ball 2.
  if ((!program.options.computer && !configured) || program.play_at_once ||
      program.options.network) {
    return;
  }
  // A recorded game seeds the computer's slips and the rounds alike.
  const std::optional<uint64_t> seed =
      program.recorder ? std::optional(DrawSeed(program.system.random())) : std::nullopt;
  program.match =
      MakeComputerMatch(program.options.computer_level.value_or(level.value_or(Level::kNormal)),
                        seed, program.system.clock());
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
  ChooseOpponent(program);
  if (program.options.network) {
    program.options.network->reconnect_seconds = ConfigReconnectSeconds(files);
    if (!ConfigAllowsPortMapping(files)) program.options.network->port_mapping = false;
  }
  program.bindings = ReadKeyBindings(files, program.system.keyboard());
  const MuteKey mute = ReadMuteKey(files, program.system.keyboard(), program.bindings);
  program.sound.mute_key = mute.key;
  program.sound.volume = ReadVolume(files);
  program.sound.muted = program.options.mute;

  // So that the log is painted and early mouse moves are recorded before the keyboard opens.
  for (int pass = 0; pass < kStartUpYields; ++pass) window.Yield();

  // One hide only: the display teardown's one show request makes the pointer visible again.
  if (ConfigHidesPointer(files)) window.ShowCursor(false);

  AddLog(window, "Initializing DirectInput...");
  if (InitDirectInput(program.keyboard, program.system.keyboard(), window.Handle())) {
    SetUpPads(window, files, program.system.pads());
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
