#include "net/checksum_log.h"

namespace kraylo {

void ChecksumLog::Add(Entries& into, int64_t tick, uint32_t checksum, const Entries& other) {
  if (tick < 0) return;
  const auto slot = static_cast<size_t>(tick % kKept);
  // The other side repeats its latest checksum in every packet until it confirms another tick.
  if (into[slot].tick == tick && into[slot].checksum == checksum) return;
  into[slot] = {tick, checksum};
  if (other[slot].tick != tick) return;
  ++compared_;
  if (other[slot].checksum != checksum && (!mismatch_ || tick < *mismatch_)) mismatch_ = tick;
}

}  // namespace kraylo
