#include "shell/matches/network_match.h"

#include <iostream>
#include <utility>

#include "game/motion.h"
#include "game/seeded_random.h"
#include "input/directions.h"
#include "platform/keys.h"
#include "shell/program.h"
#include "shell/screens/network_messages.h"

namespace kraylo {
namespace {

class NetworkMatch final : public Match {
 public:
  explicit NetworkMatch(NetworkGame game) : game_(std::move(game)) {}

  void Tick(Program& program, const KeyTable& local) override {
    Session* session = SessionFor(program);
    // Esc and Tab act here, once, on the live tick; the ticks of the game never see them, nor do
    // they ever come from the other side.
    if (local[key_index::kEscape] != 0) {
      program.game.Running = false;
      if (session != nullptr) session->Quit();
    }
    if (local[key_index::kTab] != 0) program.game.ShowDebug = !program.game.ShowDebug;
    if (session == nullptr) return;
    if (session->phase() != Phase::kQuit) session->Tick(EitherSet(DirectionsOf(local)));
    Show(program, *session);
  }

  void Serve(Program& program) override {
    Session* session = SessionFor(program);
    if (session == nullptr) return;
    game_.Serve();
    SayMeeting(program);
    Show(program, *session);
  }

  std::vector<std::string> OverlayLines() const override { return NetworkOverlayLines(game_); }
  std::vector<std::string> Messages() const override { return NetworkMessages(game_); }
  std::string Headline() const override { return NetworkHeadline(game_); }
  const Meeting* meeting() const override { return game_.meeting(); }
  std::string CornerNote() const override { return WatchersNote(game_); }

 private:
  // The session begins with the first frame, once start-up has read the field's size; a field
  // without pixels (a display that could not be set up) has no game to play.
  Session* SessionFor(Program& program) {
    if (program.game.ScreenWidth < 1 || program.game.ScreenHeight < 1) return nullptr;
    if (Session* session = game_.session()) return session;
    // Every run of a tick, a guessed one or one run again, is heard once at most.
    GameSounds& sounds = program.sound.game;
    return &game_.Begin(program.system.clock(), program.game.ScreenWidth, program.game.ScreenHeight,
                        DrawSeed(program.system.random()),
                        [&sounds](GameState& state, Directions input, int64_t tick) {
                          TickEvents events;
                          MoveTick(state.game, input, state.random, &events);
                          sounds.Ran(tick, events);
                        });
  }

  // The host's code also goes to standard output, for a player who started it from a terminal
  // (and for scripts); so do the way the meeting found, when the game began on it, and why the
  // meeting failed.
  void SayMeeting(Program& program) {
    const Meeting* meeting = game_.meeting();
    if (meeting == nullptr) return;
    if (!code_said_ && game_.setup().role == Role::kHost && meeting->code()) {
      code_said_ = true;
      std::cout << CodeLine(*meeting->code()) << std::endl;
    }
    if (!way_said_ && meeting->way()) {
      way_said_ = true;
      std::cout << PathLine(*meeting) << std::endl;
    }
    if (!failure_said_ && meeting->stage() == MeetingStage::kFailed) {
      failure_said_ = true;
      std::cout << meeting->failure() << std::endl;
    }
    if (!start_said_ && game_.session()->phase() == Phase::kPlaying) {
      start_said_ = true;
      std::cout << "Playing, " << SecondsText(program.system.clock().Seconds() - meeting->started())
                << " after the meeting began" << std::endl;
    }
  }

  // The game screen shows the session's game; Running and ShowDebug stay this machine's own.
  static void Show(Program& program, const Session& session) {
    const GameState* state = session.state();
    if (state == nullptr) return;
    GameModel& game = program.game;
    const bool running = game.Running;
    const bool show_debug = game.ShowDebug;
    game = state->game;
    game.Running = running;
    game.ShowDebug = show_debug;
  }

  NetworkGame game_;
  bool code_said_ = false;
  bool way_said_ = false;
  bool start_said_ = false;
  bool failure_said_ = false;
};

}  // namespace

std::unique_ptr<Match> MakeNetworkMatch(NetworkGame game) {
  return std::make_unique<NetworkMatch>(std::move(game));
}

}  // namespace kraylo
