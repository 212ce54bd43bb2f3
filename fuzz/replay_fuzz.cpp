// Feeds arbitrary bytes to the replay reader as the content of a replay file and plays whatever
// reads as a replay again. A ReplayError is the expected answer to a bad file; a crash, a hang, an
// unbounded allocation or any other error is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "replay/replay_check.h"
#include "replay/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kraylo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const Replay replay = ParseReplay(bytes);
    // What reads holds a tick for each input byte at the most.
    size_t ticks = 0;
    for (const RecordedGame& game : replay.games) ticks += game.inputs.size();
    if (ticks > size) std::abort();
    CheckReplay(replay);
  } catch (const ReplayError&) {
    // A bad file, refused with a message.
  }
  return 0;
}
