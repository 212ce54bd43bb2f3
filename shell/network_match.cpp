#include "shell/network_match.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "game/motion.h"
#include "game/seeded_random.h"
#include "input/directions.h"
#include "net/enet_transport.h"
#include "platform/keys.h"
#include "portmap/natpmp_router.h"
#include "portmap/upnp_router.h"
#include "shell/program.h"

namespace kraylo {
namespace {

const char* const kEscEnds = "Esc ends the game";

std::string Field(int32_t width, int32_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// Why the two sides cannot play, as the joiner's player reads it.
std::vector<std::string> RefusalLines(const Refusal& refusal, const SessionSettings& own) {
  switch (refusal.reason) {
    case RefusalReason::kVersion:
      return {"The host speaks protocol version " + std::to_string(refusal.their_version) +
                  ", this game version " + std::to_string(kProtocolVersion),
              kEscEnds};
    case RefusalReason::kFieldSize:
      return {"The host's field is " + Field(refusal.their_width, refusal.their_height) +
                  ", this one " + Field(own.width, own.height),
              "Both need the same dispX and dispY. " + std::string(kEscEnds)};
    case RefusalReason::kHasPlayer:
      break;
  }
  return {"The host is playing with someone else already", kEscEnds};
}

// Who the host turned away while it waits for the right player.
std::string TurnedAwayLine(const Refusal& refusal, const SessionSettings& own) {
  if (refusal.reason == RefusalReason::kVersion) {
    return "Turned away a player with protocol version " + std::to_string(refusal.their_version) +
           " (this game: version " + std::to_string(kProtocolVersion) + ")";
  }
  return "Turned away a player whose field is " + Field(refusal.their_width, refusal.their_height) +
         " (this one: " + Field(own.width, own.height) + ")";
}

// Where the host can be reached from this network and from elsewhere, as far as it is known.
std::vector<std::string> ReachLines(const HostReach& reach, const PortMapping* mapping,
                                    uint16_t port) {
  const std::string udp_port = "UDP port " + std::to_string(port);
  const std::string on_port = ":" + std::to_string(port);
  std::vector<std::string> lines;
  if (!reach.lan_address.empty()) {
    lines.push_back("For a player on this network: " + reach.lan_address + on_port);
  }
  if (mapping == nullptr) {
    lines.push_back("For a player elsewhere, open " + udp_port + " on the router by hand");
    return lines;
  }
  const MappingStatus status = mapping->status();
  switch (status.state) {
    case MappingState::kAsking:
      lines.push_back("Asking the router to open " + udp_port);
      break;
    case MappingState::kMapped:
      lines.push_back("For a player elsewhere: " + status.port.external_address + ":" +
                      std::to_string(status.port.external_port));
      if (IsPrivateOrShared(status.port.external_address)) {
        lines.push_back(
            "But the router's outside address is not on the internet: it sits "
            "behind another router, which must open " +
            udp_port + " too");
      }
      break;
    case MappingState::kNotMapped:
      lines.push_back("The router did not open " + udp_port + " (" + status.why +
                      "): open it by hand, or let the other player host");
      break;
  }
  return lines;
}

class NetworkMatch final : public Match {
 public:
  NetworkMatch(std::unique_ptr<Transport> transport, const NetworkOptions& network, uint64_t seed,
               ConfirmedTickHooks hooks, HostReach reach)
      : transport_(std::move(transport)),
        network_(network),
        seed_(seed),
        hooks_(std::move(hooks)),
        reach_(std::move(reach)) {}

  void Tick(Program& program, const KeyTable& local) override {
    Session* session = SessionFor(program);
    // Esc and Tab act here, once, on the live tick; the ticks of the game never see them, nor do
    // they ever come from the other side.
    if (local[dik::kEscape] != 0) {
      program.game.Running = false;
      if (session != nullptr) session->Quit();
    }
    if (local[dik::kTab] != 0) program.game.ShowDebug = !program.game.ShowDebug;
    if (session == nullptr) return;
    if (session->phase() != Phase::kQuit) session->Tick(EitherSet(DirectionsOf(local)));
    Show(program);
  }

  void Serve(Program& program) override {
    Session* session = SessionFor(program);
    if (session == nullptr) return;
    session->Serve();
    Show(program);
  }

  std::vector<std::string> OverlayLines() const override {
    if (!session_) return {};
    const std::optional<double> round_trip = session_->round_trip();
    const int delay = network_.input_delay;
    std::vector<std::string> lines = {
        "Round Trip: " + (round_trip ? std::to_string(std::lround(*round_trip * 1000)) + " ms"
                                     : std::string("not measured yet")),
        "Input Delay: " + std::to_string(delay) + (delay == 1 ? " tick" : " ticks"),
        "Rollbacks Per Second: " + std::to_string(std::lround(session_->rollbacks_per_second())),
    };
    const SessionStats stats = session_->stats();
    const int64_t ignored =
        stats.malformed + stats.unknown_type + stats.from_strangers + stats.unexpected;
    if (ignored > 0) lines.push_back("Packets Ignored: " + std::to_string(ignored));
    return lines;
  }

  std::vector<std::string> Messages() const override {
    if (!session_) return {};
    const Session& session = *session_;
    switch (session.phase()) {
      case Phase::kConnecting:
        return {"Connecting to " + network_.peer + ":" + std::to_string(network_.port)};
      case Phase::kWaiting: {
        std::vector<std::string> lines = {"Waiting for the other player"};
        if (session.settings().role == Role::kHost) {
          for (std::string& line : ReachLines(reach_, mapping_.get(), network_.port)) {
            lines.push_back(std::move(line));
          }
        }
        if (session.turned_away()) {
          lines.push_back(TurnedAwayLine(*session.turned_away(), session.settings()));
        }
        return lines;
      }
      case Phase::kPlaying:
        if (session.interrupted()) return {"The connection is interrupted"};
        return {};
      case Phase::kReconnecting:
        return {"Connection lost, reconnecting (" +
                std::to_string(static_cast<int>(std::ceil(session.reconnect_seconds_left()))) +
                " s left)"};
      case Phase::kLeft:
        return {"The other player left", kEscEnds};
      case Phase::kOutOfStep:
        return {
            "Out of step with the other player at tick " + std::to_string(session.desync_tick()),
            kEscEnds};
      case Phase::kRefused:
        return RefusalLines(session.refusal(), session.settings());
      case Phase::kQuit:
        break;
    }
    return {};
  }

 private:
  // The session begins with the first frame, once start-up has read the field's size; a field
  // without pixels (a display that could not be set up) has no game to play.
  Session* SessionFor(Program& program) {
    if (program.game.ScreenWidth < 1 || program.game.ScreenHeight < 1) return nullptr;
    if (!session_) {
      SessionSettings settings;
      settings.role = network_.host ? Role::kHost : Role::kJoin;
      settings.input_delay = network_.input_delay;
      settings.width = program.game.ScreenWidth;
      settings.height = program.game.ScreenHeight;
      settings.seed = seed_;
      settings.token = DrawSeed(program.system.random());
      if (program.options.network) {
        settings.reconnect_seconds = program.options.network->reconnect_seconds;
      }
      // Every run of a tick, a guessed one or one run again, is heard once at most.
      GameSounds& sounds = program.sound.game;
      session_.emplace(*transport_, program.system.clock(), settings,
                       [&sounds](GameState& state, Directions input, int64_t tick) {
                         TickEvents events;
                         MoveTick(state.game, input, state.random, &events);
                         sounds.Ran(tick, events);
                       });
      session_->SetHooks(hooks_);
      // Start-up has read [Net] by now.
      const bool map_port = program.options.network && program.options.network->port_mapping;
      if (network_.host && map_port && reach_.map_port) mapping_ = reach_.map_port(network_.port);
    }
    return &*session_;
  }

  // The game screen shows the session's game; Running and ShowDebug stay this machine's own.
  void Show(Program& program) const {
    const GameState* state = session_->state();
    if (state == nullptr) return;
    GameModel& game = program.game;
    const bool running = game.Running;
    const bool show_debug = game.ShowDebug;
    game = state->game;
    game.Running = running;
    game.ShowDebug = show_debug;
  }

  std::unique_ptr<Transport> transport_;
  NetworkOptions network_;
  uint64_t seed_;
  ConfirmedTickHooks hooks_;
  HostReach reach_;
  // Declared after the transport: the router forgets the port before the socket closes.
  std::unique_ptr<PortMapping> mapping_;
  std::optional<Session> session_;
};

}  // namespace

std::unique_ptr<Match> MakeNetworkMatch(std::unique_ptr<Transport> transport,
                                        const NetworkOptions& network, uint64_t seed,
                                        ConfirmedTickHooks hooks, HostReach reach) {
  return std::make_unique<NetworkMatch>(std::move(transport), network, seed, std::move(hooks),
                                        std::move(reach));
}

HostReach MachineHostReach(const std::string& test_router) {
  HostReach reach;
  reach.lan_address = LanAddress();
  reach.map_port = [test_router](uint16_t port) {
    // The NAT-PMP gateway is the UPnP router's host: "http://HOST:PORT/...".
    // A setting that is no such URL is no address NAT-PMP can take either: it is asked nowhere.
    std::string gateway = test_router;
    if (const size_t scheme = test_router.find("://"); scheme != std::string::npos) {
      const size_t host = scheme + 3;
      gateway = test_router.substr(host, test_router.find_first_of(":/", host) - host);
    }
    std::vector<std::unique_ptr<RouterProtocol>> routers;
    routers.push_back(MakeUpnpRouter(test_router));
    routers.push_back(MakeNatpmpRouter(gateway));
    return std::make_unique<PortMapping>(port, std::move(routers));
  };
  return reach;
}

std::unique_ptr<Transport> OpenTransport(const NetworkOptions& network) {
  if (network.host) return EnetTransport::Listen(network.port);
  return EnetTransport::Connect(network.peer, network.port);
}

}  // namespace kraylo
