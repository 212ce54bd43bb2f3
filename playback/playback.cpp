#include "playback/playback.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kraylo {
namespace {

struct SpeedRow {
  const char* text;
  int ticks_per_step;        // ticks run at once
  int timer_ticks_per_step;  // timer ticks between two such steps
};

// In PlaybackSpeed's order.
constexpr std::array<SpeedRow, 6> kSpeeds = {{
    {"1/4", 1, 4},
    {"1/2", 1, 2},
    {"1", 1, 1},
    {"2", 2, 1},
    {"4", 4, 1},
    {"8", 8, 1},
}};

const SpeedRow& RowOf(PlaybackSpeed speed) { return kSpeeds[static_cast<size_t>(speed)]; }

}  // namespace

const char* SpeedText(PlaybackSpeed speed) { return RowOf(speed).text; }

Playback::Playback(Timeline timeline) : timeline_(std::move(timeline)) { Show({0, 0}); }

std::optional<TickEvents> Playback::TimerTick() {
  if (paused_ || AtEnd()) return std::nullopt;
  const SpeedRow& row = RowOf(speed_);
  if (++waited_ < row.timer_ticks_per_step) return std::nullopt;
  waited_ = 0;
  if (speed_ == PlaybackSpeed::kNormal) {
    TickEvents events;
    Advance(&events);
    return events;
  }
  for (int i = 0; i < row.ticks_per_step; ++i) Advance(nullptr);
  return std::nullopt;
}

void Playback::Faster() {
  if (speed_ != PlaybackSpeed::kEightfold)
    speed_ = static_cast<PlaybackSpeed>(static_cast<int>(speed_) + 1);
  waited_ = 0;
}

void Playback::Slower() {
  if (speed_ != PlaybackSpeed::kQuarter)
    speed_ = static_cast<PlaybackSpeed>(static_cast<int>(speed_) - 1);
  waited_ = 0;
}

void Playback::Step(int direction) {
  paused_ = true;
  if (direction > 0) {
    Advance(nullptr);
  } else if (index() > 0) {
    SeekTo(index() - 1);
  }
}

void Playback::Jump(int64_t ticks) {
  const auto last = static_cast<int64_t>(timeline_.Length()) - 1;
  SeekTo(
      static_cast<uint64_t>(std::clamp(static_cast<int64_t>(index()) + ticks, int64_t{0}, last)));
}

void Playback::ToEnd() {
  Show(timeline_.Last());
  if (live_) paused_ = false;
}

void Playback::PreviousGame() { Show({position_.game > 0 ? position_.game - 1 : 0, 0}); }

void Playback::NextGame() {
  Show(position_.game + 1 < timeline_.Games() ? TimelinePosition{position_.game + 1, 0}
                                              : timeline_.Last());
}

void Playback::SeekTo(uint64_t index) { Show(timeline_.PositionAt(index)); }

void Playback::Advance(TickEvents* events) {
  if (position_.tick < timeline_.Ticks(position_.game)) {
    MoveTick(state_.game, timeline_.InputAt(position_), state_.random, events);
    ++position_.tick;
  } else if (position_.game + 1 < timeline_.Games()) {
    Show({position_.game + 1, 0});
  }
}

void Playback::Show(TimelinePosition position) {
  position_ = position;
  state_ = timeline_.StateAt(position);
  waited_ = 0;
}

}  // namespace kraylo
