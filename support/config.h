// The configuration file: sections in square brackets and key lines, read afresh on each lookup.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kraylo {

// The program's configuration file, relative to the program folder.
inline constexpr std::string_view kConfigFile = "\\dorvane\\config.cfg";

// Maps a backslash-relative path ("\dorvane\config.cfg") onto the program folder with '/'.
std::string ProgramPath(Files& files, std::string_view relative);

// The value text of `key` in `section` (possibly empty), or nullopt when no line holds it.
// Raises: file not found (53) naming the file, input past end (62) for an empty file, invalid
// argument (5) when the matching line is the key plus one character.
std::optional<std::string> ReadConfig(Files& files, std::string_view file, std::string_view section,
                                      std::string_view key);

// The line ReadConfig takes a value from, for messages about the value.
struct ConfigLine {
  std::string line;   // the whole line as written, without its line end
  std::string value;  // what ReadConfig returns
  std::string path;   // the file's path on this machine
};

// As ReadConfig, with the line the value comes from.
std::optional<ConfigLine> FindConfigLine(Files& files, std::string_view file,
                                         std::string_view section, std::string_view key);

// Raises invalid argument (5) about `line` of `section`: the line, the section and the file,
// then `what` is wrong with it.
[[noreturn]] void RaiseBadLine(const ConfigLine& line, std::string_view section,
                               std::string_view what);

}  // namespace kraylo
