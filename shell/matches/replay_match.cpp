#include "shell/matches/replay_match.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "game/controls.h"
#include "platform/events.h"
#include "shell/program.h"

namespace kraylo {
namespace {

// The keys, as the overlay lists them below the replay's line.
const std::array<const char*, 2> kKeyLines = {
    "Keys: Space pause; - + speed; , . one tick; Left Right 5 s",
    "Home End the start, the end; PgUp PgDn the games; the bar seeks",
};

// A time on the timeline: "m:ss", or "h:mm:ss" from an hour on.
std::string TimeText(uint64_t ticks) {
  const auto seconds = static_cast<uint64_t>(std::floor(static_cast<double>(ticks) * kTickSeconds));
  std::array<char, 32> text{};
  const auto hours = static_cast<unsigned long long>(seconds / 3600);
  const auto minutes = static_cast<unsigned long long>(seconds / 60 % 60);
  const auto rest = static_cast<unsigned long long>(seconds % 60);
  if (hours > 0) {
    std::snprintf(text.data(), text.size(), "%llu:%02llu:%02llu", hours, minutes, rest);
  } else {
    std::snprintf(text.data(), text.size(), "%llu:%02llu", minutes, rest);
  }
  return text.data();
}

}  // namespace

ReplayMatch::ReplayMatch(Timeline timeline, std::string title)
    : playback_(std::move(timeline)), title_(std::move(title)) {}

void ReplayMatch::Tick(Program& program, const KeyTable& local) {
  ApplyProgramKeys(program.game, local);
  if (const std::optional<TickEvents> heard = playback_.TimerTick()) {
    program.sound.game.RanNext(*heard);
  }
  if (bar_ticks_ > 0) --bar_ticks_;
  Show(program);
}

void ReplayMatch::KeyDown(Program& program, int16_t key_code, bool repeat) {
  switch (key_code) {
    case kKeySpace:
      // Held down, Space would pause and play on with every repeat.
      if (!repeat) playback_.TogglePause();
      break;
    case kKeyMinus:
    case kKeyPadSubtract:
      playback_.Slower();
      break;
    case kKeyEquals:
    case kKeyPadAdd:
      playback_.Faster();
      break;
    case kKeyComma:
      playback_.Step(-1);
      break;
    case kKeyPeriod:
      playback_.Step(+1);
      break;
    case kKeyLeftArrow:
      playback_.Jump(-kJumpTicks);
      break;
    case kKeyRightArrow:
      playback_.Jump(kJumpTicks);
      break;
    case kKeyHome:
      playback_.ToStart();
      break;
    case kKeyEnd:
      playback_.ToEnd();
      break;
    case kKeyPageUp:
      playback_.PreviousGame();
      break;
    case kKeyPageDown:
      playback_.NextGame();
      break;
    default:
      return;
  }
  // End takes a live game up again; any other key leaves it where the viewer put it.
  following_ = key_code == kKeyEnd;
  Show(program);
}

void ReplayMatch::Click(Program& program) {
  const bool shown = Bar().has_value();
  bar_ticks_ = kBarTicksAfterPointer;
  const GameModel& game = program.game;
  const std::optional<double> place = TimelinePlaceAt(game.ScreenWidth, game.ScreenHeight,
                                                      program.screen.MouseX, program.screen.MouseY);
  // A click where the bar is hidden only shows it.
  if (!shown || !place) return;
  const auto last = static_cast<double>(playback_.timeline().Length() - 1);
  playback_.SeekTo(static_cast<uint64_t>(std::llround(*place * last)));
  following_ = false;
  Show(program);
}

std::optional<TimelineBar> ReplayMatch::Bar() const {
  if (!playback_.paused() && bar_ticks_ == 0) return std::nullopt;
  const Timeline& timeline = playback_.timeline();
  const uint64_t last = timeline.Length() - 1;
  TimelineBar bar;
  bar.shown = last == 0 ? 0 : static_cast<double>(playback_.index()) / static_cast<double>(last);
  for (size_t game = 1; game < timeline.Games(); ++game) {
    bar.game_starts.push_back(static_cast<double>(timeline.IndexOf({game, 0})) /
                              static_cast<double>(last));
  }
  bar.label = GameText() + TimeText(playback_.index()) + " / " + TimeText(last) + StateText();
  bar.label[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(bar.label[0])));
  return bar;
}

std::vector<std::string> ReplayMatch::OverlayLines() const {
  const TimelinePosition at = playback_.position();
  std::string end;
  if (playback_.AtEnd()) end = playback_.live() ? ", the newest" : ", the end (Esc ends)";
  return {title_ + ": " + GameText() + "tick " + std::to_string(at.tick) + " of " +
              std::to_string(playback_.timeline().Ticks(at.game)) + StateText() + end,
          kKeyLines[0], kKeyLines[1]};
}

void ReplayMatch::Show(Program& program) const {
  GameModel& game = program.game;
  const bool running = game.Running;
  const bool show_debug = game.ShowDebug;
  game = playback_.state().game;
  game.Running = running;
  game.ShowDebug = show_debug;
}

std::string ReplayMatch::GameText() const {
  const size_t games = playback_.timeline().Games();
  if (games == 1) return "";
  return "game " + std::to_string(playback_.position().game + 1) + " of " + std::to_string(games) +
         ", ";
}

std::string ReplayMatch::StateText() const {
  std::string text = playback_.paused() ? ", paused" : "";
  if (playback_.speed() != PlaybackSpeed::kNormal) {
    text += ", speed " + std::string(SpeedText(playback_.speed()));
  }
  return text;
}

std::unique_ptr<Match> MakeReplayMatch(Timeline timeline) {
  return std::make_unique<ReplayMatch>(std::move(timeline), "Replay");
}

}  // namespace kraylo
