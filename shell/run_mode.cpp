#include "shell/run_mode.h"

#include "shell/config_keys.h"
#include "support/config.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// Whether [Main] asks for the computer as the opponent. Raises the bad-line error for a value
// other than computer or person.
bool ConfigWantsComputer(Files& files) {
  const std::optional<std::string> opponent =
      ReadConfigWord(files, kConfigFile, kMainSection, kOpponentKey);
  if (!opponent || *opponent == kPersonOpponent) return false;
  if (*opponent == kComputerOpponent) return true;
  RaiseBadValue(files, kConfigFile, kMainSection, kOpponentKey, "computer or person");
}

// The computer's level [Main] names, or nullopt. Raises the bad-line error for another value.
std::optional<Level> ConfigLevel(Files& files) {
  const std::optional<std::string> name =
      ReadConfigWord(files, kConfigFile, kMainSection, kLevelKey);
  if (!name) return std::nullopt;
  for (std::string_view level : kLevelNames) {
    if (UpperCase(level) == *name) return LevelNamed(level);
  }
  RaiseBadValue(files, kConfigFile, kMainSection, kLevelKey, kLevelChoices);
}

}  // namespace

bool IsNetworkRun(const RunMode& mode) {
  return std::holds_alternative<HostGame>(mode) || std::holds_alternative<JoinGame>(mode) ||
         std::holds_alternative<CodeJoin>(mode) || std::holds_alternative<WatchGame>(mode) ||
         std::holds_alternative<CodeWatch>(mode) || TypesItsHost(mode);
}

bool ShowsGameAtOnce(const RunMode& mode) {
  return std::holds_alternative<ReplayToShow>(mode) || std::holds_alternative<WatchGame>(mode) ||
         std::holds_alternative<CodeWatch>(mode);
}

bool TypesItsHost(const RunMode& mode) {
  return std::holds_alternative<TypedJoin>(mode) || std::holds_alternative<TypedWatch>(mode);
}

RunMode ResolveRunMode(const RunMode& asked, Files& files) {
  const bool configured = ConfigWantsComputer(files);
  const std::optional<Level> level = ConfigLevel(files).value_or(Level::kNormal);
  if (const auto* computer = std::get_if<ComputerGame>(&asked)) {
    return ComputerGame{computer->level ? computer->level : level};
  }
  // A replay plays no game of its own, and in a network game the other player has ball 2.
  if (std::holds_alternative<LocalGame>(asked) && configured) return ComputerGame{level};
  return asked;
}

}  // namespace kraylo
