// Lookups in the configuration file: the results table, sections, line ends and failures.
#include "support/config.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "platform/devices/disk_files.h"
#include "tests/support/memory_files.h"
#include "tests/support/test_helpers.h"

namespace kraylo {
namespace {

// Looks `key` up in `section` of a configuration file of `lines`, '|' standing for the line end:
// the result with CR LF, after checking that lone CR and lone LF give the same.
std::optional<std::string> Lookup(const std::string& lines, std::string_view section,
                                  std::string_view key) {
  std::vector<std::optional<std::string>> results;
  for (const char* line_end : {"\r\n", "\r", "\n"}) {
    std::string content;
    for (char c : lines) content += c == '|' ? std::string(line_end) : std::string(1, c);
    MemoryFiles files;
    files.Put("/dorvane/config.cfg", content);
    results.push_back(ReadConfig(files, kConfigFile, section, key));
  }
  EXPECT_EQ(results, std::vector(3, results[0])) << "in " << testing::PrintToString(lines);
  return results[0];
}

using KeyLine = std::pair<const char*, std::optional<std::string>>;

TEST(ReadConfigTest, ValueStartsTwoCharactersAfterTheKeyOfTheFirstCandidateLine) {
  // The line under test comes first in section Screen; the next is found only when it is skipped.
  for (const auto& [line, expected] :
       {KeyLine{"dispX = 800", " 800"}, KeyLine{"dispX =800", "800"}, KeyLine{"dispX=800", "00"},
        KeyLine{"dispX = ", " "}, KeyLine{"dispX =", ""}, KeyLine{"dispX", " 7"},
        KeyLine{"DispX = 800", " 7"}, KeyLine{"dispXY = 1", "= 1"}, KeyLine{" dispX = 8", " 7"},
        KeyLine{"dispX = 8  \t", " 8  \t"}, KeyLine{"", " 7"}}) {
    EXPECT_EQ(Lookup(std::string("[Screen]|") + line + "|dispX = 7", "Screen", "dispX"), expected)
        << line;
  }
}

// The lines of a file, the section and key looked up, and the result.
using Search = std::tuple<const char*, const char*, const char*, std::optional<std::string>>;

TEST(ReadConfigTest, FindsTheFirstMatchInFileOrderWithinExactSections) {
  for (const auto& [lines, section, key, expected] :
       {Search{"[screen]|dispX = 800", "Screen", "dispX", std::nullopt},
        Search{"[ Screen]|dispX = 800", " Screen", "dispX", " 800"},
        // A header with an outer blank is a key line of the section before it.
        Search{"[Main]| [Screen]|dispX = 800", "Main", "dispX", " 800"},
        Search{"[Main]| [Screen]|dispX = 800", "Screen", "dispX", std::nullopt},
        Search{"[Main]|[Screen] |dispX = 800", "Main", "dispX", " 800"},
        Search{"dispX = 800|[Screen]|dispY = 600", "", "dispX", " 800"},
        Search{"dispX = 800|[Screen]|dispY = 600", "Screen", "dispX", std::nullopt},
        Search{"[Screen]|[]|dispX = 800", "", "dispX", " 800"},
        Search{"[Screen]", "", "[Scr", std::nullopt}, Search{"[Screen", "", "[Scr", "n"},
        Search{"[Screen]|dispX = 1|dispX = 2", "Screen", "dispX", " 1"},
        Search{"[Screen]|dispX = 1|dispX=", "Screen", "dispX", " 1"},
        Search{"[Main]|dispX=|[Screen]|dispX = 2", "Screen", "dispX", " 2"},
        Search{"[Main]|cursorSize = 5|cursor = FALSE", "Main", "cursor", "ze = 5"},
        Search{"[Screen]|dispY = 6|[Main]|dispX = 1|[Screen]|dispX = 8", "Screen", "dispX", " 8"},
        // The last line is read with or without a line end.
        Search{"[Main]|cursor = FALSE", "Main", "cursor", " FALSE"},
        Search{"[Main]|cursor = FALSE|", "Main", "cursor", " FALSE"},
        // A byte-order mark is skipped at the start of the file only (\x64 is the d of dispX).
        Search{"\xEF\xBB\xBF[Screen]|dispX = 800", "Screen", "dispX", " 800"},
        Search{"\xEF\xBB\xBF\x64ispX = 8", "", "dispX", " 8"},
        Search{"[Screen]|\xEF\xBB\xBF\x64ispX = 8", "Screen", "dispX", std::nullopt},
        Search{"|", "Screen", "dispX", std::nullopt},
        // Line ends of every kind mix, and LF CR is two of them.
        Search{"[Screen]\r\ndispX = 8\n\r\rdispY = 6\r", "Screen", "dispY", " 6"}}) {
    EXPECT_EQ(Lookup(lines, section, key), expected) << lines << " [" << section << "] " << key;
  }
}

TEST(ReadConfigTest, EmptyFileAndCutKeyLineRaiseNamingTheFile) {
  const auto empty = CaughtError([] { Lookup("", "Screen", "dispX"); });
  EXPECT_EQ(empty.value().number(), kErrInputPastEnd);
  EXPECT_EQ(empty->description(), "Input past end of file: /game/dorvane/config.cfg");
  const auto cut = CaughtError([] { Lookup("[Screen]|dispX=|dispX = 7", "Screen", "dispX"); });
  EXPECT_EQ(cut.value().number(), kErrInvalidArgument);
  EXPECT_EQ(cut->description().rfind("Invalid procedure call or argument", 0), 0u);
  EXPECT_NE(cut->description().find("\"dispX=\" in section [Screen] of /game/dorvane/config.cfg"),
            std::string::npos)
      << cut->description();
}

TEST(RaiseBadValueTest, NamesTheLineAsWrittenLikeACutLineAndTheKeyWhenTheLineIsGone) {
  // The line as the file has it, whatever its separator; the key alone when no line holds it.
  for (const auto& [lines, named] :
       {std::pair{"[Main]|level:=medium|level = easy", "the line \"level:=medium\""},
        std::pair{"[Screen]|level = medium", "the line \"level\""}}) {
    MemoryFiles files;
    std::string content = lines;
    std::replace(content.begin(), content.end(), '|', '\n');
    files.Put("/dorvane/config.cfg", content);
    const auto error = CaughtError(
        [&] { RaiseBadValue(files, kConfigFile, "Main", "level", "easy, normal or hard"); });
    EXPECT_EQ(error.value().number(), kErrInvalidArgument);
    EXPECT_EQ(error->description(), "Invalid procedure call or argument: " + std::string(named) +
                                        " in section [Main] of /game/dorvane/config.cfg has a "
                                        "value other than easy, normal or hard");
  }
  MemoryFiles empty;
  empty.Put("/dorvane/config.cfg", "");
  EXPECT_EQ(ErrorNumberOf([&] { RaiseBadValue(empty, kConfigFile, "Main", "level", "x"); }),
            kErrInputPastEnd);
}

TEST(ReadSettingsTest, ReadsKeyEqualsValueWithOrWithoutBlanksAndRefusesLinesLikeAKey) {
  constexpr std::array<std::string_view, 2> kKeys = {"mute", "volume"};
  const struct {
    const char* line;                 // the line under test, first in [Added]
    std::optional<std::string> mute;  // its value, none when the line sets nothing
    std::vector<std::string> unknown;
    const char* error;  // what the malformed-line error says after naming the file, or ""
  } cases[] = {
      {"mute = N", " N", {}, ""},
      {"mute=N", "N", {}, ""},
      {"  mute\t=  N ", "  N ", {}, ""},
      {"mute =", "", {}, ""},
      {"", std::nullopt, {}, ""},
      {"colour = red", std::nullopt, {"colour"}, ""},
      {"mut = N", std::nullopt, {"mut"}, ""},
      {"= N", std::nullopt, {"= N"}, ""},
      {"muteKey = N",
       std::nullopt,
       {},
       "sets no key of the section: \"muteKey\" is not mute (a line is mute = value)"},
      {"volume:50",
       std::nullopt,
       {},
       "sets no key of the section: \"volume:50\" is not volume (a line is volume = value)"},
      {"mute N", std::nullopt, {}, "has no \"=\" after its key mute"},
      {"mute", std::nullopt, {}, "has no \"=\" after its key mute"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    MemoryFiles files;
    files.Put("/dorvane/config.cfg",
              std::string("[Main]\nmuteKey = 1\n[Added]\n") + c.line + "\nvolume = 5\n[Other]\nx");
    std::optional<SettingLines> read;
    const std::optional<RunError> error =
        CaughtError([&] { read = ReadSettings(files, kConfigFile, "Added", kKeys); });
    if (*c.error != '\0') {
      ASSERT_TRUE(error.has_value());
      EXPECT_EQ(error->description(),
                "Invalid procedure call or argument: the line \"" + std::string(c.line) +
                    "\" in section [Added] of /game/dorvane/config.cfg " + c.error);
      continue;
    }
    ASSERT_FALSE(error.has_value()) << error->description();
    const std::optional<ConfigLine> mute = read->Find("mute");
    EXPECT_EQ(mute ? std::optional(mute->value) : std::nullopt, c.mute);
    EXPECT_EQ(read->unknown, c.unknown);
    EXPECT_EQ(read->Find("volume").value().value, " 5");
  }
}

TEST(ReadConfigTest, MissingOrUnopenableFileOnDiskIsFileNotFoundNamingIt) {
  TempFolder folder;
  Faults faults;
  DiskFiles files(LocationsInFolder(folder.path()), faults);
  const std::string path = folder.path() + "/dorvane/config.cfg";
  std::filesystem::create_directory(folder.path() + "/dorvane");
  std::vector<std::string> in_place_of_the_file{"nothing", "a folder"};
#ifndef _WIN32
  // A pipe must fail at once instead of waiting for a writer (Windows has no named pipes on disk).
  in_place_of_the_file.push_back("a named pipe");
#endif
  for (const std::string& in_its_place : in_place_of_the_file) {
    if (in_its_place == "a folder") std::filesystem::create_directory(path);
#ifndef _WIN32
    ASSERT_TRUE(in_its_place != "a named pipe" || ::mkfifo(path.c_str(), 0600) == 0);
#endif
    const auto error = CaughtError([&] { ReadConfig(files, kConfigFile, "Screen", "dispX"); });
    EXPECT_EQ(error.value().number(), kErrFileNotFound) << in_its_place;
    EXPECT_EQ(error->description().rfind("File not found: " + path, 0), 0u) << error->description();
    std::filesystem::remove(path);
  }
  folder.Write("dorvane/config.cfg", "[Screen]\r\ndispX = 800\r\n");
  EXPECT_EQ(ReadConfig(files, kConfigFile, "Screen", "dispX"), " 800");
  // Each lookup reads the file afresh.
  folder.Write("dorvane/config.cfg", "[Screen]\r\ndispX = 1024\r\n");
  EXPECT_EQ(ReadConfig(files, kConfigFile, "Screen", "dispX"), " 1024");
}

}  // namespace
}  // namespace kraylo
