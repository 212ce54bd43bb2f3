#include "shell/options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace kraylo {
namespace {

enum class Value { kNone, kRequired, kOptional };

struct OptionRow {
  std::string_view name;  // without the leading "--"
  Value value;
  std::string_view value_name;  // in the usage text
  std::string_view help;
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
};

// Options that ask for two different runs.
void RefuseCombinations(const Options& options) {
  const bool watches = !options.replay.empty() || !options.check_replay.empty();
  if (!options.replay.empty() && !options.check_replay.empty()) {
    throw UsageError("--replay and --check-replay cannot go together");
  }
  if ((!options.record.empty() || options.computer) && watches) {
    throw UsageError(std::string(options.computer ? "--computer" : "--record") +
                     " cannot go with --replay or --check-replay: a replay plays no game");
  }
}

const OptionRow* FindOption(std::string_view name) {
  const auto row = std::find_if(kOptions.begin(), kOptions.end(),
                                [&](const OptionRow& option) { return option.name == name; });
  return row == kOptions.end() ? nullptr : &*row;
}

bool IsOption(const std::string& argument) { return argument.rfind("--", 0) == 0; }

}  // namespace

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
  RefuseCombinations(options);
  return options;
}

std::string UsageText() {
  std::string text = "Usage: kraylo [OPTION]...\nKraylo, a full-screen game for two players.\n\n";
  for (const OptionRow& option : kOptions) {
    std::string left = "  " + Dashed(option.name);
    if (option.value == Value::kRequired) left += " " + std::string(option.value_name);
    if (option.value == Value::kOptional) left += " [" + std::string(option.value_name) + "]";
    left.resize(std::max<size_t>(left.size() + 2, 26), ' ');
    text += left + std::string(option.help) + "\n";
  }
  return text;
}

const char* VersionText() { return KRAYLO_VERSION; }

}  // namespace kraylo
