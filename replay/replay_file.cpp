#include "replay/replay_file.h"

#include "platform/surface.h"

namespace kraylo {
namespace {

constexpr std::string_view kMagic = "KRAYLORP";
constexpr size_t kHeaderBytes = 16;
// The largest field a display can show (pixels); a replay of another one is not of this program.
constexpr int32_t kMaxFieldSide = Surface::kMaxSide;

enum RecordType : uint8_t { kGameStart = 1, kInputs = 2, kCheckpoint = 3, kGameEnd = 4 };

void Put(std::string& bytes, uint64_t value, int count) {
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

std::string Record(RecordType type) { return std::string(1, static_cast<char>(type)); }

// Reads the file front to back; every read names the byte where the file fell short.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool AtEnd() const { return at_ == bytes_.size(); }
  size_t at() const { return at_; }

  uint64_t Take(size_t count, const char* what) {
    if (bytes_.size() - at_ < count) {
      Fail("truncated: the file ends inside " + std::string(what));
    }
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i) {
      value |= uint64_t{static_cast<uint8_t>(bytes_[at_ + i])} << (8 * i);
    }
    at_ += count;
    return value;
  }
  std::string_view TakeBytes(size_t count, const char* what) {
    if (bytes_.size() - at_ < count) Fail("truncated: the file ends inside " + std::string(what));
    const std::string_view taken = bytes_.substr(at_, count);
    at_ += count;
    return taken;
  }

  [[noreturn]] void Fail(const std::string& message) const { FailAt(at_, message); }
  [[noreturn]] static void FailAt(size_t at, const std::string& message) {
    throw ReplayError(message + " (at byte " + std::to_string(at) + ")");
  }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

void ReadHeader(Reader& reader) {
  if (reader.TakeBytes(kMagic.size(), "the header") != kMagic) {
    Reader::FailAt(0, "bad header: not a Kraylo replay file");
  }
  const auto version = static_cast<int>(reader.Take(2, "the header"));
  if (version > kReplayVersion) {
    reader.Fail("written by a newer Kraylo: format version " + std::to_string(version) +
                ", this one reads version " + std::to_string(kReplayVersion));
  }
  if (version < 1) reader.Fail("bad header: format version " + std::to_string(version));
  if (reader.Take(kHeaderBytes - kMagic.size() - 2, "the header") != 0) {
    reader.Fail("bad header: its reserved bytes are not zero");
  }
}

// Checks one game's records as they come: start, checkpoint 0, inputs and checkpoints, end.
class GameReader {
 public:
  explicit GameReader(RecordedGame& game) : game_(game) {}

  void Inputs(Reader& reader) {
    RequireStarted(reader, "inputs");
    const size_t count = reader.Take(1, "an inputs record");
    if (count == 0 || count > kTicksPerCheckpoint) {
      reader.Fail("bad inputs record: " + std::to_string(count) + " ticks (1 to " +
                  std::to_string(kTicksPerCheckpoint) + ")");
    }
    if (since_checkpoint_ + count > kTicksPerCheckpoint) {
      reader.Fail("more than " + std::to_string(kTicksPerCheckpoint) +
                  " ticks without a checkpoint");
    }
    const std::string_view inputs = reader.TakeBytes(count, "an inputs record");
    game_.inputs.insert(game_.inputs.end(), inputs.begin(), inputs.end());
    since_checkpoint_ += count;
  }

  // The checkpoint record that starts at byte `at`, its type read.
  void Checkpoint(Reader& reader, size_t at, const char* what) {
    ReplayCheckpoint checkpoint;
    checkpoint.tick = static_cast<uint32_t>(reader.Take(4, what));
    checkpoint.checksum = static_cast<uint32_t>(reader.Take(4, what));
    if (checkpoint.tick != game_.inputs.size()) {
      Reader::FailAt(at, std::string("bad ") + what + ": it says tick " +
                             std::to_string(checkpoint.tick) + ", but the game is at tick " +
                             std::to_string(game_.inputs.size()));
    }
    game_.checkpoints.push_back(checkpoint);
    since_checkpoint_ = 0;
  }

  void RequireStarted(const Reader& reader, const char* what) const {
    if (game_.checkpoints.empty()) {
      reader.Fail(std::string("bad record order: ") + what + " before the checkpoint at tick 0");
    }
  }

 private:
  RecordedGame& game_;
  size_t since_checkpoint_ = 0;
};

RecordedGame ReadGame(Reader& reader) {
  RecordedGame game;
  game.seed = reader.Take(8, "a game start record");
  game.width = static_cast<int32_t>(reader.Take(4, "a game start record"));
  game.height = static_cast<int32_t>(reader.Take(4, "a game start record"));
  if (game.width < 1 || game.height < 1 || game.width > kMaxFieldSide ||
      game.height > kMaxFieldSide) {
    reader.Fail("absurd field size " + std::to_string(game.width) + "x" +
                std::to_string(game.height) + " (1 to " + std::to_string(kMaxFieldSide) +
                " pixels a side)");
  }
  GameReader records(game);
  while (true) {
    if (reader.AtEnd()) {
      reader.Fail("truncated: the last game has no end record (the recording stopped early)");
    }
    const size_t at = reader.at();
    const auto type = static_cast<uint8_t>(reader.Take(1, "a record"));
    switch (type) {
      case kInputs:
        records.Inputs(reader);
        break;
      case kCheckpoint:
        records.Checkpoint(reader, at, "checkpoint");
        break;
      case kGameEnd:
        records.RequireStarted(reader, "the game's end");
        records.Checkpoint(reader, at, "game end record");
        return game;
      case kGameStart:
        Reader::FailAt(at, "bad record order: a game starts inside another");
      default:
        Reader::FailAt(at, "unknown record type " + std::to_string(type));
    }
  }
}

}  // namespace

std::string EncodeReplayHeader() {
  std::string bytes(kMagic);
  Put(bytes, kReplayVersion, 2);
  Put(bytes, 0, kHeaderBytes - kMagic.size() - 2);
  return bytes;
}

std::string EncodeGameStart(uint64_t seed, int32_t width, int32_t height) {
  std::string bytes = Record(kGameStart);
  Put(bytes, seed, 8);
  Put(bytes, static_cast<uint32_t>(width), 4);
  Put(bytes, static_cast<uint32_t>(height), 4);
  return bytes;
}

std::string EncodeInputs(const std::vector<Directions>& inputs) {
  std::string bytes = Record(kInputs);
  Put(bytes, inputs.size(), 1);
  bytes.append(inputs.begin(), inputs.end());
  return bytes;
}

std::string EncodeCheckpoint(const ReplayCheckpoint& checkpoint) {
  std::string bytes = Record(kCheckpoint);
  Put(bytes, checkpoint.tick, 4);
  Put(bytes, checkpoint.checksum, 4);
  return bytes;
}

std::string EncodeGameEnd(const ReplayCheckpoint& last) {
  std::string bytes = Record(kGameEnd);
  Put(bytes, last.tick, 4);
  Put(bytes, last.checksum, 4);
  return bytes;
}

Replay ParseReplay(std::string_view bytes) {
  Reader reader(bytes);
  ReadHeader(reader);
  Replay replay;
  while (!reader.AtEnd()) {
    const size_t at = reader.at();
    const auto type = static_cast<uint8_t>(reader.Take(1, "a record"));
    if (type != kGameStart) {
      Reader::FailAt(at, type <= kGameEnd ? "bad record order: a record outside any game"
                                          : "unknown record type " + std::to_string(type));
    }
    replay.games.push_back(ReadGame(reader));
    const RecordedGame& game = replay.games.back();
    if (game.width != replay.games.front().width || game.height != replay.games.front().height) {
      Reader::FailAt(at, "the games of one replay must share one field size");
    }
  }
  if (replay.games.empty()) reader.Fail("truncated: the file holds no game");
  return replay;
}

}  // namespace kraylo
