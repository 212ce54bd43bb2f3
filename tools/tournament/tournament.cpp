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

// Reads --rounds N (1 to 1000000) and --seed S into `settings`; false for anything else.
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

constexpr Level kLevels[] = {Level::kEasy, Level::kNormal, Level::kHard};

PlayerMaker Computer(Level level) {
  return [level](int ball, uint64_t seed) { return MakeComputer(level, seed * 2 + ball, ball); };
}

PlayerMaker Scripted(Script script) {
  return [script](int ball, uint64_t) { return MakeScripted(script, ball); };
}

// Round wins (a_wins), losses and draws of a row's level against a column's player, by their
// names.
using Results = std::map<std::pair<std::string, std::string>, Tally>;

Results PlayAll(const Settings& settings) {
  Results results;
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
  return results;
}

double Share(const Tally& tally) { return 100.0 * tally.a_wins / tally.rounds(); }

void PrintTable(const Results& results, const Settings& settings) {
  std::vector<std::string> columns;
  for (Script script : kScripts) columns.push_back(ScriptName(script));
  for (Level level : kLevels) columns.emplace_back(LevelName(level));
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
      char cell[64] = "";
      if (found != results.end()) {
        const Tally& t = found->second;
        std::snprintf(cell, sizeof cell, "%.1f %% (%d-%d-%d)", Share(t), t.a_wins, t.b_wins,
                      t.draws);
      }
      std::printf(" %-26s |", cell);
    }
    std::printf("\n");
  }
  std::printf(
      "\nEach cell: share of rounds won (won-lost-drawn); a round nobody lost within "
      "%d ticks is drawn.\n",
      kLongestRound);
}

// Prints whether each goal for the levels is met; true when all are.
bool PrintGoals(const Results& results) {
  struct Goal {
    std::string level;
    std::string against;
    double least_share;  // per cent of the rounds; 0: at least one round
  };
  std::vector<Goal> goals;
  for (Script script : kScripts) goals.push_back({"hard", ScriptName(script), 80});
  goals.push_back({"hard", "normal", 65});
  goals.push_back({"normal", "easy", 65});
  goals.push_back({"easy", "centre-pusher", 0});
  bool all = true;
  std::printf("\nGoals:\n");
  for (const Goal& goal : goals) {
    const Tally& tally = results.at({goal.level, goal.against});
    const bool met = goal.least_share > 0 ? Share(tally) >= goal.least_share : tally.a_wins > 0;
    all = all && met;
    if (goal.least_share > 0) {
      std::printf("  %s wins at least %.0f %% of the rounds against %s: %s (%.1f %%)\n",
                  goal.level.c_str(), goal.least_share, goal.against.c_str(),
                  met ? "met" : "NOT MET", Share(tally));
    } else {
      std::printf("  %s wins some rounds against %s: %s (%d)\n", goal.level.c_str(),
                  goal.against.c_str(), met ? "met" : "NOT MET", tally.a_wins);
    }
  }
  return all;
}

}  // namespace

// Plays the tournament and prints its table and goals; exit status 0 when every goal is met, 1
// when one is not, 2 for arguments it does not take.
int Main(int argc, char** argv) {
  Settings settings;
  if (!ReadSettings(argc, argv, settings)) {
    std::fprintf(stderr, "usage: tournament [--rounds N] [--seed S]\n");
    return 2;
  }
  const Results results = PlayAll(settings);
  PrintTable(results, settings);
  return PrintGoals(results) ? 0 : 1;
}

}  // namespace kraylo::tournament

int main(int argc, char** argv) { return kraylo::tournament::Main(argc, argv); }
