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

}  // namespace kraylo
