// Recording games into a replay file as their ticks become final.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/directions.h"
#include "platform/platform.h"

namespace kraylo {

class ReplayWriter {
 public:
  // Starts the file at `path` afresh with the header; raises kErrFileAccess naming the file when
  // it cannot be written. `files` must outlive the writer.
  ReplayWriter(Files& files, std::string path);

  // A game begins: its SeededRandom's seed, its field (pixels), and the StateChecksum of its
  // state before the first tick. Ends a game still being recorded first.
  void BeginGame(uint64_t seed, int32_t width, int32_t height, uint32_t start_checksum);
  // One final tick of the game: the directions the simulation got and the StateChecksum after
  // it. Every 60 ticks the inputs and a checkpoint are appended to the file. Raises
  // kErrFileAccess when the file cannot be written, 6 after 2^32 - 1 ticks.
  void Tick(Directions directions, uint32_t checksum);
  // Appends the ticks not yet written and the game's end; nothing when no game is being recorded.
  void EndGame();

  const std::string& path() const { return path_; }

 private:
  void Append(const std::string& bytes);

  Files& files_;
  std::string path_;
  bool in_game_ = false;
  std::vector<Directions> pending_;  // ticks since the last checkpoint
  uint32_t ticks_ = 0;               // of the game being recorded
  uint32_t checksum_ = 0;            // after its last tick
};

}  // namespace kraylo
