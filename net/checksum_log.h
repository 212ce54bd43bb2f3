// The checksums of confirmed states on both sides of a network game, matched tick by tick: the
// first tick whose two checksums differ is where the sides went out of step.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kraylo {

class ChecksumLog {
 public:
  // Checksums kept per side (ticks); the sides confirm a tick within a few ticks of each other.
  static constexpr int64_t kKept = 128;

  // This side's checksum of the state after `tick`.
  void AddOwn(int64_t tick, uint32_t checksum) { Add(own_, tick, checksum, theirs_); }
  // The other side's checksum of the state after `tick`.
  void AddTheirs(int64_t tick, uint32_t checksum) { Add(theirs_, tick, checksum, own_); }
  // The earliest tick found with two different checksums.
  std::optional<int64_t> first_mismatch() const { return mismatch_; }
  // Ticks compared so far.
  int64_t compared() const { return compared_; }

 private:
  struct Entry {
    int64_t tick = -1;
    uint32_t checksum = 0;
  };
  using Entries = std::array<Entry, kKept>;
  void Add(Entries& into, int64_t tick, uint32_t checksum, const Entries& other);

  Entries own_{};
  Entries theirs_{};
  std::optional<int64_t> mismatch_;
  int64_t compared_ = 0;
};

}  // namespace kraylo
