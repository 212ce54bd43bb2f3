// The replay file: a small versioned binary format of our own. After a 16-byte header come
// records, each a type byte and a fixed or counted payload, all numbers little-endian:
//   header      "KRAYLORP", format version (u16), 0 (u16), 0 (u32)
//   game start  1, seed (u64), field width and height (i32, pixels)
//   inputs      2, count (u8, 1 to 60), one Directions byte per tick
//   checkpoint  3, ticks run so far in the game (u32), StateChecksum after them (u32)
//   game end    4, ticks of the game (u32), StateChecksum of its last state (u32)
// A game is a start, a checkpoint at tick 0, its inputs with a checkpoint after at most every 60
// ticks, and an end. Reading refuses anything else with a message that names what is wrong.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "input/directions.h"

namespace kraylo {

inline constexpr int kReplayVersion = 1;
// Ticks between two checkpoints at the most (about two seconds of play).
inline constexpr int kTicksPerCheckpoint = 60;
// The largest replay file read (bytes): some sixty hours of play.
inline constexpr size_t kMaxReplayBytes = size_t{256} << 20;

// A replay that cannot be read or does not check out; what() says what is wrong.
class ReplayError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReplayCheckpoint {
  uint32_t tick = 0;      // ticks run in the game before it
  uint32_t checksum = 0;  // StateChecksum of the state after those ticks
};

struct RecordedGame {
  uint64_t seed = 0;                          // of the game's SeededRandom
  int32_t width = 0;                          // field, pixels
  int32_t height = 0;                         // pixels
  std::vector<Directions> inputs;             // one per tick, in order
  std::vector<ReplayCheckpoint> checkpoints;  // at tick 0, then ascending; the end is the last
};

struct Replay {
  std::vector<RecordedGame> games;  // at least one, all of one field size
};

// The bytes of each part of a file, for the recorder.
std::string EncodeReplayHeader();
std::string EncodeGameStart(uint64_t seed, int32_t width, int32_t height);
std::string EncodeInputs(const std::vector<Directions>& inputs);  // 1 to 60 of them
std::string EncodeCheckpoint(const ReplayCheckpoint& checkpoint);
std::string EncodeGameEnd(const ReplayCheckpoint& last);

// Reads a whole file's bytes; raises ReplayError naming the first fault and the byte it is at:
// a bad header, a newer format version, a truncated file, an unknown record, an absurd field size,
// a record out of its place, or a checkpoint that does not match the ticks before it.
Replay ParseReplay(std::string_view bytes);

}  // namespace kraylo
