#include "game/balls.h"

#include <cmath>

#include "game/finite.h"
#include "platform/run_error.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// A random offset of 0 to 99 pixels: a single-precision draw scaled in double precision, so that
// a draw just below a hundredth still gives 0.
double RandomOffset(Random& random) {
  return Finite(std::floor(static_cast<double>(random.Next()) * 100.0));
}

// A squared difference of coordinates, rounded half to even into 32 bits.
int32_t RoundedSquare(double difference) { return ToInt32(Finite(difference * difference)); }

}  // namespace

void BallArray::RaiseSubscript() { Raise(kErrSubscript, "Subscript out of range"); }

void ResetBalls(GameModel& game, Random& random, int16_t mode) {
  TBall& first = game.Balls(1);
  TBall& second = game.Balls(2);
  first.MX = 0;
  first.MY = 0;
  second.MX = 0;
  second.MY = 0;
  random.Reseed();

  const double half_width = game.ScreenWidth / 2.0;
  const double half_height = game.ScreenHeight / 2.0;
  if (mode == 0 || mode == 1) {
    // The centred places are the random ones with every offset 0; the draws go in this order.
    auto offset = [&] { return mode == 1 ? RandomOffset(random) : 0.0; };
    first.X = (half_width - kBallRadius) - offset();
    first.Y = (half_height - kBallRadius) - offset();
    second.X = (half_width + kBallRadius) + offset();
    second.Y = (half_height + kBallRadius) + offset();
    first.Visible = true;
    second.Visible = true;
  }

  TBall& scratch = game.Balls(3);
  scratch.X = half_width + kBallRadius;
  scratch.Y = half_height + kBallRadius;
  scratch.Visible = false;
}

double BallDistance(const GameModel& game) {
  const TBall& first = game.Balls(1);
  const TBall& second = game.Balls(2);
  const int32_t dx2 = RoundedSquare(first.X - second.X);
  const int32_t dy2 = RoundedSquare(first.Y - second.Y);
  return std::sqrt(static_cast<double>(Add32(dx2, dy2)));
}

bool InContact(const GameModel& game) {
  // Below this a squared difference rounds to at most 2^30 - 1, so neither it nor the sum of two
  // of them overflows 32 bits; from it on a square may round up to 2^30, and two of those sum to
  // 2^31, which the full path must see to raise the overflow. Pixels².
  constexpr double kSquareFits = (1 << 30) - 0.5;
  // Rounding two squares moves their sum by at most 1: above this the rounded sum is at least
  // 10405, still apart; pixels².
  constexpr double kPlainlyApart = kContactDistance * kContactDistance + 2;
  const TBall& first = game.Balls(1);
  const TBall& second = game.Balls(2);
  const double dx = first.X - second.X;
  const double dy = first.Y - second.Y;
  const double dx2 = dx * dx;
  const double dy2 = dy * dy;
  // NaN fails every comparison and takes the full path, which raises.
  if (dx2 < kSquareFits && dy2 < kSquareFits && dx2 + dy2 > kPlainlyApart) return false;
  return BallDistance(game) < kContactDistance;
}

}  // namespace kraylo
