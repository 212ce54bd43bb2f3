// Showing recorded games: each tick plays the next recorded one, with the viewer's Esc and Tab.
#include <string>
#include <utility>

#include "game/controls.h"
#include "game/motion.h"
#include "input/directions.h"
#include "input/key_source.h"
#include "replay/replay_check.h"
#include "shell/matches/match.h"
#include "shell/program.h"

namespace kraylo {
namespace {

class ReplayMatch final : public Match {
 public:
  explicit ReplayMatch(Replay replay) : replay_(std::move(replay)) { SkipEmptyGames(); }

  void Tick(Program& program, const KeyTable& local) override {
    if (Finished()) {
      // The last picture stays until the viewer leaves.
      ApplyProgramKeys(program.game, local);
      return;
    }
    const RecordedGame& recorded = replay_.games[game_];
    if (tick_ == 0) StartRecordedGame(program.game, random_, recorded);
    KeyTable keys{};
    keys[dik::kEscape] = local[dik::kEscape];
    keys[dik::kTab] = local[dik::kTab];
    SetDirections(keys, recorded.inputs[tick_]);
    TableKeys source(keys);
    TickEvents events;
    MoveTick(program.game, source, random_, &events);
    program.sound.game.RanNext(events);
    if (++tick_ == recorded.inputs.size()) {
      ++game_;
      tick_ = 0;
      SkipEmptyGames();
    }
  }

  std::vector<std::string> OverlayLines() const override {
    if (Finished()) return {"Replay: the end (Esc ends)"};
    const std::string game = replay_.games.size() > 1
                                 ? "game " + std::to_string(game_ + 1) + " of " +
                                       std::to_string(replay_.games.size()) + ", "
                                 : "";
    return {"Replay: " + game + "tick " + std::to_string(tick_) + " of " +
            std::to_string(replay_.games[game_].inputs.size())};
  }

 private:
  bool Finished() const { return game_ == replay_.games.size(); }
  void SkipEmptyGames() {
    while (!Finished() && replay_.games[game_].inputs.empty()) ++game_;
  }

  Replay replay_;
  size_t game_ = 0;  // the game being shown
  size_t tick_ = 0;  // the next of its ticks
  SeededRandom random_;
};

}  // namespace

std::unique_ptr<Match> MakeReplayMatch(Replay replay) {
  return std::make_unique<ReplayMatch>(std::move(replay));
}

}  // namespace kraylo
