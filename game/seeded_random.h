// The chance of a recorded or network game: a generator whose whole state is one value, so that a
// copy of the game's state holds it too, and the same seed draws the same rounds on every machine.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace kraylo {

class SeededRandom final : public Random {
 public:
  explicit SeededRandom(uint64_t seed = 0) : state_(seed) {}
  // The seeded sequence stands in for the clock's: a new round draws on where the last left off.
  void Reseed() override {}
  // A uniform single-precision number in [0, 1), from 24 bits of a SplitMix64 step.
  float Next() override;

  uint64_t state() const { return state_; }

 private:
  uint64_t state_;
};

// A fresh seed for a game, drawn from `random` (the machine's chance) after reseeding it.
uint64_t DrawSeed(Random& random);

}  // namespace kraylo
