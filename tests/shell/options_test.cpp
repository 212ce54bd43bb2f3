// The command line: what each option sets, and a clear error for everything else.
#include "shell/options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kraylo {
namespace {

using Arguments = std::vector<std::string>;

std::string UsageErrorOf(const Arguments& arguments) {
  try {
    ParseOptions(arguments);
  } catch (const UsageError& error) {
    return error.what();
  }
  return "";
}

TEST(Options, NoneMeansALocalGameAndHelpAndVersionAreFlags) {
  const Options none = ParseOptions({});
  EXPECT_FALSE(none.help || none.version);
  EXPECT_TRUE(ParseOptions({"--help"}).help);
  EXPECT_TRUE(ParseOptions({"--version"}).version);
  EXPECT_NE(UsageText().find("--help"), std::string::npos);
  EXPECT_NE(UsageText().find("--version"), std::string::npos);
  EXPECT_STREQ(VersionText(), KRAYLO_TEST_VERSION);
}

TEST(Options, RecordReplayAndCheckReplayNameTheirFiles) {
  EXPECT_EQ(ParseOptions({"--record", "a.krp"}).record, "a.krp");
  EXPECT_EQ(ParseOptions({"--record=--odd name"}).record, "--odd name");
  EXPECT_EQ(ParseOptions({"--replay", "b.krp"}).replay, "b.krp");
  EXPECT_EQ(ParseOptions({"--check-replay", "c.krp"}).check_replay, "c.krp");
  EXPECT_NE(UsageText().find("--check-replay FILE"), std::string::npos);
}

TEST(Options, ComputerTakesAnOptionalLevel) {
  const struct {
    Arguments arguments;
    std::optional<Level> level;
  } cases[] = {
      {{"--computer"}, std::nullopt},
      {{"--computer", "easy"}, Level::kEasy},
      {{"--computer", "normal"}, Level::kNormal},
      {{"--computer", "hard"}, Level::kHard},
      {{"--computer=hard"}, Level::kHard},
      {{"--computer", "--version"}, std::nullopt},
  };
  for (const auto& c : cases) {
    const Options options = ParseOptions(c.arguments);
    EXPECT_TRUE(options.computer) << c.arguments.size();
    EXPECT_EQ(options.computer_level, c.level) << c.arguments.size();
  }
  EXPECT_FALSE(ParseOptions({}).computer);
  EXPECT_NE(UsageText().find("--computer [LEVEL]"), std::string::npos);
  EXPECT_NE(UsageText().find("easy, normal or hard"), std::string::npos);
}

TEST(Options, EverythingElseIsAUsageErrorThatSaysWhatIsWrong) {
  const struct {
    Arguments arguments;
    const char* error;
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"-h"}, "unexpected argument \"-h\""},
      {{"play"}, "unexpected argument \"play\""},
      {{"--help=yes"}, "--help takes no value"},
      {{"--help", "--help"}, "--help is given more than once"},
      {{"--"}, "unknown option --"},
      {{"--record"}, "--record needs a value (FILE)"},
      {{"--record", "--help"}, "--record needs a value (FILE)"},
      {{"--replay="}, "--replay needs a file name"},
      {{"--replay", "a", "--check-replay", "b"}, "--replay and --check-replay cannot go together"},
      {{"--record", "a", "--replay", "b"},
       "--record cannot go with --replay or --check-replay: a replay plays no game"},
      {{"--check-replay", "b", "--record", "a"},
       "--record cannot go with --replay or --check-replay: a replay plays no game"},
      {{"--computer", "--replay", "a"},
       "--computer cannot go with --replay or --check-replay: a replay plays no game"},
      {{"--computer", "medium"}, "--computer takes easy, normal or hard, not \"medium\""},
      {{"--computer", "HARD"}, "--computer takes easy, normal or hard, not \"HARD\""},
      {{"--computer", " hard"}, "--computer takes easy, normal or hard, not \" hard\""},
      {{"--computer="}, "--computer takes easy, normal or hard, not \"\""},
      {{"--computer", ""}, "--computer takes easy, normal or hard, not \"\""},
      {{"--computer", "hard", "easy"}, "unexpected argument \"easy\""},
      {{"--computer", "--computer"}, "--computer is given more than once"},
      {{"hard", "--computer"}, "unexpected argument \"hard\""},
  };
  for (const auto& c : cases) EXPECT_EQ(UsageErrorOf(c.arguments), c.error) << c.error;
}

}  // namespace
}  // namespace kraylo
