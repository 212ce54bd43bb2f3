// The data folder beside the program, and the program's files in it by the names the program
// gives them: a path from the program folder, written with backslashes as the program always has.
// These names are the one home of the folder's name; the texts stay as players know them.
#pragma once

#include <string_view>

namespace kraylo {

inline constexpr std::string_view kDataFolder = "dorvane";

inline constexpr std::string_view kConfigFile = "\\dorvane\\config.cfg";
inline constexpr std::string_view kBallsSheet = "\\dorvane\\graph\\balls.bmp";
inline constexpr std::string_view kCursorSheet = "\\dorvane\\graph\\cursor.bmp";
inline constexpr std::string_view kButtonsSheet = "\\dorvane\\graph\\buttons.bmp";
inline constexpr std::string_view kPadMappingsFile = "\\dorvane\\gamecontrollerdb.txt";
// The sound effects' folder, a file's name to follow.
inline constexpr std::string_view kSoundFolder = "\\dorvane\\sound\\";

// Whether `name` names a file in the data folder: "\dorvane\" and more.
constexpr bool InDataFolder(std::string_view name) {
  return name.size() > kDataFolder.size() + 2 && name[0] == '\\' &&
         name.substr(1, kDataFolder.size()) == kDataFolder && name[kDataFolder.size() + 1] == '\\';
}
static_assert(InDataFolder(kConfigFile) && InDataFolder(kBallsSheet) &&
              InDataFolder(kCursorSheet) && InDataFolder(kButtonsSheet) &&
              InDataFolder(kPadMappingsFile) && InDataFolder(kSoundFolder));

}  // namespace kraylo
