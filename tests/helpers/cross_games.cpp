// Plays a fixed table of generated games with the game's own motion step and records them into
// replay files (one a field size: WIDTHxHEIGHT.krp), printing every checkpoint's checksum and
// each game's drops. Built natively and for Windows, the two must print the same lines, and each
// must accept the other's files with --check-replay: the simulation is bit for bit the same
// under both compilers and C libraries.
// Usage: cross_games <folder for the replay files>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/motion.h"
#include "game/state_checksum.h"
#include "platform/devices/disk_files.h"
#include "platform/run_error.h"
#include "replay/replay_check.h"
#include "replay/replay_writer.h"

namespace kraylo {
namespace {

// The direction bits: ball 1's Left, Right, Up, Down, then ball 2's.
enum : Directions { L1 = 1, R1 = 2, U1 = 4, D1 = 8, L2 = 16, R2 = 32, U2 = 64, D2 = 128 };

// Keys held for a number of ticks; kShuffled stands for keys that change every 20 ticks, drawn
// from a generator of the tool's own (xorshift: the same on every machine).
constexpr int kShuffled = -1;
struct Phase {
  int ticks;
  int directions;
};

struct GeneratedGame {
  const char* name;
  int32_t width;
  int32_t height;
  uint64_t seed;
  std::vector<Phase> phases;
};

const std::vector<GeneratedGame>& Table() {
  static const std::vector<GeneratedGame> games = {
      // The balls start diagonally apart: pushed at each other they touch, again and again.
      {"contact",
       800,
       600,
       1,
       {{120, R1 | D1 | L2 | U2}, {200, R1 | L2}, {150, 0}, {100, U1 | D2}}},
      {"contact-hard", 800, 600, 2, {{300, R1 | D1 | L2 | U2}, {200, D1 | U2}}},
      // Each edge in turn, then the count-down and a new round.
      {"drop-left", 800, 600, 3, {{200, L1}, {250, 0}}},
      {"drop-right", 800, 600, 4, {{200, R2}, {250, 0}}},
      {"drop-top", 800, 600, 5, {{200, U1}, {250, 0}}},
      {"drop-bottom", 800, 600, 6, {{200, D2}, {250, 0}}},
      // Both balls over opposite edges, and over the same one, in one round.
      {"double-drop", 800, 600, 7, {{200, L1 | R2}, {250, 0}, {200, U1 | U2}, {250, 0}}},
      {"odd-small", 641, 479, 8, {{1500, kShuffled}}},
      {"odd-wide", 1023, 767, 9, {{1500, kShuffled}}},
      {"large", 16384, 16384, 10, {{1500, kShuffled}}},
      {"odd-large", 16383, 9999, 11, {{1500, kShuffled}}},
  };
  return games;
}

uint64_t Xorshift(uint64_t& state) {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return state;
}

int Run(const std::string& folder) {
  Faults faults;
  DiskFiles files(LocationsInFolder(folder), faults);
  std::unique_ptr<ReplayWriter> writer;
  for (const GeneratedGame& generated : Table()) {
    const std::string path = folder + "/" + std::to_string(generated.width) + "x" +
                             std::to_string(generated.height) + ".krp";
    if (writer == nullptr || writer->path() != path) {
      if (writer != nullptr) writer->EndGame();
      writer = std::make_unique<ReplayWriter>(files, path);
    }
    GameState state = StartingState(generated.width, generated.height, generated.seed);
    writer->BeginGame(generated.seed, generated.width, generated.height,
                      StateChecksum(state.game, state.random));
    uint64_t shuffle = generated.seed * 0x9E3779B97F4A7C15u + 1;
    Directions shuffled = 0;
    int tick = 0;
    int drops = 0;
    for (const Phase& phase : generated.phases) {
      for (int i = 0; i < phase.ticks; ++i, ++tick) {
        if (tick % 20 == 0) shuffled = static_cast<Directions>(Xorshift(shuffle) >> 56);
        const Directions directions =
            phase.directions == kShuffled ? shuffled : static_cast<Directions>(phase.directions);
        const bool was_dropped = state.game.Dropped;
        MoveTick(state.game, directions, state.random);
        drops += !was_dropped && state.game.Dropped;
        const uint32_t checksum = StateChecksum(state.game, state.random);
        writer->Tick(directions, checksum);
        if ((tick + 1) % 60 == 0) {
          std::printf("%s %d %s\n", generated.name, tick + 1, HexChecksum(checksum).c_str());
        }
      }
    }
    std::printf("%s end %d %s, %d drops\n", generated.name, tick,
                HexChecksum(StateChecksum(state.game, state.random)).c_str(), drops);
  }
  if (writer != nullptr) writer->EndGame();
  return 0;
}

}  // namespace
}  // namespace kraylo

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s <folder for the replay files>\n", argv[0]);
    return 2;
  }
  try {
    return kraylo::Run(argv[1]);
  } catch (const kraylo::RunError& error) {
    std::fprintf(stderr, "cross_games: %s\n", error.description().c_str());
    return 1;
  }
}
