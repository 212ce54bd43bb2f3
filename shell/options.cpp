#include "shell/options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "meeting/room_code.h"
#include "net/protocol.h"
#include "net/session.h"
#include "online/host_address.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// The command line as its options set it, before it is read as one kind of run.
struct CommandLine {
  Options options;  // help, version, record and mute, as they are
  std::string replay;
  std::string check_replay;
  bool computer = false;
  std::optional<Level> computer_level;
  bool host = false;
  bool join = false;
  bool watch = false;
  std::optional<HostAddress> watched;    // --watch's host and port
  HostAddress address;                   // --host's port; --join's host and port
  std::optional<RoomCode> code;          // --join's or --watch's code
  bool typed = true;                     // --join or --watch without an address or code
  int input_delay = kDefaultInputDelay;  // ticks
  bool port_mapping = true;
  bool hide_address = false;
};

enum class Value { kNone, kRequired, kOptional };

struct OptionRow {
  std::string_view name;  // without the leading "--"
  Value value;
  std::string_view value_name;  // in the usage text
  std::string help;
  // Stores the option; raises UsageError for a bad value. `value` is absent when none was given.
  void (*apply)(CommandLine& line, const std::optional<std::string>& value);
};

// "--name". Built piece by piece: GCC 12 mistakes "literal" + std::string&& for an overlapping
// copy.
std::string Dashed(std::string_view name) {
  std::string text = "--";
  text += name;
  return text;
}

// Stores a file name; a file must be named.
void SetFile(std::string& file, const std::string& option,
             const std::optional<std::string>& value) {
  if (value->empty()) throw UsageError(Dashed(option) + " needs a file name");
  file = *value;
}

// An address or a port, read where the address screen reads them too.
template <typename Read>
auto Address(Read read) {
  try {
    return read();
  } catch (const AddressError& error) {
    throw UsageError(error.what());
  }
}

// --host [PORT]
void ApplyHost(CommandLine& line, const std::optional<std::string>& value) {
  line.host = true;
  if (value) line.address.port = Address([&] { return ParsePort(*value); });
}

// A host's code or address as `option` was given it: the code, else the address.
void ReadHost(CommandLine& line, const std::string& value, const std::string& option,
              HostAddress& address) {
  line.typed = false;
  if (!LooksLikeRoomCode(Strip(value))) {
    address = Address([&] { return ParseHostAddress(value, option); });
    return;
  }
  const auto code = ParseRoomCode(value);
  if (const auto* error = std::get_if<RoomCodeError>(&code)) {
    throw UsageError(option + ": " + error->message);
  }
  line.code = std::get<RoomCode>(code);
}

// --join [CODE|HOST[:PORT]]: without one, the player types it on the address screen.
void ApplyJoin(CommandLine& line, const std::optional<std::string>& value) {
  line.join = true;
  if (value) ReadHost(line, *value, "--join", line.address);
}

// --watch [CODE|HOST[:PORT]]: the same, for a spectator.
void ApplyWatch(CommandLine& line, const std::optional<std::string>& value) {
  line.watch = true;
  if (!value) return;
  HostAddress address;
  ReadHost(line, *value, "--watch", address);
  if (!line.code) line.watched = address;
}

// --delay N
void ApplyDelay(CommandLine& line, const std::optional<std::string>& value) {
  const std::optional<int> delay = WholeNumberIn(*value, 0, kMostInputDelay);
  if (!delay) {
    throw UsageError("the input delay must be a whole number from 0 to " +
                     std::to_string(kMostInputDelay) + ", not \"" + *value + "\"");
  }
  line.input_delay = *delay;
}

const std::array kOptions{
    OptionRow{
        "help", Value::kNone, "", "print this text and end",
        [](CommandLine& line, const std::optional<std::string>&) { line.options.help = true; }},
    OptionRow{
        "version", Value::kNone, "", "print the version and end",
        [](CommandLine& line, const std::optional<std::string>&) { line.options.version = true; }},
    OptionRow{"record", Value::kRequired, "FILE", "record every game of this run into FILE",
              [](CommandLine& line, const std::optional<std::string>& value) {
                SetFile(line.options.record, "record", value);
              }},
    OptionRow{"replay", Value::kRequired, "FILE", "show the games recorded in FILE",
              [](CommandLine& line, const std::optional<std::string>& value) {
                SetFile(line.replay, "replay", value);
              }},
    OptionRow{"check-replay", Value::kRequired, "FILE",
              "play FILE again without a window and check its checksums",
              [](CommandLine& line, const std::optional<std::string>& value) {
                SetFile(line.check_replay, "check-replay", value);
              }},
    OptionRow{"computer", Value::kOptional, "LEVEL",
              "ball 2 is played by the computer: easy, normal or hard",
              [](CommandLine& line, const std::optional<std::string>& value) {
                line.computer = true;
                if (!value) return;
                line.computer_level = LevelNamed(*value);
                if (!line.computer_level) {
                  throw UsageError("--computer takes " + std::string(kLevelChoices) + ", not \"" +
                                   *value + "\"");
                }
              }},
    OptionRow{
        "host", Value::kOptional, "PORT",
        "wait on UDP PORT (" + std::to_string(kDefaultPort) + ") for the other player; ball 1",
        ApplyHost},
    OptionRow{"join", Value::kOptional, "CODE|HOST[:PORT]",
              "play the host of CODE (ABCD-EFGH) or waiting at HOST (name or IPv4; typed in "
              "when left out); ball 2",
              ApplyJoin},
    OptionRow{"watch", Value::kOptional, "CODE|HOST[:PORT]",
              "watch the game of CODE or played at HOST (name or IPv4; typed in when left out) "
              "as it goes on",
              ApplyWatch},
    OptionRow{"delay", Value::kRequired, "N",
              "network game's input delay in ticks, 0 to " + std::to_string(kMostInputDelay) +
                  " (" + std::to_string(kDefaultInputDelay) + ")",
              ApplyDelay},
    OptionRow{
        "no-port-mapping", Value::kNone, "",
        "the host does not ask the router (UPnP, NAT-PMP) to open its port",
        [](CommandLine& line, const std::optional<std::string>&) { line.port_mapping = false; }},
    OptionRow{
        "hide-address", Value::kNone, "",
        "a game by code goes through the meeting service: the other player never learns "
        "this machine's address",
        [](CommandLine& line, const std::optional<std::string>&) { line.hide_address = true; }},
    OptionRow{
        "mute", Value::kNone, "", "start with the sound off (the mute key, M, turns it on)",
        [](CommandLine& line, const std::optional<std::string>&) { line.options.mute = true; }},
};

// Options that ask for two different runs. `given` tells whether an option was on the line.
template <typename Given>
void RefuseCombinations(const CommandLine& line, const Given& given) {
  const bool replays = given("replay") || given("check-replay");
  const bool online = given("host") || given("join");
  if (given("replay") && given("check-replay")) {
    throw UsageError("--replay and --check-replay cannot go together");
  }
  if (given("host") && given("join")) throw UsageError("--host and --join cannot go together");
  if (given("watch") && (online || line.computer || replays)) {
    throw UsageError(
        "--watch cannot go with --host, --join, --computer, --replay or --check-replay: "
        "a spectator only looks on");
  }
  if ((given("record") || line.computer || online) && replays) {
    const char* option = line.computer ? "--computer" : online ? "--host or --join" : "--record";
    throw UsageError(std::string(option) +
                     " cannot go with --replay or --check-replay: a replay plays no game");
  }
  if (line.computer && online) {
    throw UsageError("--computer cannot go with --host or --join: the other player steers ball " +
                     std::string(given("host") ? "2" : "1"));
  }
  if (given("delay") && given("watch")) {
    throw UsageError("--delay is for a player: a spectator's keys steer nothing");
  }
  if (given("delay") && !online) {
    throw UsageError("--delay is for a network game: give --host or --join as well");
  }
  if (given("no-port-mapping") && !given("host")) {
    throw UsageError("--no-port-mapping is for the host: give --host as well");
  }
  if (given("hide-address") && !online && !given("watch")) {
    throw UsageError(
        "--hide-address is for a network game by code: give --host, --join or --watch as well");
  }
  if (given("hide-address") && !given("host") && !line.typed && !line.code) {
    throw UsageError(
        "--hide-address cannot go with an address: a game by address shows each side's address; "
        "give the host's code");
  }
}

// The one kind of run the options, found to go together, ask for.
RunMode ModeOf(const CommandLine& line) {
  if (!line.replay.empty()) return ReplayToShow{line.replay};
  if (!line.check_replay.empty()) return ReplayToCheck{line.check_replay};
  if (line.computer) return ComputerGame{line.computer_level};
  if (line.watch && line.typed) return TypedWatch{line.hide_address};
  if (line.watch && line.code) return CodeWatch{*line.code, line.hide_address};
  if (line.watch) return WatchGame{*line.watched};
  if (line.host) {
    return HostGame{line.address.port, line.input_delay, line.port_mapping, line.hide_address};
  }
  if (line.join && line.typed) return TypedJoin{line.input_delay, line.hide_address};
  if (line.code) return CodeJoin{*line.code, line.input_delay, line.hide_address};
  if (line.join) return JoinGame{line.address, line.input_delay};
  return LocalGame{};
}

const OptionRow* FindOption(std::string_view name) {
  const auto row = std::find_if(kOptions.begin(), kOptions.end(),
                                [&](const OptionRow& option) { return option.name == name; });
  return row == kOptions.end() ? nullptr : &*row;
}

bool IsOption(const std::string& argument) { return argument.rfind("--", 0) == 0; }

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
  CommandLine line;
  std::vector<std::string_view> seen;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!IsOption(argument)) throw UsageError("unexpected argument \"" + argument + "\"");
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(2, equals == std::string::npos ? equals : equals - 2);
    const OptionRow* option = FindOption(name);
    if (option == nullptr) throw UsageError("unknown option " + Dashed(name));
    if (std::find(seen.begin(), seen.end(), option->name) != seen.end()) {
      throw UsageError(Dashed(name) + " is given more than once");
    }
    seen.push_back(option->name);

    std::optional<std::string> value;
    if (equals != std::string::npos) {
      if (option->value == Value::kNone) throw UsageError(Dashed(name) + " takes no value");
      value = argument.substr(equals + 1);
    } else if (option->value != Value::kNone && i + 1 < arguments.size() &&
               !IsOption(arguments[i + 1])) {
      value = arguments[++i];
    }
    if (option->value == Value::kRequired && !value) {
      throw UsageError(Dashed(name) + " needs a value (" + std::string(option->value_name) + ")");
    }
    option->apply(line, value);
  }
  RefuseCombinations(line, [&](std::string_view name) {
    return std::find(seen.begin(), seen.end(), name) != seen.end();
  });
  Options options = line.options;
  options.mode = ModeOf(line);
  return options;
}

std::string UsageText() {
  std::string text = "Usage: kraylo [OPTION]...\nKraylo, a full-screen game for two players.\n\n";
  for (const OptionRow& option : kOptions) {
    std::string left = "  " + Dashed(option.name);
    if (option.value == Value::kRequired) left += " " + std::string(option.value_name);
    if (option.value == Value::kOptional) left += " [" + std::string(option.value_name) + "]";
    left.resize(std::max<size_t>(left.size() + 2, 26), ' ');
    text += left + option.help + "\n";
  }
  return text;
}

const char* VersionText() { return KRAYLO_VERSION; }

}  // namespace kraylo
