// The command line: what each option sets, and a clear error for everything else.
#include "shell/options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "meeting/room_code.h"

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
  EXPECT_EQ(std::get<ReplayToShow>(ParseOptions({"--replay", "b.krp"}).mode).file, "b.krp");
  EXPECT_EQ(std::get<ReplayToCheck>(ParseOptions({"--check-replay", "c.krp"}).mode).file, "c.krp");
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
    ASSERT_TRUE(std::holds_alternative<ComputerGame>(options.mode)) << c.arguments.size();
    EXPECT_EQ(std::get<ComputerGame>(options.mode).level, c.level) << c.arguments.size();
  }
  EXPECT_TRUE(std::holds_alternative<LocalGame>(ParseOptions({}).mode));
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

TEST(Options, HostAndJoinStartANetworkGameWithTheirPortAndDelay) {
  const struct {
    Arguments arguments;
    bool host;
    const char* peer;
    uint16_t port;
    int delay;
  } cases[] = {
      {{"--host"}, true, "", 27910, 1},
      {{"--host", "4000"}, true, "", 4000, 1},
      {{"--host=65535", "--delay", "0"}, true, "", 65535, 0},
      {{"--host", "--delay=4"}, true, "", 27910, 4},
      {{"--join", "192.168.1.20"}, false, "192.168.1.20", 27910, 1},
      {{"--join"}, false, "", 27910, 1},
      {{"--join=example.org:1"}, false, "example.org", 1, 1},
      {{"--delay", "2", "--join", "127.0.0.1:27911"}, false, "127.0.0.1", 27911, 2},
  };
  for (const auto& c : cases) {
    const RunMode mode = ParseOptions(c.arguments).mode;
    ASSERT_TRUE(IsNetworkRun(mode)) << c.arguments[0];
    if (const auto* host = std::get_if<HostGame>(&mode)) {
      EXPECT_TRUE(c.host) << c.arguments[0];
      EXPECT_EQ(host->port, c.port) << c.arguments[0];
      EXPECT_EQ(host->input_delay, c.delay) << c.arguments[0];
    } else if (const auto* join = std::get_if<JoinGame>(&mode)) {
      EXPECT_FALSE(c.host) << c.arguments[0];
      EXPECT_EQ(join->host.name, c.peer) << c.arguments[0];
      EXPECT_EQ(join->host.port, c.port) << c.arguments[0];
      EXPECT_EQ(join->input_delay, c.delay) << c.arguments[0];
    } else {
      EXPECT_STREQ(c.peer, "") << c.arguments[0] << ": typed on the address screen";
      EXPECT_EQ(std::get<TypedJoin>(mode).input_delay, c.delay) << c.arguments[0];
    }
  }
  EXPECT_FALSE(IsNetworkRun(ParseOptions({}).mode)) << "a game at one keyboard";
  const Options recorded = ParseOptions({"--record", "game.krp", "--join", "a"});
  EXPECT_TRUE(IsNetworkRun(recorded.mode) && recorded.record == "game.krp")
      << "a network game is recorded";
  EXPECT_TRUE(ParseOptions({"--mute", "--host"}).mute);
  EXPECT_FALSE(std::get<HostGame>(ParseOptions({"--host", "--no-port-mapping"}).mode).port_mapping);
  EXPECT_TRUE(std::get<HostGame>(ParseOptions({"--host"}).mode).port_mapping);
  for (const char* option : {"--host [PORT]", "--join [CODE|HOST[:PORT]]", "--delay N",
                             "--no-port-mapping", "--hide-address", "--mute"}) {
    EXPECT_NE(UsageText().find(option), std::string::npos) << option;
  }
}

TEST(Options, ABadPortHostOrDelayIsAUsageErrorThatSaysWhatIsWrong) {
  const struct {
    Arguments arguments;
    const char* error;
  } cases[] = {
      {{"--host", "0"}, "the UDP port must be a whole number from 1 to 65535, not \"0\""},
      {{"--host=65536"}, "the UDP port must be a whole number from 1 to 65535, not \"65536\""},
      {{"--host=port"}, "the UDP port must be a whole number from 1 to 65535, not \"port\""},
      {{"--host="}, "the UDP port must be a whole number from 1 to 65535, not \"\""},
      {{"--host", "-1"}, "the UDP port must be a whole number from 1 to 65535, not \"-1\""},
      {{"--join", ""}, "--join needs the host's name or IPv4 address, not \"\""},
      {{"--join", ":27910"}, "--join needs the host's name or IPv4 address, not \":27910\""},
      {{"--join", "my host"}, "--join needs the host's name or IPv4 address, not \"my host\""},
      {{"--join", "host:"}, "the UDP port must be a whole number from 1 to 65535, not \"\""},
      {{"--join", "host:99999"},
       "the UDP port must be a whole number from 1 to 65535, not \"99999\""},
      {{"--join", "::1"}, "--join takes a name or an IPv4 address, not \"::1\""},
      {{"--host", "--join", "a"}, "--host and --join cannot go together"},
      {{"--delay", "1"}, "--delay is for a network game: give --host or --join as well"},
      {{"--no-port-mapping"}, "--no-port-mapping is for the host: give --host as well"},
      {{"--join", "a", "--no-port-mapping"},
       "--no-port-mapping is for the host: give --host as well"},
      {{"--host", "--delay", "5"}, "the input delay must be a whole number from 0 to 4, not \"5\""},
      {{"--host", "--delay", "1.5"},
       "the input delay must be a whole number from 0 to 4, not \"1.5\""},
      {{"--host", "--host"}, "--host is given more than once"},
      {{"--computer", "--host"},
       "--computer cannot go with --host or --join: the other player steers ball 2"},
      {{"--join", "a", "--computer", "hard"},
       "--computer cannot go with --host or --join: the other player steers ball 1"},
      {{"--replay", "a", "--host"},
       "--host or --join cannot go with --replay or --check-replay: a replay plays no game"},
      {{"--join", "a", "--check-replay", "b"},
       "--host or --join cannot go with --replay or --check-replay: a replay plays no game"},
      {{"--watch", "a", "--host"},
       "--watch cannot go with --host, --join, --computer, --replay or --check-replay: a "
       "spectator only looks on"},
      {{"--watch", "a", "--delay", "2"},
       "--delay is for a player: a spectator's keys steer nothing"},
      {{"--join", "ABCD-EFGU"},
       "--join: A code has no 'U': it uses the digits and the letters but U"},
      {{"--hide-address"},
       "--hide-address is for a network game by code: give --host, --join or --watch as well"},
      {{"--join", "example.org", "--hide-address"},
       "--hide-address cannot go with an address: a game by address shows each side's address; "
       "give the host's code"},
      {{"--watch=192.0.2.1", "--hide-address"},
       "--hide-address cannot go with an address: a game by address shows each side's address; "
       "give the host's code"},
      {{"--watch", "ABCD-EFGU"},
       "--watch: A code has no 'U': it uses the digits and the letters but U"},
  };
  for (const auto& c : cases) EXPECT_EQ(UsageErrorOf(c.arguments), c.error) << c.error;
  const Options watching = ParseOptions({"--watch", "friend:27999", "--record", "seen.krp"});
  const auto* watch = std::get_if<WatchGame>(&watching.mode);
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(watch->host.name, "friend");
  EXPECT_EQ(watch->host.port, 27999);
  EXPECT_TRUE(IsNetworkRun(watching.mode) && ShowsGameAtOnce(watching.mode));
}

TEST(Options, JoinTakesACodeInAnyCaseWithLookAlikesAndHideAddressGoesWithCodesOnly) {
  const Options by_code = ParseOptions({"--join", " abcd-efgi ", "--hide-address"});
  const auto* code_join = std::get_if<CodeJoin>(&by_code.mode);
  ASSERT_NE(code_join, nullptr);
  EXPECT_EQ(FormatRoomCode(code_join->code), "ABCD-EFG1");
  EXPECT_TRUE(code_join->hide_address);
  EXPECT_TRUE(IsNetworkRun(by_code.mode));
  // A name without a code's shape is a host, hyphen or not.
  EXPECT_TRUE(std::holds_alternative<JoinGame>(ParseOptions({"--join", "my-host"}).mode));
  EXPECT_TRUE(std::get<HostGame>(ParseOptions({"--host", "--hide-address"}).mode).hide_address);
  EXPECT_TRUE(std::get<TypedJoin>(ParseOptions({"--join", "--hide-address"}).mode).hide_address);
  const RunMode watch_code = ParseOptions({"--watch", "WXYZ-0123", "--hide-address"}).mode;
  EXPECT_EQ(FormatRoomCode(std::get<CodeWatch>(watch_code).code), "WXYZ-0123");
  EXPECT_TRUE(std::get<CodeWatch>(watch_code).hide_address && ShowsGameAtOnce(watch_code));
  const RunMode typed_watch = ParseOptions({"--watch"}).mode;
  EXPECT_TRUE(std::holds_alternative<TypedWatch>(typed_watch) && TypesItsHost(typed_watch));
}

}  // namespace
}  // namespace kraylo
