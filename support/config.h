// The configuration file: sections in square brackets and key lines, read afresh on each lookup.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kraylo {

// The program names its files by their place in the data folder: the configuration file ...
inline constexpr std::string_view kConfigFile = "\\dorvane\\config.cfg";
// ... and every other file under this prefix ("\dorvane\graph\balls.bmp").
inline constexpr std::string_view kDataFolderName = "\\dorvane";

// Where a file named by its place in the data folder is on this machine: the configuration in
// use for kConfigFile, the data folder found at start for the others (with '/'). Raises 5 for a
// name outside the data folder.
std::string ProgramPath(Files& files, std::string_view relative);

// The value text of `key` in `section` (possibly empty), or nullopt when no line holds it.
// Raises: file not found (53) naming the file, input past end (62) for an empty file, invalid
// argument (5) when the matching line is the key plus one character.
std::optional<std::string> ReadConfig(Files& files, std::string_view file, std::string_view section,
                                      std::string_view key);

// As ReadConfig, the value in upper case and without the blanks around it: for values read as a
// word in any case ("FALSE", "COMPUTER").
std::optional<std::string> ReadConfigWord(Files& files, std::string_view file,
                                          std::string_view section, std::string_view key);

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

// Raises the same error as a malformed line (5, invalid argument, naming the line and the file)
// for the line of `key` in `section` whose value the program cannot take; `wanted` says what it
// takes ("easy, normal or hard"). Raises as ReadConfig when the file cannot be read.
[[noreturn]] void RaiseBadValue(Files& files, std::string_view file, std::string_view section,
                                std::string_view key, std::string_view wanted);

}  // namespace kraylo
