#include "shell/matches/computer_match.h"

#include <bit>
#include <cmath>

#include "game/motion.h"
#include "input/key_source.h"
#include "opponent/steering.h"
#include "shell/program.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

std::string MoveName(Move move) {
  switch (move) {
    case Move::kGoRound:
      return "goes round";
    case Move::kGetBehind:
      return "gets behind";
    case Move::kCharge:
      break;
  }
  return "charges";
}

}  // namespace

ComputerMatch::ComputerMatch(Level level, uint64_t seed, bool seeded_rounds)
    : opponent_(level, seed, 2),
      rounds_(seeded_rounds ? std::optional<uint64_t>(seed) : std::nullopt) {}

void ComputerMatch::Tick(Program& program, const KeyTable& local) {
  const Directions ball_1 = EitherSet(DirectionsOf(local));
  // Decided from the game as it stands before the tick, as a person sees it.
  const Directions ball_2 = opponent_.Decide(program.game);
  last_directions_ = ForBall(ball_1, 1) | ForBall(ball_2, 2);

  // Esc and Tab stay as the person holds them.
  KeyTable table = local;
  SetDirections(table, last_directions_);
  TableKeys keys(table);
  TickEvents events;
  MoveTick(program.game, keys, rounds_.Before(program), &events);
  program.sound.game.RanNext(events);
  rounds_.After(program, last_directions_);
}

std::vector<std::string> ComputerMatch::OverlayLines() const {
  std::vector<std::string> lines = {"Computer: " + std::string(LevelName(opponent_.level()))};
  const std::optional<Plan>& plan = opponent_.plan();
  if (!plan) {
    lines.emplace_back("Computer waits for the round");
    return lines;
  }
  const Instinct& instinct = plan->instinct;
  lines.push_back("Computer target: " + PlainForm(std::round(instinct.target_x)) + ", " +
                  PlainForm(std::round(instinct.target_y)));
  std::string doing = "Computer " + MoveName(instinct.move);
  if (instinct.braking) doing += ", brakes";
  lines.push_back(doing);
  std::string keys = "Computer keys: " + steer::KeyNames(BallDirections(last_directions_, 2));
  if (opponent_.slipped()) {
    keys += " (a slip)";
  } else if (plan->second_thought) {
    keys += " (look-ahead)";
  }
  lines.push_back(keys);
  return lines;
}

std::unique_ptr<Match> MakeComputerMatch(Level level, std::optional<uint64_t> seed, Clock& clock) {
  if (seed) return std::make_unique<ComputerMatch>(level, *seed, true);
  return std::make_unique<ComputerMatch>(level, std::bit_cast<uint64_t>(clock.Seconds()), false);
}

}  // namespace kraylo
