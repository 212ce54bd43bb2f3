// The configuration file: sections in square brackets and key lines, read afresh on each lookup.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data_files.h"
#include "platform/platform.h"

namespace kraylo {

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

// The lines of a section this program added beyond the original keys ([Keys], [Sound], [Net]),
// read by stricter rules than ReadConfig's: a line is `key = value`, the blanks around the '='
// optional, and its key is one of the section's, whole.
struct SettingLines {
  struct Setting {
    std::string key;
    ConfigLine line;  // the value is all after the '='
  };
  std::vector<Setting> settings;     // in the file's order
  std::vector<std::string> unknown;  // the keys that are none of the section's, in the file's order

  // The first line setting `key`, or none.
  std::optional<ConfigLine> Find(std::string_view key) const;
};

// Reads `section` of `file` by SettingLines' rules; blank lines are skipped. Raises as ReadConfig
// when the file cannot be read, and the malformed-line error for a line that starts like one of
// `keys` but does not set it ("muteKey = N", "volume:50", "volume 50").
SettingLines ReadSettings(Files& files, std::string_view file, std::string_view section,
                          std::span<const std::string_view> keys);

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
