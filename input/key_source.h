// Where the simulation gets the keys from: one poll per tick, a snapshot of levels.
#pragma once

#include "platform/platform.h"

namespace kraylo {

class KeySource {
 public:
  virtual ~KeySource() = default;
  // Polls the keyboard and returns the fresh key-state table; raises when the poll fails.
  virtual const KeyTable& Poll() = 0;
};

// Keys decided before the tick (from the players' keys and pads, the computer, the other side of a
// network game, a replay): every poll gives `table`, which must outlive the source.
class TableKeys : public KeySource {
 public:
  explicit TableKeys(const KeyTable& table) : table_(table) {}
  const KeyTable& Poll() override { return table_; }

 private:
  const KeyTable& table_;
};

}  // namespace kraylo
