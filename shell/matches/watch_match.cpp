#include "shell/matches/watch_match.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "game/controls.h"
#include "game/game_state.h"
#include "game/motion.h"
#include "net/watch_session.h"
#include "replay/replay_file.h"
#include "shell/matches/replay_match.h"
#include "shell/program.h"
#include "shell/screens/network_messages.h"

namespace kraylo {
namespace {

// How far behind the newest tick a spectator follows the game: two of the host's batches, so
// that the next batch is there before the shown tick reaches the newest.
constexpr uint64_t kFollowTicks = 8;
// Further behind than this (the history when it arrives, or a stall), the shown tick jumps to
// the following distance at once rather than running late.
constexpr uint64_t kMostBehindTicks = 3 * kFollowTicks;

const char* const kEscEnds = "Esc ends";

class WatchMatch final : public Match {
 public:
  WatchMatch(std::unique_ptr<Transport> transport, HostAddress host,
             std::optional<MeetingPlan> plan, ConfirmedTickHooks hooks)
      : transport_(std::move(transport)),
        host_(std::move(host)),
        plan_(std::move(plan)),
        hooks_(std::move(hooks)) {}

  void Serve(Program& program) override {
    if (!session_) Begin(program);
    if (meeting_) {
      meeting_->Serve();
      // A relayed way gone silent: bound again, as a player's is.
      if (shown_ && session_->phase() == WatchPhase::kConnecting) meeting_->Rebind();
    }
    session_->Serve();
    Gather();
  }

  const Meeting* meeting() const override { return meeting_ ? &*meeting_ : nullptr; }

  void Tick(Program& program, const KeyTable& local) override {
    if (!shown_) {
      ApplyProgramKeys(program.game, local);
      return;
    }
    Follow();
    shown_->Tick(program, local);
  }

  void KeyDown(Program& program, int16_t key_code, bool repeat) override {
    if (shown_) shown_->KeyDown(program, key_code, repeat);
  }
  void PointerMoved(Program& program) override {
    if (shown_) shown_->PointerMoved(program);
  }
  void Click(Program& program) override {
    if (shown_) shown_->Click(program);
  }
  std::optional<TimelineBar> Bar() const override { return shown_ ? shown_->Bar() : std::nullopt; }

  std::vector<std::string> OverlayLines() const override {
    if (!shown_) return {};
    std::vector<std::string> lines = shown_->OverlayLines();
    const Playback& playback = shown_->playback();
    lines.push_back("Behind The Newest Tick: " +
                    std::to_string(playback.timeline().Length() - 1 - playback.index()));
    return lines;
  }

  std::vector<std::string> Messages() const override {
    if (out_of_step_) {
      return {"Out of step with the host: " + *out_of_step_, kEscEnds};
    }
    if (!session_) return {};
    switch (session_->phase()) {
      case WatchPhase::kConnecting:
        if (shown_) return {"The connection is interrupted, connecting again"};
        if (meeting_) return MeetingLines(*meeting_, "the host");
        return {"Connecting to " + host_.Text()};
      case WatchPhase::kWatching:
        return {};
      case WatchPhase::kEnded:
        // The game stays to be watched to its end and back; the note waits for its end.
        if (shown_ && !shown_->playback().AtEnd()) return {};
        return {"The game has ended", kEscEnds};
      case WatchPhase::kRefused:
        return RefusalLines();
    }
    return {};
  }

 private:
  std::vector<std::string> RefusalLines() const {
    switch (session_->refusal()) {
      case RefusalReason::kVersion:
        return {"The host speaks protocol version " + std::to_string(session_->host_version()) +
                    ", this game version " + std::to_string(kProtocolVersion),
                kEscEnds};
      case RefusalReason::kNoRoom:
        return {"The host has no room for another spectator", kEscEnds};
      case RefusalReason::kFieldSize:
      case RefusalReason::kHasPlayer:
        break;
    }
    return {"The host would not let this machine watch", kEscEnds};
  }

  // The session, and the meeting that finds its way to the host, once the program's clock is at
  // hand.
  void Begin(Program& program) {
    Clock& clock = program.system.clock();
    session_.emplace(*transport_, clock);
    MeetingSocket* socket = transport_->meeting_socket();
    if (!plan_ || socket == nullptr) return;
    // The service shows a spectator the host's field; its own only has to be one.
    const Offer offer{kProtocolVersion,
                      std::max(program.game.ScreenWidth, 1),
                      std::max(program.game.ScreenHeight, 1),
                      0,
                      0,
                      {}};
    meeting_.emplace(*socket, clock, MeetingRole::kWatcher, *plan_, offer,
                     static_cast<uint16_t>(kDefaultReconnectSeconds));
  }

  // What the session has gathered since the last call goes onto the timeline shown.
  void Gather() {
    const std::optional<WatchedGame>& game = session_->game();
    if (!game || out_of_step_) return;
    if (!shown_) Show(*game);
    Timeline& timeline = shown_->playback().timeline();
    const std::vector<Directions>& inputs = session_->inputs();
    const std::vector<TickChecksum>& checksums = session_->checksums();
    try {
      if (inputs.size() > gathered_ticks_) {
        const std::span<const Directions> fresh = std::span(inputs).subspan(gathered_ticks_);
        timeline.AddTicks(fresh);
        Record(fresh);
        gathered_ticks_ = inputs.size();
      }
      for (; gathered_checksums_ < checksums.size(); ++gathered_checksums_) {
        const TickChecksum& sum = checksums[gathered_checksums_];
        timeline.AddCheckpoint({static_cast<uint32_t>(sum.tick + 1), sum.checksum});
      }
    } catch (const ReplayError& mismatch) {
      out_of_step_ = mismatch.what();
    }
    if (session_->phase() == WatchPhase::kEnded) shown_->playback().SetLive(false);
  }

  void Show(const WatchedGame& game) {
    Timeline timeline;
    timeline.BeginGame(game.seed, game.width, game.height);
    shown_.emplace(std::move(timeline), "Watching");
    shown_->playback().SetLive(true);
    if (hooks_.game_started) hooks_.game_started(game.seed, game.width, game.height);
    if (hooks_.tick_confirmed) recorded_ = StartingState(game.width, game.height, game.seed);
  }

  // The hooks hear each tick with the state after it, as a player's session tells them.
  void Record(std::span<const Directions> inputs) {
    if (!recorded_) return;
    for (const Directions input : inputs) {
      MoveTick(recorded_->game, input, recorded_->random, nullptr);
      hooks_.tick_confirmed(recorded_tick_++, input, recorded_->game, recorded_->random);
    }
  }

  // Keeps the shown tick a short distance behind the newest while the viewer follows the game.
  void Follow() {
    Playback& playback = shown_->playback();
    if (!shown_->following() || playback.paused() || !playback.live()) return;
    const uint64_t newest = playback.timeline().Length() - 1;
    if (newest < kFollowTicks) return;
    const uint64_t target = newest - kFollowTicks;
    if (playback.index() + kMostBehindTicks < target) playback.SeekTo(target);
  }

  std::unique_ptr<Transport> transport_;
  HostAddress host_;
  std::optional<MeetingPlan> plan_;
  ConfirmedTickHooks hooks_;
  std::optional<WatchSession> session_;  // once the program's clock is at hand
  std::optional<Meeting> meeting_;       // the same, for a host met by its code
  std::optional<ReplayMatch> shown_;     // once the host has let this spectator in
  size_t gathered_ticks_ = 0;
  size_t gathered_checksums_ = 0;
  std::optional<std::string> out_of_step_;  // which checksum of the host's did not match
  std::optional<GameState> recorded_;       // the state the hooks are told of
  int64_t recorded_tick_ = 0;
};

}  // namespace

std::unique_ptr<Match> MakeWatchMatch(std::unique_ptr<Transport> transport, HostAddress host,
                                      std::optional<MeetingPlan> meeting,
                                      ConfirmedTickHooks hooks) {
  return std::make_unique<WatchMatch>(std::move(transport), std::move(host), std::move(meeting),
                                      std::move(hooks));
}

}  // namespace kraylo
