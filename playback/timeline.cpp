#include "playback/timeline.h"

#include <algorithm>
#include <stdexcept>

#include "game/motion.h"
#include "game/state_checksum.h"
#include "replay/replay_check.h"

namespace kraylo {

Timeline::Timeline(const Replay& replay) {
  // Every game first, so that a mismatch names its game as --check-replay does.
  for (const RecordedGame& recorded : replay.games) {
    AddGame(recorded.seed, recorded.width, recorded.height);
    games_.back().inputs = recorded.inputs;
    games_.back().waiting = recorded.checkpoints;
  }
  for (size_t game = 0; game < games_.size(); ++game) RunNewTicks(game);
}

void Timeline::BeginGame(uint64_t seed, int32_t width, int32_t height) {
  AddGame(seed, width, height);
  RunNewTicks(games_.size() - 1);
}

void Timeline::AddGame(uint64_t seed, int32_t width, int32_t height) {
  TrackedGame game;
  game.newest = StartingState(width, height, seed);
  game.first_index = Length();
  games_.push_back(std::move(game));
}

void Timeline::AddTicks(std::span<const Directions> inputs) {
  if (games_.empty()) throw std::logic_error("Timeline::AddTicks before any game");
  games_.back().inputs.insert(games_.back().inputs.end(), inputs.begin(), inputs.end());
  RunNewTicks(games_.size() - 1);
}

void Timeline::AddCheckpoint(const ReplayCheckpoint& checkpoint) {
  if (games_.empty()) throw std::logic_error("Timeline::AddCheckpoint before any game");
  TrackedGame& game = games_.back();
  if (checkpoint.tick <= game.newest_tick) {
    Compare(games_.size() - 1, checkpoint, StateAt({games_.size() - 1, checkpoint.tick}));
    return;
  }
  const auto later = std::upper_bound(
      game.waiting.begin(), game.waiting.end(), checkpoint,
      [](const ReplayCheckpoint& a, const ReplayCheckpoint& b) { return a.tick < b.tick; });
  game.waiting.insert(later, checkpoint);
}

void Timeline::RunNewTicks(size_t index) {
  TrackedGame& game = games_[index];
  GameState& state = game.newest;
  auto waiting = game.waiting.begin();
  for (;; ++game.newest_tick) {
    if (game.newest_tick % kTicksPerKeptState == 0 &&
        game.kept.size() == game.newest_tick / kTicksPerKeptState) {
      game.kept.push_back(state);
    }
    // Those before the newest tick were compared by a run that stopped at a mismatch.
    for (; waiting != game.waiting.end() && waiting->tick <= game.newest_tick; ++waiting) {
      if (waiting->tick == game.newest_tick) Compare(index, *waiting, state);
    }
    if (game.newest_tick == game.inputs.size()) break;
    MoveTick(state.game, game.inputs[game.newest_tick], state.random);
  }
  game.waiting.erase(game.waiting.begin(), waiting);
}

void Timeline::Compare(size_t game, const ReplayCheckpoint& checkpoint,
                       const GameState& state) const {
  const uint32_t checksum = StateChecksum(state.game, state.random);
  if (checksum != checkpoint.checksum) {
    throw ChecksumMismatch(checkpoint.tick, game + 1, games_.size() > 1, checkpoint.checksum,
                           checksum);
  }
}

uint64_t Timeline::Length() const {
  if (games_.empty()) return 0;
  return games_.back().first_index + games_.back().inputs.size() + 1;
}

uint64_t Timeline::IndexOf(TimelinePosition position) const {
  return games_.at(position.game).first_index + position.tick;
}

TimelinePosition Timeline::PositionAt(uint64_t index) const {
  if (index >= Length()) return Last();
  // The last game whose start lies at or before `index`.
  const auto after =
      std::upper_bound(games_.begin(), games_.end(), index,
                       [](uint64_t at, const TrackedGame& game) { return at < game.first_index; });
  const auto game = static_cast<size_t>(after - games_.begin()) - 1;
  return {game, static_cast<uint32_t>(index - games_[game].first_index)};
}

TimelinePosition Timeline::Last() const { return {games_.size() - 1, Ticks(games_.size() - 1)}; }

GameState Timeline::StateAt(TimelinePosition position) const {
  const TrackedGame& game = games_.at(position.game);
  if (position.tick > game.newest_tick) throw std::out_of_range("Timeline::StateAt past the end");
  const uint32_t kept = position.tick / kTicksPerKeptState;
  GameState state = game.kept[kept];
  for (uint32_t tick = kept * kTicksPerKeptState; tick < position.tick; ++tick) {
    MoveTick(state.game, game.inputs[tick], state.random);
  }
  return state;
}

Directions Timeline::InputAt(TimelinePosition position) const {
  return games_.at(position.game).inputs.at(position.tick);
}

size_t Timeline::KeptStates() const {
  size_t kept = 0;
  for (const TrackedGame& game : games_) kept += game.kept.size();
  return kept;
}

}  // namespace kraylo
