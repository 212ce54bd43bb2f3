#include "opponent/planner.h"

#include "opponent/judgement.h"
#include "opponent/look_ahead.h"
#include "opponent/steering.h"

namespace kraylo {
namespace {

// A drop that comes sooner is worth this much more per tick (a drop of the own ball this much
// less), so that of two winning pushes the quicker is taken.
constexpr double kWorthPerTickSooner = 1;
// How much better (in worth, judgement.h) a push's play-out must end than the instinct's for the
// look-ahead to overrule it: the instinct knows where it is going, the worth only where it ends.
constexpr double kOverrule = 0.05;

double PlayOutWorth(const GameModel& game, int own, Directions first, Directions other_keys,
                    int ticks) {
  const PlayOutEnd end = PlayOut(game, own, first, other_keys, ticks);
  double worth = Worth(end.game, own);
  if (end.game.Dropped) {
    const double sooner = (ticks - end.ticks) * kWorthPerTickSooner;
    worth += end.game.DroppedPlayer == own ? -sooner : sooner;
  }
  return worth;
}

}  // namespace

Plan ChoosePush(const GameModel& game, int own, Directions other_keys, int ticks) {
  Plan plan;
  plan.instinct = InstinctOf(game, own);
  plan.keys = plan.instinct.keys;
  if (ticks <= 0) return plan;
  const double instinct_worth = PlayOutWorth(game, own, plan.keys, other_keys, ticks);
  double best = instinct_worth + kOverrule;
  for (const Directions push : steer::kPushes) {
    if (push == plan.instinct.keys) continue;
    const double worth = PlayOutWorth(game, own, push, other_keys, ticks);
    if (worth > best) {
      best = worth;
      plan.keys = push;
      plan.second_thought = true;
    }
  }
  return plan;
}

}  // namespace kraylo
