// Network games met by code, as the program makes them: two NetworkGames over ENet on 127.0.0.1
// and a meeting service of our own on its real sockets in a thread. A code meets the host
// directly, or through the relay when an address is to be hidden; the games agree tick for tick;
// a wrong code or a silent service is said within five seconds.
#include <gtest/gtest.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "game/state_checksum.h"
#include "meet_service/udp_loop.h"
#include "net/enet_transport.h"
#include "net/watch_session.h"
#include "online/network_game.h"
#include "tests/net/fake_network.h"

namespace kraylo::testing {
namespace {

constexpr uint32_t kLoopback = 0x7F000001;
constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;

// A meeting service on 127.0.0.1 on ports of its own, served on a thread until the end.
struct ServiceOnLoopback {
  explicit ServiceOnLoopback(uint16_t meeting_port) : loop(kLoopback) {
    limits.meeting_port = meeting_port;
    limits.echo_port = static_cast<uint16_t>(meeting_port + 1);
    limits.relay_low = static_cast<uint16_t>(meeting_port + 2);
    limits.relay_high = static_cast<uint16_t>(meeting_port + 40);
    up = loop.Listen(limits.meeting_port).empty() && loop.Listen(limits.echo_port).empty();
    service.emplace(HashKey{7, 7, 7}, limits, loop);
    thread = std::thread(
        [this] { loop.Run(*service, stop, [this](double now) { service->Expire(now); }); });
  }
  ~ServiceOnLoopback() {
    const uint64_t one = 1;
    (void)!write(stop, &one, sizeof one);
    thread.join();
    close(stop);
  }
  HostAddress address() const { return {"127.0.0.1", limits.meeting_port}; }

  ServiceLimits limits;
  UdpLoop loop;
  bool up = false;
  std::optional<MeetingService> service;
  int stop = eventfd(0, EFD_CLOEXEC);
  std::thread thread;
};

uint16_t SomePort() {
  std::random_device device;
  return static_cast<uint16_t>(20000 + device() % 20000);
}

NetSettings WithService(const HostAddress& service) {
  NetSettings settings;
  settings.meet_server = service;
  return settings;
}

// One side: its game, and the checksum after each confirmed tick.
struct Side {
  Side(std::unique_ptr<Transport> transport, const NetworkSetup& setup) {
    ConfirmedTickHooks hooks;
    hooks.tick_confirmed = [this](int64_t, Directions, const GameModel& model,
                                  const SeededRandom& random) {
      checksums.push_back(StateChecksum(model, random));
    };
    game.emplace(std::move(transport), setup, HostReach{"127.0.0.1", {}}, hooks);
  }
  std::optional<NetworkGame> game;
  std::vector<uint32_t> checksums;
};

// A spectator by code: its meeting and its session over a socket of its own.
struct Watcher {
  Watcher(Clock& clock, const MeetingPlan& plan)
      : transport(EnetTransport::Unconnected()),
        meeting(*transport, clock, MeetingRole::kWatcher, plan,
                Offer{kProtocolVersion, 1, 1, 0, 0, {}}, 60),
        session(*transport, clock) {}
  void Serve() {
    meeting.Serve();
    session.Serve();
  }
  std::unique_ptr<EnetTransport> transport;
  Meeting meeting;
  WatchSession session;
};

// Both sides on the real clock (ENet's timers run on it), a frame every 5 ms and a tick every 30.
struct MetGame {
  MetGame(const NetworkSetup& host_setup, NetworkSetup join_setup,
          std::optional<MeetingPlan> watch_plan = std::nullopt)
      : host(EnetTransport::Listen(0, "127.0.0.1"), host_setup),
        join_later(std::move(join_setup)),
        watch_later(std::move(watch_plan)) {
    host.game->Begin(clock, kWidth, kHeight, 99, StepGame);
  }

  // Runs until `done` or `seconds` have passed; the joiner starts once the host has its code.
  void Run(double seconds, const std::function<bool()>& done) {
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < seconds / 0.005 && !done(); ++frame) {
      clock.now =
          1 + std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      const Meeting* meeting = host.game->meeting();
      if (!joiner && meeting->code()) {
        join_later.meeting.code = meeting->code();
        joiner.emplace(EnetTransport::Unconnected(), join_later);
        joiner->game->Begin(clock, kWidth, kHeight, 0, StepGame);
        if (watch_later) {
          watch_later->code = meeting->code();
          watcher.emplace(clock, *watch_later);
        }
      }
      if (watcher) watcher->Serve();
      for (Side* side : {&host, joiner ? &*joiner : nullptr}) {
        if (side == nullptr) continue;
        side->game->Serve();
        if (clock.now >= next_tick) side->game->session()->Tick(Directions{});
      }
      if (clock.now >= next_tick) next_tick += 0.03;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  ManualClock clock;
  double next_tick = 1;
  Side host;
  NetworkSetup join_later;
  std::optional<MeetingPlan> watch_later;
  std::optional<Side> joiner;
  std::optional<Watcher> watcher;
};

TEST(MeetingGame, ACodeMeetsTheHostDirectlyOrThroughTheRelayWhenAnAddressIsHidden) {
  ServiceOnLoopback service(SomePort());
  ASSERT_TRUE(service.up);
  const NetSettings settings = WithService(service.address());
  const struct {
    bool host_hides;
    bool joiner_hides;
    MeetingStage path;
  } cases[] = {{false, false, MeetingStage::kDirect},
               {true, false, MeetingStage::kRelayed},
               {false, true, MeetingStage::kRelayed}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.host_hides << c.joiner_hides);
    HostGame host_game;
    host_game.port_mapping = false;
    host_game.hide_address = c.host_hides;
    CodeJoin code_join;
    code_join.hide_address = c.joiner_hides;
    // A spectator by code beside them, hiding its address when the joiner does.
    MetGame met(HostSetup(host_game, settings, 5), CodeJoinSetup(code_join, settings, 6),
                CodePlan({}, c.joiner_hides, settings, 7, "Watching"));
    met.Run(10, [&] {
      return met.joiner && met.host.checksums.size() >= 60 && met.joiner->checksums.size() >= 60 &&
             met.watcher->session.inputs().size() >= 60;
    });
    ASSERT_TRUE(met.joiner);
    EXPECT_EQ(met.host.game->meeting()->stage(), c.path);
    EXPECT_EQ(met.joiner->game->meeting()->stage(), c.path);
    EXPECT_EQ(met.watcher->meeting.stage(), c.path);
    EXPECT_GE(met.watcher->session.inputs().size(), 60u) << "the spectator sees the game";
    EXPECT_EQ(met.host.game->session()->watchers(), 1);
    ASSERT_GE(met.joiner->checksums.size(), 60u);
    ASSERT_GE(met.host.checksums.size(), 60u);
    EXPECT_TRUE(std::equal(met.joiner->checksums.begin(), met.joiner->checksums.begin() + 60,
                           met.host.checksums.begin()));
  }
}

TEST(MeetingGame, ARelayedGameGoesOnAfterTheServiceRestartsWithItsKey) {
  const uint16_t port = SomePort();
  std::optional<ServiceOnLoopback> service(std::in_place, port);
  ASSERT_TRUE(service->up);
  NetSettings settings = WithService(service->address());
  settings.hide_address = true;
  HostGame host_game;
  host_game.port_mapping = false;
  MetGame met(HostSetup(host_game, settings, 5), CodeJoinSetup(CodeJoin{}, settings, 6));
  met.Run(10, [&] { return met.joiner && met.joiner->checksums.size() >= 60; });
  ASSERT_TRUE(met.joiner && met.joiner->checksums.size() >= 60);
  service.reset();
  met.Run(1.5, [] { return false; });
  service.emplace(port);
  ASSERT_TRUE(service->up);
  const size_t before = met.joiner->checksums.size();
  met.Run(15, [&] { return met.joiner->checksums.size() >= before + 60; });
  EXPECT_GE(met.joiner->checksums.size(), before + 60) << "the game went on";
  EXPECT_EQ(met.joiner->game->session()->phase(), Phase::kPlaying);
  const size_t both = std::min(met.host.checksums.size(), met.joiner->checksums.size());
  EXPECT_TRUE(std::equal(met.host.checksums.begin(), met.host.checksums.begin() + both,
                         met.joiner->checksums.begin()));
}

TEST(MeetingGame, AWrongCodeOrASilentServiceIsSaidWithinFiveSeconds) {
  ServiceOnLoopback service(SomePort());
  ASSERT_TRUE(service.up);
  HostGame host_game;
  host_game.port_mapping = false;
  const struct {
    const char* what;
    HostAddress service;
    const char* failure;
  } cases[] = {{"a code of no game", service.address(), "No game has the code"},
               {"no service there",
                {"127.0.0.1", static_cast<uint16_t>(service.limits.relay_high + 1)},
                "does not answer, or this network blocks UDP"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const NetSettings settings = WithService(c.service);
    CodeJoin code_join;
    code_join.code = RoomCode{12345};
    ManualClock clock;
    Side joiner(EnetTransport::Unconnected(), CodeJoinSetup(code_join, settings, 1));
    joiner.game->Begin(clock, kWidth, kHeight, 0, StepGame);
    const Meeting& meeting = *joiner.game->meeting();
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < 600 && meeting.stage() != MeetingStage::kFailed; ++frame) {
      clock.now =
          1 + std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      joiner.game->Serve();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(meeting.stage(), MeetingStage::kFailed);
    EXPECT_LE(clock.now - 1, 5.0);
    EXPECT_NE(meeting.failure().find(c.failure), std::string::npos) << meeting.failure();
  }
}

TEST(MeetingGame, AnAddressToHideOrACodeNeedsAServiceAndAHiddenAddressNoGameByAddress) {
  NetSettings none;
  HostGame hidden_host;
  hidden_host.hide_address = true;
  NetSettings hiding = WithService({"127.0.0.1", kMeetingPort});
  hiding.hide_address = true;
  const struct {
    const char* what;
    std::function<void()> setup;
    const char* said;
  } cases[] = {
      {"a hidden host without a service", [&] { HostSetup(hidden_host, none, 1); },
       "set [Net] meetServer"},
      {"a code without a service", [&] { CodeJoinSetup(CodeJoin{}, none, 1); },
       "Joining by code needs a meeting service"},
      {"a hidden joiner by address", [&] { JoinSetup(JoinGame{}, hiding); },
       "join by the host's code"},
  };
  for (const auto& c : cases) {
    try {
      c.setup();
      ADD_FAILURE() << c.what << " was taken";
    } catch (const RunError& error) {
      EXPECT_NE(error.description().find(c.said), std::string::npos) << error.description();
    }
  }
}

}  // namespace
}  // namespace kraylo::testing
