#include "opponent/slips.h"

#include "opponent/steering.h"

namespace kraylo {
namespace {

// How long a slip lasts: from kShortest to kShortest + kSpread - 1 ticks.
constexpr int kShortest = 3;
constexpr int kSpread = 6;

// `meant` with its push along one axis turned round: along y when `along_y`, else along x; an
// axis without a push gets one.
Directions WrongWay(Directions meant, bool along_y) {
  const int x = steer::PushX(meant);
  const int y = steer::PushY(meant);
  if (along_y) return steer::Push(x, y == 0 ? 1 : -y);
  return steer::Push(x == 0 ? 1 : -x, y);
}

}  // namespace

Directions Slips::Apply(Directions meant, Directions last, SeededRandom& random) {
  slipped_ = ticks_left_ > 0 || (chance_ > 0 && random.Next() < chance_);
  if (!slipped_) return meant;
  if (ticks_left_ == 0) {
    kind_ = static_cast<Kind>(static_cast<int>(random.Next() * 3));
    ticks_left_ = kShortest + static_cast<int>(random.Next() * kSpread);
    stuck_ = last;
    along_y_ = random.Next() < 0.5f;
  }
  --ticks_left_;
  switch (kind_) {
    case Kind::kFreeze:
      return 0;
    case Kind::kWrongWay:
      return WrongWay(meant, along_y_);
    case Kind::kHoldOn:
      break;
  }
  return stuck_;
}

}  // namespace kraylo
