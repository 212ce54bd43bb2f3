#include "tools/tournament/players.h"

#include <cmath>

#include "opponent/opponent.h"
#include "opponent/steering.h"

namespace kraylo::tournament {
namespace {

// How far ahead (ticks) the mirror looks at speeds: it steers by where it and its model will be
// that much later, so that it closes in without swinging past; along y a ball covers twice the
// ground.
constexpr double kMirrorLeadX = 8;
constexpr double kMirrorLeadY = 16;

class Scripted final : public Player {
 public:
  Scripted(Script script, int ball) : script_(script), own_(ball), other_(3 - ball) {}

  Directions Decide(const GameModel& game) override {
    const TBall& own = game.Balls(own_);
    const TBall& other = game.Balls(other_);
    switch (script_) {
      case Script::kStill:
        return 0;
      case Script::kCentrePusher:
        return steer::Push(game.ScreenWidth / 2.0 - own.X, game.ScreenHeight / 2.0 - own.Y);
      case Script::kRammer:
        return steer::Push(other.X - own.X, other.Y - own.Y);
      case Script::kMirror:
        break;
    }
    const double x = (game.ScreenWidth - other.X - own.X) + kMirrorLeadX * (-other.MX - own.MX);
    const double y = (game.ScreenHeight - other.Y - own.Y) + kMirrorLeadY * (-other.MY - own.MY);
    return steer::Push(x, y);
  }

 private:
  Script script_;
  int own_;
  int other_;
};

class Computer final : public Player {
 public:
  Computer(Level level, uint64_t seed, int ball) : opponent_(level, seed, ball) {}
  Directions Decide(const GameModel& game) override { return opponent_.Decide(game); }

 private:
  Opponent opponent_;
};

}  // namespace

std::string ScriptName(Script script) {
  switch (script) {
    case Script::kStill:
      return "still";
    case Script::kCentrePusher:
      return "centre-pusher";
    case Script::kRammer:
      return "rammer";
    case Script::kMirror:
      break;
  }
  return "mirror";
}

std::unique_ptr<Player> MakeScripted(Script script, int ball) {
  return std::make_unique<Scripted>(script, ball);
}

std::unique_ptr<Player> MakeComputer(Level level, uint64_t seed, int ball) {
  return std::make_unique<Computer>(level, seed, ball);
}

}  // namespace kraylo::tournament
