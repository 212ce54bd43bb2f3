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

const std::array kOptions{
    OptionRow{"help", Value::kNone, "", "print this text and end",
              [](Options& options, const std::optional<std::string>&) { options.help = true; }},
    OptionRow{"version", Value::kNone, "", "print the version and end",
              [](Options& options, const std::optional<std::string>&) { options.version = true; }},
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
    if (option == nullptr) throw UsageError("unknown option --" + name);
    if (std::find(seen.begin(), seen.end(), option->name) != seen.end()) {
      throw UsageError("--" + name + " is given more than once");
    }
    seen.push_back(option->name);

    std::optional<std::string> value;
    if (equals != std::string::npos) {
      if (option->value == Value::kNone) throw UsageError("--" + name + " takes no value");
      value = argument.substr(equals + 1);
    } else if (option->value != Value::kNone && i + 1 < arguments.size() &&
               (option->value == Value::kRequired || !IsOption(arguments[i + 1]))) {
      value = arguments[++i];
    }
    if (option->value == Value::kRequired && !value) {
      throw UsageError("--" + name + " needs a value (" + std::string(option->value_name) + ")");
    }
    option->apply(options, value);
  }
  return options;
}

std::string UsageText() {
  std::string text = "Usage: kraylo [OPTION]...\nKraylo, a full-screen game for two players.\n\n";
  for (const OptionRow& option : kOptions) {
    // Appended piece by piece: GCC 12 mistakes "literal" + std::string&& for an overlapping copy.
    std::string left = "  --";
    left += option.name;
    if (option.value != Value::kNone) {
      left += option.value == Value::kRequired ? " " : " [";
      left += option.value_name;
      if (option.value == Value::kOptional) left += "]";
    }
    left.resize(std::max<size_t>(left.size() + 2, 26), ' ');
    text += left + std::string(option.help) + "\n";
  }
  return text;
}

const char* VersionText() { return KRAYLO_VERSION; }

}  // namespace kraylo
