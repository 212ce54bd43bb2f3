// A person's slips, which the easiest computer makes now and then: it freezes for a moment, it
// pushes the wrong way along one axis, or it holds on to its last keys for too long.
#pragma once

#include "game/seeded_random.h"
#include "input/directions.h"

namespace kraylo {

class Slips {
 public:
  // `chance`: the chance per tick (0 to 1) that a slip starts.
  explicit Slips(double chance) : chance_(chance) {}

  // The keys (four bits) held instead of `meant`, given the keys held in the tick before; draws
  // from `random` only while no slip is under way.
  Directions Apply(Directions meant, Directions last, SeededRandom& random);

  // Whether the keys of the last Apply were a slip.
  bool slipped() const { return slipped_; }

 private:
  enum class Kind { kFreeze, kWrongWay, kHoldOn };

  double chance_;
  Kind kind_ = Kind::kFreeze;
  Directions stuck_ = 0;  // the keys a hold-on slip keeps holding
  bool along_y_ = false;  // the axis a wrong-way slip turns round
  int ticks_left_ = 0;
  bool slipped_ = false;
};

}  // namespace kraylo
