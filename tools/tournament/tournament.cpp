// The computer's tournament: every level against the scripted players and against the other
// levels, whole rounds played headless with fixed seeds; prints the table of round wins.
//   tournament [--rounds N] [--seed S]
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/tournament/rounds.h"

namespace kraylo::tournament {
namespace {

struct Settings {
  int rounds = 2000;
  uint64_t seed = 1;
};

// The settings from the arguments; nullopt-like false when they cannot be read.
bool ReadSettings(int argc, char** argv, Settings& settings) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    char* end = nullptr;
    const unsigned long long value = std::strtoull(argv[i + 1], &end, 10);
    if (*end != '\0' || argv[i + 1][0] == '\0') return false;
    if (name == "--rounds" && value > 0 && value <= 1000000) {
      settings.rounds = static_cast<int>(value);
    } else if (name == "--seed") {
      settings.seed = value;
    } else {
      return false;
    }
  }
  return argc % 2 == 1;
}

PlayerMaker Computer(Level level) {
  return [level](int ball, uint64_t seed) { return MakeComputer(level, seed * 2 + ball, ball); };
}

PlayerMaker Scripted(Script script) {
  return [script](int ball, uint64_t) { return MakeScripted(script, ball); };
}

std::string Percent(int part, int whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f %%", 100.0 * part / whole);
  return text;
}

}  // namespace

int Main(int argc, char** argv) {
  Settings settings;
  if (!ReadSettings(argc, argv, settings)) {
    std::fprintf(stderr, "usage: tournament [--rounds N] [--seed S]\n");
    return 2;
  }
  constexpr Level kLevels[] = {Level::kEasy, Level::kNormal, Level::kHard};
  std::vector<std::string> columns;
  for (Script script : kScripts) columns.push_back(ScriptName(script));
  for (Level level : kLevels) columns.emplace_back(LevelName(level));
  // Round wins, losses and draws of a row's level against a column's player.
  std::map<std::pair<std::string, std::string>, Tally> results;

  for (Level level : kLevels) {
    const std::string row(LevelName(level));
    for (Script script : kScripts) {
      // The computer plays ball 2, as in the game; the scripted player ball 1.
      const Tally tally =
          PlayMatch(Scripted(script), Computer(level), settings.rounds, settings.seed, false);
      results[{row, ScriptName(script)}] = Tally{tally.b_wins, tally.a_wins, tally.draws};
      std::fprintf(stderr, "%s against %s done\n", row.c_str(), ScriptName(script).c_str());
    }
  }
  for (size_t a = 0; a < std::size(kLevels); ++a) {
    for (size_t b = a + 1; b < std::size(kLevels); ++b) {
      const std::string row_a(LevelName(kLevels[a]));
      const std::string row_b(LevelName(kLevels[b]));
      const Tally tally = PlayMatch(Computer(kLevels[a]), Computer(kLevels[b]), settings.rounds,
                                    settings.seed, true);
      results[{row_a, row_b}] = tally;
      results[{row_b, row_a}] = Tally{tally.b_wins, tally.a_wins, tally.draws};
      std::fprintf(stderr, "%s against %s done\n", row_a.c_str(), row_b.c_str());
    }
  }

  std::printf(
      "Rounds won by the level of the row against the player of the column "
      "(%d rounds each, seeds %llu to %llu):\n\n",
      settings.rounds, static_cast<unsigned long long>(settings.seed),
      static_cast<unsigned long long>(settings.seed + settings.rounds - 1));
  std::printf("| level  |");
  for (const std::string& column : columns) std::printf(" %-26s |", column.c_str());
  std::printf("\n|--------|");
  for (size_t i = 0; i < columns.size(); ++i) std::printf("----------------------------|");
  std::printf("\n");
  for (Level level : kLevels) {
    const std::string row(LevelName(level));
    std::printf("| %-6s |", row.c_str());
    for (const std::string& column : columns) {
      const auto found = results.find({row, column});
      if (found == results.end()) {
        std::printf(" %-26s |", "");
        continue;
      }
      const Tally& t = found->second;
      char cell[64];
      std::snprintf(cell, sizeof cell, "%s (%d-%d-%d)", Percent(t.a_wins, t.rounds()).c_str(),
                    t.a_wins, t.b_wins, t.draws);
      std::printf(" %-26s |", cell);
    }
    std::printf("\n");
  }
  std::printf(
      "\nEach cell: share of rounds won (won-lost-drawn); a round nobody lost within "
      "%d ticks is drawn.\n",
      kLongestRound);
  return 0;
}

}  // namespace kraylo::tournament

int main(int argc, char** argv) { return kraylo::tournament::Main(argc, argv); }
