#include "shell/matches/make_match.h"

#include <optional>
#include <utility>

#include "game/seeded_random.h"
#include "online/network_game.h"
#include "shell/matches/computer_match.h"
#include "shell/matches/network_match.h"
#include "shell/matches/recorded_rounds.h"
#include "shell/matches/watch_match.h"
#include "shell/program.h"

namespace kraylo {
namespace {

// `first`, then `then`.
ConfirmedTickHooks Chained(const ConfirmedTickHooks& first, const ConfirmedTickHooks& then) {
  ConfirmedTickHooks both;
  both.game_started = [first = first.game_started, then = then.game_started](
                          uint64_t seed, int32_t width, int32_t height) {
    if (first) first(seed, width, height);
    if (then) then(seed, width, height);
  };
  both.tick_confirmed = [first = first.tick_confirmed, then = then.tick_confirmed](
                            int64_t tick, Directions input, const GameModel& game,
                            const SeededRandom& random) {
    if (first) first(tick, input, game, random);
    if (then) then(tick, input, game, random);
  };
  return both;
}

std::unique_ptr<Match> NetworkMatchOf(Program& program, NetworkSetup setup,
                                      const ConfirmedTickHooks& extra) {
  RunResources& resources = program.resources;
  ConfirmedTickHooks hooks =
      program.recorder ? RecordingHooks(*program.recorder) : ConfirmedTickHooks{};
  return MakeNetworkMatch(NetworkGame(std::move(resources.transport), std::move(setup),
                                      resources.reach, Chained(hooks, extra)));
}

}  // namespace

std::unique_ptr<Match> MakeMatch(Program& program, const ConfirmedTickHooks& extra) {
  const RunMode& mode = program.options.mode;
  if (const auto* computer = std::get_if<ComputerGame>(&mode)) {
    // A recorded game seeds the computer's slips and the rounds alike.
    const std::optional<uint64_t> seed =
        program.recorder ? std::optional(DrawSeed(program.system.random())) : std::nullopt;
    return MakeComputerMatch(computer->level.value_or(Level::kNormal), seed,
                             program.system.clock());
  }
  if (const auto* host = std::get_if<HostGame>(&mode)) {
    return NetworkMatchOf(
        program, HostSetup(*host, program.net_settings, DrawSeed(program.system.random())), extra);
  }
  if (const auto* join = std::get_if<JoinGame>(&mode)) {
    return NetworkMatchOf(program, JoinSetup(*join, program.net_settings), extra);
  }
  if (const auto* join = std::get_if<CodeJoin>(&mode)) {
    return NetworkMatchOf(
        program, CodeJoinSetup(*join, program.net_settings, DrawSeed(program.system.random())),
        extra);
  }
  const ConfirmedTickHooks recording =
      program.recorder ? RecordingHooks(*program.recorder) : ConfirmedTickHooks{};
  if (const auto* watch = std::get_if<WatchGame>(&mode)) {
    return MakeWatchMatch(std::move(program.resources.transport), watch->host, std::nullopt,
                          recording);
  }
  if (const auto* watch = std::get_if<CodeWatch>(&mode)) {
    return MakeWatchMatch(std::move(program.resources.transport), {},
                          CodePlan(watch->code, watch->hide_address, program.net_settings,
                                   DrawSeed(program.system.random()), "Watching"),
                          recording);
  }
  if (std::holds_alternative<ReplayToShow>(mode) && program.resources.replay) {
    return MakeReplayMatch(std::move(*program.resources.replay));
  }
  return MakeLocalMatch();
}

}  // namespace kraylo
