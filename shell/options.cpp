#include "shell/options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "net/protocol.h"
#include "net/session.h"

namespace kraylo {
namespace {

enum class Value { kNone, kRequired, kOptional };

struct OptionRow {
  std::string_view name;  // without the leading "--"
  Value value;
  std::string_view value_name;  // in the usage text
  std::string help;
  // Stores the option; raises UsageError for a bad value. `value` is absent when none was given.
  void (*apply)(Options& options, const std::optional<std::string>& value);
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

// A whole decimal number from `low` to `high`; raises UsageError naming `what` otherwise.
int WholeNumber(const std::string& text, int low, int high, const std::string& what) {
  const bool digits =
      !text.empty() && text.size() <= 5 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int value = digits ? std::stoi(text) : -1;
  if (value < low || value > high) {
    throw UsageError(what + " must be a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + text + "\"");
  }
  return value;
}

uint16_t Port(const std::string& text) {
  return static_cast<uint16_t>(WholeNumber(text, 1, 65535, "the UDP port"));
}

NetworkOptions& Network(Options& options) {
  if (!options.network) options.network = NetworkOptions{};
  return *options.network;
}

// --host [PORT]
void ApplyHost(Options& options, const std::optional<std::string>& value) {
  NetworkOptions& network = Network(options);
  network.host = true;
  network.port = value ? Port(*value) : kDefaultPort;
}

// --join [HOST[:PORT]]: without one, the player types it on the address screen.
void ApplyJoin(Options& options, const std::optional<std::string>& value) {
  NetworkOptions& network = Network(options);
  network.port = kDefaultPort;
  if (value) ReadHostAddress(*value, "--join", network);
}

// --delay N
void ApplyDelay(Options& options, const std::optional<std::string>& value) {
  Network(options).input_delay = WholeNumber(*value, 0, kMostInputDelay, "the input delay");
}

const std::array kOptions{
    OptionRow{"help", Value::kNone, "", "print this text and end",
              [](Options& options, const std::optional<std::string>&) { options.help = true; }},
    OptionRow{"version", Value::kNone, "", "print the version and end",
              [](Options& options, const std::optional<std::string>&) { options.version = true; }},
    OptionRow{"record", Value::kRequired, "FILE", "record every game of this run into FILE",
              [](Options& options, const std::optional<std::string>& value) {
                SetFile(options.record, "record", value);
              }},
    OptionRow{"replay", Value::kRequired, "FILE", "show the games recorded in FILE",
              [](Options& options, const std::optional<std::string>& value) {
                SetFile(options.replay, "replay", value);
              }},
    OptionRow{"check-replay", Value::kRequired, "FILE",
              "play FILE again without a window and check its checksums",
              [](Options& options, const std::optional<std::string>& value) {
                SetFile(options.check_replay, "check-replay", value);
              }},
    OptionRow{"computer", Value::kOptional, "LEVEL",
              "ball 2 is played by the computer: easy, normal or hard",
              [](Options& options, const std::optional<std::string>& value) {
                options.computer = true;
                if (!value) return;
                options.computer_level = LevelNamed(*value);
                if (!options.computer_level) {
                  throw UsageError("--computer takes " + std::string(kLevelChoices) + ", not \"" +
                                   *value + "\"");
                }
              }},
    OptionRow{
        "host", Value::kOptional, "PORT",
        "wait on UDP PORT (" + std::to_string(kDefaultPort) + ") for the other player; ball 1",
        ApplyHost},
    OptionRow{"join", Value::kOptional, "HOST[:PORT]",
              "play the player waiting at HOST (name or IPv4; typed in when left out); ball 2",
              ApplyJoin},
    OptionRow{"delay", Value::kRequired, "N",
              "network game's input delay in ticks, 0 to " + std::to_string(kMostInputDelay) +
                  " (" + std::to_string(kDefaultInputDelay) + ")",
              ApplyDelay},
    OptionRow{"no-port-mapping", Value::kNone, "",
              "the host does not ask the router (UPnP, NAT-PMP) to open its port",
              [](Options& options, const std::optional<std::string>&) {
                Network(options).port_mapping = false;
              }},
    OptionRow{"mute", Value::kNone, "", "start with the sound off (the mute key, M, turns it on)",
              [](Options& options, const std::optional<std::string>&) { options.mute = true; }},
};

// Options that ask for two different runs. `given` tells whether an option was on the line.
template <typename Given>
void RefuseCombinations(const Options& options, const Given& given) {
  const bool watches = given("replay") || given("check-replay");
  const bool online = given("host") || given("join");
  if (given("replay") && given("check-replay")) {
    throw UsageError("--replay and --check-replay cannot go together");
  }
  if (given("host") && given("join")) throw UsageError("--host and --join cannot go together");
  if ((given("record") || options.computer || online) && watches) {
    const char* option = options.computer ? "--computer" : online ? "--host or --join" : "--record";
    throw UsageError(std::string(option) +
                     " cannot go with --replay or --check-replay: a replay plays no game");
  }
  if (options.computer && online) {
    throw UsageError("--computer cannot go with --host or --join: the other player steers ball " +
                     std::string(given("host") ? "2" : "1"));
  }
  if (given("delay") && !online) {
    throw UsageError("--delay is for a network game: give --host or --join as well");
  }
  if (given("no-port-mapping") && !given("host")) {
    throw UsageError("--no-port-mapping is for the host: give --host as well");
  }
}

const OptionRow* FindOption(std::string_view name) {
  const auto row = std::find_if(kOptions.begin(), kOptions.end(),
                                [&](const OptionRow& option) { return option.name == name; });
  return row == kOptions.end() ? nullptr : &*row;
}

bool IsOption(const std::string& argument) { return argument.rfind("--", 0) == 0; }

}  // namespace

void ReadHostAddress(const std::string& text, const std::string& subject, NetworkOptions& network) {
  const size_t colon = text.find(':');
  if (colon != std::string::npos && text.find(':', colon + 1) != std::string::npos) {
    throw UsageError(subject + " takes a name or an IPv4 address, not \"" + text + "\"");
  }
  const std::string peer = text.substr(0, colon);
  const uint16_t port = colon == std::string::npos ? kDefaultPort : Port(text.substr(colon + 1));
  if (peer.empty() || peer.find_first_of(" \t") != std::string::npos) {
    throw UsageError(subject + " needs the host's name or IPv4 address, not \"" + text + "\"");
  }
  network.peer = peer;
  network.port = port;
}

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
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
    option->apply(options, value);
  }
  RefuseCombinations(options, [&](std::string_view name) {
    return std::find(seen.begin(), seen.end(), name) != seen.end();
  });
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
