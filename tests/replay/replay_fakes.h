// Replays made for the tests: games played with the game's own motion step and recorded in memory.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "game/motion.h"
#include "game/state_checksum.h"
#include "replay/replay_writer.h"
#include "tests/support/memory_files.h"

namespace kraylo {

inline const std::string kReplayPath = "/game/play.krp";

// Plays `ticks` ticks of random keys (from `input_seed`; 0: no key held) from a game's start on a
// width x height field with the rounds' seed `seed`, recording them through `writer`.
inline void PlayRecordedGame(ReplayWriter& writer, uint32_t ticks, uint64_t seed = 7,
                             uint32_t input_seed = 1, int32_t width = 800, int32_t height = 600) {
  GameModel game;
  game.ScreenWidth = width;
  game.ScreenHeight = height;
  SeededRandom random(seed);
  ResetBalls(game, random, 0);
  writer.BeginGame(seed, width, height, StateChecksum(game, random));
  std::mt19937 keys(input_seed);
  Directions held = 0;
  for (uint32_t tick = 0; tick < ticks; ++tick) {
    // A key pattern held for a while, as players do.
    if (input_seed != 0 && keys() % 8 == 0) held = static_cast<Directions>(keys());
    MoveTick(game, held, random);
    writer.Tick(held, StateChecksum(game, random));
  }
}

// The bytes of a replay of one game of `ticks` ticks (keys as PlayRecordedGame's).
inline std::string RecordedBytes(uint32_t ticks, uint64_t seed = 7, uint32_t input_seed = 1) {
  MemoryFiles files;
  ReplayWriter writer(files, kReplayPath);
  PlayRecordedGame(writer, ticks, seed, input_seed);
  writer.EndGame();
  return files.Content(kReplayPath);
}

}  // namespace kraylo
