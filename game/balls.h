// The game's state: balls 1 and 2, the scratch record, the drop state and the screen size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace kraylo {

// One ball: a disc of radius 51 pixels centred on (X, Y).
struct TBall {
  double X = 0;          // centre x, pixels
  double Y = 0;          // centre y, pixels
  double MX = 0;         // velocity x, pixels per tick; positive moves right
  double MY = 0;         // velocity y, pixels per tick; positive moves down
  bool Visible = false;  // the game screen draws this ball
};

// Balls 1 (player 1), 2 (player 2) and 3 (scratch), indexed from 1; the scratch record stays last
// because the motion step walks from the first index to the last but one.
class BallArray {
 public:
  static constexpr int kLower = 1;
  static constexpr int kUpper = 3;
  // Raises 9 (subscript out of range) outside 1 to 3.
  TBall& operator()(int index) { return balls_[Slot(index)]; }
  const TBall& operator()(int index) const { return balls_[Slot(index)]; }

 private:
  // The position in balls_ of a 1-based index; inline because every pixel of motion reads balls.
  static size_t Slot(int index) {
    if (index < kLower || index > kUpper) [[unlikely]] {
      RaiseSubscript();
    }
    return static_cast<size_t>(index - kLower);
  }
  // Raises 9 "Subscript out of range".
  [[noreturn]] static void RaiseSubscript();

  std::array<TBall, kUpper - kLower + 1> balls_{};
};

inline constexpr double kBallRadius = 51;        // pixels
inline constexpr double kContactDistance = 102;  // pixels between centres

// Everything the simulation reads and writes, owned by the program.
struct GameModel {
  BallArray Balls;
  bool Dropped = false;       // a ball went over an edge; the round is counting down
  int32_t TimeToDrop = 0;     // ticks left in the count-down
  int32_t DroppedPlayer = 0;  // 1 or 2: the ball that went over an edge
  int32_t ScreenWidth = 0;    // pixels (in, from the configuration)
  int32_t ScreenHeight = 0;   // pixels (in)
  bool Running = false;       // out: Esc held at a tick clears it
  bool ShowDebug = false;     // out: Tab held at a tick toggles it
};

// Places balls 1 and 2 for a round: mode 0 centred, mode 1 at random near the centre, any other
// mode only stops them; every mode re-seeds `random` and resets the scratch record.
void ResetBalls(GameModel& game, Random& random, int16_t mode);

// Distance between the centres of balls 1 and 2 from rounded squared differences; below 102 is
// contact.
double BallDistance(const GameModel& game);

// BallDistance(game) < kContactDistance, with the same errors; balls plainly apart are told
// without the rounding, since it runs after every pixel of motion.
bool InContact(const GameModel& game);

}  // namespace kraylo
