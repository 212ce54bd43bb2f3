#include "replay/replay_writer.h"

#include <limits>
#include <utility>

#include "replay/replay_file.h"

namespace kraylo {

ReplayWriter::ReplayWriter(Files& files, std::string path) : files_(files), path_(std::move(path)) {
  files_.WriteFile(path_, EncodeReplayHeader());
}

void ReplayWriter::BeginGame(uint64_t seed, int32_t width, int32_t height,
                             uint32_t start_checksum) {
  EndGame();
  Append(EncodeGameStart(seed, width, height) + EncodeCheckpoint({0, start_checksum}));
  in_game_ = true;
  ticks_ = 0;
  checksum_ = start_checksum;
}

void ReplayWriter::Tick(Directions directions, uint32_t checksum) {
  if (!in_game_) return;
  if (ticks_ == std::numeric_limits<uint32_t>::max()) {
    Raise(kErrOverflow, "Overflow: the replay " + path_ + " cannot count more ticks");
  }
  pending_.push_back(directions);
  ++ticks_;
  checksum_ = checksum;
  if (pending_.size() == kTicksPerCheckpoint) {
    Append(EncodeInputs(pending_) + EncodeCheckpoint({ticks_, checksum_}));
    pending_.clear();
  }
}

void ReplayWriter::EndGame() {
  if (!in_game_) return;
  std::string bytes = pending_.empty() ? "" : EncodeInputs(pending_);
  pending_.clear();
  in_game_ = false;
  Append(bytes + EncodeGameEnd({ticks_, checksum_}));
}

void ReplayWriter::Append(const std::string& bytes) { files_.AppendFile(path_, bytes); }

}  // namespace kraylo
