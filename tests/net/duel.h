// Two sessions playing each other in one test process on one clock: each side's timer ticks every
// 30 ms at a phase of its own, each player's keys follow a seeded script, and every tick a side
// confirms is kept, to be compared with the other side and with an offline run.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "game/state_checksum.h"
#include "net/session.h"
#include "tests/net/fake_network.h"

namespace kraylo::testing {

// A player's keys: held for a few ticks, then others; now and then none at all.
class KeyScript {
 public:
  explicit KeyScript(uint64_t seed) : random_(seed) {}
  Directions Next() {
    if (std::uniform_int_distribution<int>(0, 7)(random_) == 0) {
      held_ = static_cast<Directions>(std::uniform_int_distribution<int>(0, 15)(random_));
    }
    return held_;
  }

 private:
  std::mt19937_64 random_;
  Directions held_ = 0;
};

struct DuelSide {
  DuelSide(Transport& transport, Clock& clock, const SessionSettings& settings, uint64_t keys_seed,
           double timer_phase, const StepFunction& step)
      : session(transport, clock, settings, step), keys(keys_seed), phase(timer_phase) {
    ConfirmedTickHooks hooks;
    hooks.tick_confirmed = [this](int64_t tick, Directions input, const GameModel& game,
                                  const SeededRandom& random) {
      in_order = in_order && tick == static_cast<int64_t>(inputs.size());
      inputs.push_back(input);
      checksums.push_back(StateChecksum(game, random));
    };
    hooks.game_started = [this](uint64_t seed, int32_t, int32_t) { started_seed = seed; };
    session.SetHooks(hooks);
  }

  Session session;
  KeyScript keys;
  double phase;  // seconds after a multiple of 30 ms at which this side's timer ticks
  int64_t timer_ticks = 0;
  // Every this many timer ticks one is lost, as on a machine whose frames are too slow to take
  // every tick (0: none).
  int64_t loses_every = 0;
  std::vector<Directions> inputs;   // of both balls, per confirmed tick
  std::vector<uint32_t> checksums;  // of the state after each confirmed tick
  std::optional<uint64_t> started_seed;
  bool in_order = true;  // every tick was confirmed once, in order
};

// The checksums after each tick of a game run on one machine with `inputs`.
inline std::vector<uint32_t> OfflineChecksums(const SessionSettings& settings,
                                              const std::vector<Directions>& inputs) {
  GameState state = StartingState(settings.width, settings.height, settings.seed);
  std::vector<uint32_t> checksums;
  for (size_t tick = 0; tick < inputs.size(); ++tick) {
    StepGame(state, inputs[tick], static_cast<int64_t>(tick));
    checksums.push_back(StateChecksum(state.game, state.random));
  }
  return checksums;
}

class Duel {
 public:
  // The host with `settings` (role and delay as given there), the joiner with the same but its
  // own role; `host_step` lets a test make the host's simulation go wrong.
  Duel(Transport& host_transport, Transport& join_transport, ManualClock& clock,
       SessionSettings settings, const StepFunction& host_step = StepGame)
      : clock_(clock),
        host(host_transport, clock, WithRole(settings, Role::kHost), 11, 0.0, host_step),
        join(join_transport, clock, WithRole(settings, Role::kJoin), 22, 0.013, StepGame) {}

  // Moves the clock 1 ms at a time for at most `seconds`: `before_step(now)` first (a relay's
  // turn), then both sides serve, then each side whose timer is due ticks with its player's keys.
  // Stops early when `done()` holds, and after two minutes of real time whatever happens.
  void Run(double seconds, const std::function<bool()>& done,
           const std::function<void(double now)>& before_step = nullptr) {
    const double end = clock_.now + seconds;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    for (int64_t step = 0; clock_.now < end && !(done && done()); ++step) {
      if (step % 1000 == 0 && std::chrono::steady_clock::now() > give_up) {
        gave_up = true;
        return;
      }
      clock_.now += 0.001;
      if (before_step) before_step(clock_.now);
      for (DuelSide* side : {&host, &join}) {
        side->session.Serve();
        const double due =
            start_ + side->phase + kTickSeconds * static_cast<double>(side->timer_ticks + 1);
        if (clock_.now >= due) {
          ++side->timer_ticks;
          const bool lost = side->loses_every > 0 && side->timer_ticks % side->loses_every == 0;
          if (!lost) side->session.Tick(side->keys.Next());
        }
      }
    }
  }

  // A Run stopped by the real-time limit.
  bool gave_up = false;

  // Both sides have run at least `ticks` ticks.
  bool BothRan(int64_t ticks) const {
    return host.session.stats().ticks_run >= ticks && join.session.stats().ticks_run >= ticks;
  }

 private:
  static SessionSettings WithRole(SessionSettings settings, Role role) {
    settings.role = role;
    return settings;
  }
  ManualClock& clock_;
  double start_ = clock_.now;

 public:
  DuelSide host;
  DuelSide join;
};

}  // namespace kraylo::testing
