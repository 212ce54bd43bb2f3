// A network game as the player meets it: what the game screen says while it waits or after it
// stopped (inside the field, from 320 x 200 to 1920 x 1080), Esc and Tab acting on this machine
// only, either key set steering this player's ball, the overlay's network lines; and a whole run
// through the menu against another session.
#include "shell/matches/network_match.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "game/motion.h"
#include "replay/replay_check.h"
#include "replay/replay_file.h"
#include "replay/replay_writer.h"
#include "shell/matches/recorded_rounds.h"
#include "tests/display/field_fit.h"
#include "tests/net/fake_network.h"
#include "tests/shell/session.h"
#include "tests/support/memory_files.h"

namespace kraylo::testing {
namespace {

constexpr uint64_t kSeed = 4242;
using Lines = std::vector<std::string>;

SessionSettings OtherSide(Role role, int32_t width = 800, int32_t height = 600) {
  SessionSettings settings;
  settings.role = role;
  settings.width = width;
  settings.height = height;
  settings.seed = kSeed;
  return settings;
}

// This machine's program with a network match over an in-memory transport, and the other side:
// a session of its own, or (`raw`) only a transport the test speaks through.
struct NetworkProgram {
  explicit NetworkProgram(bool host, std::optional<SessionSettings> other_side = std::nullopt,
                          bool connect = true, const StepFunction& other_step = StepGame,
                          double one_way = 0.02, ConfirmedTickHooks hooks = {},
                          HostReach reach = {}, bool map_port = true)
      : machine("/nonexistent"), program(machine), other_transport(machine.clock()) {
    auto transport = std::make_unique<FakeTransport>(machine.clock());
    if (connect) Connect(*transport, other_transport, one_way);
    program.game.ScreenWidth = 800;
    program.game.ScreenHeight = 600;
    program.game.Running = true;
    NetworkSetup setup;
    setup.role = host ? Role::kHost : Role::kJoin;
    setup.address = {"127.0.0.1", 27910};
    setup.map_port = map_port;
    setup.seed = kSeed;
    program.match = MakeNetworkMatch(
        NetworkGame(std::move(transport), setup, std::move(reach), std::move(hooks)));
    if (other_side) other.emplace(other_transport, machine.clock(), *other_side, other_step);
  }

  // `seconds` of play, a millisecond at a time: both sides serve; every 30 ms this side ticks
  // with `keys` and the other side (when `other_plays`) with `other_keys`.
  void Play(double seconds, const KeyTable& keys = {}, Directions other_keys = 0,
            bool other_plays = true) {
    for (int ms = 0; ms < static_cast<int>(seconds * 1000); ++ms) {
      machine.AdvanceClock(0.001);
      program.match->Serve(program);
      if (other) other->Serve();
      if (++elapsed_ms % 30 != 0) continue;
      program.match->Tick(program, keys);
      if (other && other_plays) other->Tick(other_keys);
    }
  }
  Lines Messages() const { return program.match->Messages(); }

  HeadlessSystem machine;
  Program program;
  FakeTransport other_transport;
  std::optional<kraylo::Session> other;
  int elapsed_ms = 0;
};

KeyTable Held(std::initializer_list<uint8_t> keys) {
  KeyTable table{};
  for (uint8_t key : keys) table[key] = key_index::kHeld;
  return table;
}

const char* const kByHand = "For a player elsewhere, open UDP port 27910 on the router by hand";

// A router that answers at once, as told, and counts the mappings removed.
class InstantRouter final : public RouterProtocol {
 public:
  InstantRouter(std::optional<std::string> external, std::atomic<int>& removed)
      : external_(std::move(external)), removed_(removed) {}
  const char* name() const override { return "UPnP"; }
  RouterAnswer Map(uint16_t port, uint32_t, Deadline) override {
    if (!external_) return {std::nullopt, "refused"};
    return {MappedPort{*external_, port, false}, ""};
  }
  bool Unmap(uint16_t, Deadline) override { return ++removed_ > 0; }

 private:
  std::optional<std::string> external_;
  std::atomic<int>& removed_;
};

TEST(NetworkMatch, TheHostsWaitingScreenSaysWhereItIsReachedFromThisNetworkAndFromElsewhere) {
  const struct {
    const char* what;
    std::optional<std::string> external;
    bool port_mapping;
    Lines said;
  } cases[] = {
      {"mapped", "203.0.113.7", true, {"For a player elsewhere: 203.0.113.7:27910"}},
      {"mapped behind another router",
       "100.64.1.2",
       true,
       {"For a player elsewhere: 100.64.1.2:27910",
        "But the router's outside address is not on the internet: it sits behind another "
        "router, which must open UDP port 27910 too"}},
      {"refused",
       std::nullopt,
       true,
       {"The router did not open UDP port 27910 (refused): open it by hand, or let the other "
        "player host"}},
      {"port mapping off", "203.0.113.7", false, {kByHand}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::atomic<int> removed{0};
    HostReach reach{"192.168.1.20", [&](uint16_t port) {
                      std::vector<std::unique_ptr<RouterProtocol>> routers;
                      routers.push_back(std::make_unique<InstantRouter>(c.external, removed));
                      return std::make_unique<PortMapping>(port, std::move(routers));
                    }};
    NetworkProgram host(true, std::nullopt, false, StepGame, 0.02, {}, std::move(reach),
                        c.port_mapping);
    host.Play(0.1);
    Lines said = {"Waiting for the other player",
                  "For a player on this network: 192.168.1.20:27910"};
    said.insert(said.end(), c.said.begin(), c.said.end());
    // The router's thread answers at once, but not within the same millisecond.
    for (int wait = 0; wait < 200 && host.Messages() != said; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(host.Messages(), said);
    ExpectInsideTheField(said, std::string("waiting, ") + c.what);
    // However the program ends (Esc, an error's report, a signal), the match goes with it.
    host.program.match.reset();
    EXPECT_EQ(removed, c.port_mapping && c.external ? 1 : 0) << "the mapping removed";
  }
}

TEST(NetworkMatch, TheGameScreenSaysWhatTheGameWaitsFor) {
  {
    NetworkProgram joiner(false, std::nullopt, false);
    joiner.Play(0.1);
    EXPECT_EQ(joiner.Messages(), Lines{"Connecting to 127.0.0.1:27910"});
    ExpectInsideTheField(joiner.Messages(), "connecting");
  }
  {
    NetworkProgram host(true, std::nullopt, false);
    host.Play(0.1);
    EXPECT_EQ(host.Messages(), Lines({"Waiting for the other player", kByHand}));
  }
  {
    // Connected, but the other player is still on the menu.
    NetworkProgram host(true, OtherSide(Role::kJoin));
    host.Play(1, {}, 0, false);
    EXPECT_EQ(host.Messages(), Lines({"Waiting for the other player", kByHand}));
    host.Play(1);
    EXPECT_EQ(host.Messages(), Lines{}) << "playing";
    EXPECT_EQ(host.other->phase(), Phase::kPlaying);
  }
}

TEST(NetworkMatch, TheGameScreenSaysWhyTheGameStoppedOrCannotBegin) {
  const struct {
    const char* what;
    bool host;
    bool other_session;  // the other side starts as a session (else the case makes it)
    std::function<void(NetworkProgram&)> happen;
    Lines said;
  } cases[] = {
      {"the other side falls silent",
       true,
       true,
       [](NetworkProgram& p) {
         p.Play(1);
         p.other.reset();
         p.Play(0.8);
       },
       {"The connection is interrupted"}},
      {"the other side goes on being silent",
       false,
       true,
       [](NetworkProgram& p) {
         p.Play(1);
         p.other.reset();
         p.Play(5.1);
       },
       {"Connection lost, reconnecting (55 s left)"}},
      {"the other side stays silent past the host's limit",
       false,
       true,
       [](NetworkProgram& p) {
         p.Play(1);
         p.other.reset();
         p.Play(60.1);
       },
       {"The connection to the other player could not be restored", "Esc ends the game"}},
      {"the other player leaves",
       false,
       true,
       [](NetworkProgram& p) {
         p.Play(1);
         p.other->Quit();
         p.Play(0.1);
       },
       {"The other player left", "Esc ends the game"}},
      {"the host's field differs",
       false,
       false,
       [](NetworkProgram& p) {
         p.other.emplace(p.other_transport, p.machine.clock(), OtherSide(Role::kHost, 1024, 768));
         p.Play(0.5);
       },
       {"The host's field is 1024x768, this one 800x600",
        "Both need the same dispX and dispY. Esc ends the game"}},
      {"the joiner's field differs",
       true,
       false,
       [](NetworkProgram& p) {
         p.other.emplace(p.other_transport, p.machine.clock(), OtherSide(Role::kJoin, 640, 480));
         p.Play(0.5);
       },
       {"Waiting for the other player", kByHand,
        "Turned away a player whose field is 640x480 (this one: 800x600)"}},
      {"the host speaks version 4",
       false,
       false,
       [](NetworkProgram& p) {
         p.Play(0.1);
         p.other_transport.Send(1, Channel::kControl,
                                Encode(WelcomePacket{1, 800, 600, 2}, 4).bytes());
         p.Play(0.1);
       },
       {"The host speaks protocol version 4, this game version 3", "Esc ends the game"}},
      {"a joiner speaks version 4",
       true,
       false,
       [](NetworkProgram& p) {
         p.Play(0.1);
         p.other_transport.Send(1, Channel::kControl, Encode(HelloPacket{800, 600}, 4).bytes());
         p.Play(0.1);
       },
       {"Waiting for the other player", kByHand,
        "Turned away a player with protocol version 4 (this game: version 3)"}},
      {"the host has a player",
       false,
       false,
       [](NetworkProgram& p) {
         p.Play(0.1);
         p.other_transport.Send(1, Channel::kControl,
                                Encode(RefusePacket{RefusalReason::kHasPlayer, 800, 600}).bytes());
         p.Play(0.1);
       },
       {"The host is playing with someone else already", "Esc ends the game"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    NetworkProgram p(c.host, c.other_session
                                 ? std::optional(OtherSide(c.host ? Role::kJoin : Role::kHost))
                                 : std::nullopt);
    c.happen(p);
    EXPECT_EQ(p.Messages(), c.said);
    ExpectInsideTheField(p.Messages(), c.what);
  }
}

TEST(NetworkMatch, WithoutAFieldThereIsNoGameToPlayButEscStillEnds) {
  // A display that could not be set up leaves the program with its log and the Exit button.
  NetworkProgram host(true, OtherSide(Role::kJoin));
  host.program.game.ScreenWidth = 0;
  host.Play(0.5);
  EXPECT_EQ(host.Messages(), Lines{});
  EXPECT_EQ(host.other->phase(), Phase::kConnecting) << "never welcomed";
  host.Play(0.03, Held({key_index::kEscape}));
  EXPECT_FALSE(host.program.game.Running);
}

TEST(NetworkMatch, TwoStatesApartAreOutOfStepAtTheTickTheyParted) {
  const StepFunction wrong_at_100 = [](GameState& state, Directions input, int64_t tick) {
    StepGame(state, input, tick);
    if (tick == 100) state.game.Balls(2).X += 1;
  };
  NetworkProgram host(true, OtherSide(Role::kJoin), true, wrong_at_100);
  host.Play(6, {}, 0);
  EXPECT_EQ(host.Messages(),
            (Lines{"Out of step with the other player at tick 100", "Esc ends the game"}));
  EXPECT_EQ(host.other->phase(), Phase::kOutOfStep);
}

TEST(NetworkMatch, EscAndTabActOnceOnTheLiveTickAndOnThisMachineOnly) {
  NetworkProgram host(true, OtherSide(Role::kJoin), true, StepGame, 0.05);
  host.Play(1);
  ASSERT_FALSE(host.program.game.ShowDebug);
  // Tab held for three ticks while the other player's keys change at every tick, so that this side
  // keeps going back and running ticks again: the overlay switches three times, no more.
  for (int tick = 0; tick < 3; ++tick) {
    host.Play(0.03, Held({key_index::kTab}), tick % 2 == 0 ? 0x01 : 0x02);
  }
  EXPECT_TRUE(host.program.game.ShowDebug);
  for (int tick = 0; tick < 10; ++tick) host.Play(0.03, {}, tick % 2 == 0 ? 0x04 : 0x08);
  EXPECT_TRUE(host.program.game.ShowDebug) << "not touched by the ticks run again";
  EXPECT_TRUE(host.program.game.Running);
  // Esc: this program ends, and the other side hears of it at once.
  host.Play(0.03, Held({key_index::kEscape}));
  EXPECT_FALSE(host.program.game.Running);
  for (int ms = 0; ms < 100 && host.other->phase() != Phase::kLeft; ++ms) {
    host.machine.AdvanceClock(0.001);
    host.other->Serve();
  }
  EXPECT_EQ(host.other->phase(), Phase::kLeft);
}

TEST(NetworkMatch, EitherKeySetSteersThisPlayersBallAndNeverTheOther) {
  for (const uint8_t up : {key_index::kUp, key_index::kW}) {
    NetworkProgram joiner(false, OtherSide(Role::kHost));
    joiner.Play(1);
    const TBall before = joiner.program.game.Balls(2);
    joiner.Play(0.3, Held({up}));
    joiner.Play(0.3);
    const GameModel& game = joiner.program.game;
    EXPECT_LT(game.Balls(2).Y, before.Y - 20) << "ball 2 went up";
    EXPECT_EQ(game.Balls(1).X, 349);
    EXPECT_EQ(game.Balls(1).Y, 249);
    EXPECT_EQ(joiner.other->state()->game.Balls(2).Y, game.Balls(2).Y) << "on both screens";
  }
}

TEST(NetworkMatch, TheOverlayAddsTheRoundTripTheInputDelayAndTheRollbacksPerSecond) {
  NetworkProgram host(true, OtherSide(Role::kJoin), true, StepGame, 0.05);
  host.Play(0.01);
  EXPECT_EQ(host.program.match->OverlayLines().at(0), "Round Trip: not measured yet");
  host.Play(3);
  Lines lines = host.program.match->OverlayLines();
  ASSERT_EQ(lines.size(), 3u);
  // 100 ms, give or take the millisecond steps the test's clock and the stamps go in.
  EXPECT_TRUE(lines[0] >= "Round Trip: 100 ms" && lines[0] <= "Round Trip: 105 ms") << lines[0];
  EXPECT_EQ(lines[1], "Input Delay: 1 tick");
  EXPECT_EQ(lines[2], "Rollbacks Per Second: 0") << "the other player held nothing";
  // The other player's keys now change every second tick, and they take more than a tick to
  // come: each change was guessed wrong, about 16 a second.
  for (int tick = 0; tick < 100; ++tick) host.Play(0.03, {}, (tick / 2) % 2 ? 0x01 : 0x02);
  lines = host.program.match->OverlayLines();
  const int per_second = std::stoi(lines[2].substr(std::string("Rollbacks Per Second: ").size()));
  EXPECT_GE(per_second, 15);
  EXPECT_LE(per_second, 18);
}

TEST(NetworkMatch, BothSidesRecordTheSameFinalTicksAndTheRecordingsCheckOut) {
  MemoryFiles files;
  ReplayWriter host_writer(files, "/host.krp");
  ReplayWriter join_writer(files, "/join.krp");
  NetworkProgram host(true, OtherSide(Role::kJoin), true, StepGame, 0.05,
                      RecordingHooks(host_writer));
  host.other->SetHooks(RecordingHooks(join_writer));
  // Keys that change every few ticks on both sides and arrive 50 ms late: many guesses are
  // wrong, and only the corrected ticks may reach the files.
  for (int tick = 0; tick < 300; ++tick) {
    host.Play(0.03, tick % 7 < 3 ? Held({key_index::kRight}) : KeyTable{},
              (tick / 5) % 2 ? 0x01 : 0x04);
  }
  host_writer.EndGame();
  join_writer.EndGame();
  EXPECT_GT(host.other->stats().rollbacks, 20);

  const Replay hosts = ParseReplay(files.Content("/host.krp"));
  const Replay joiners = ParseReplay(files.Content("/join.krp"));
  ASSERT_EQ(hosts.games.size(), 1u);
  ASSERT_EQ(joiners.games.size(), 1u);
  const RecordedGame& a = hosts.games[0];
  const RecordedGame& b = joiners.games[0];
  EXPECT_EQ(a.seed, kSeed);
  EXPECT_EQ(b.seed, kSeed);
  EXPECT_GT(a.inputs.size(), 250u);
  EXPECT_GT(b.inputs.size(), 250u);
  // Each side stops at the last tick it knows both sides' keys of; up to there they agree.
  const size_t common = std::min(a.inputs.size(), b.inputs.size());
  EXPECT_TRUE(std::equal(a.inputs.begin(), a.inputs.begin() + static_cast<ptrdiff_t>(common),
                         b.inputs.begin()));
  EXPECT_EQ(CheckReplay(hosts).ticks, a.inputs.size());
  EXPECT_EQ(CheckReplay(joiners).ticks, b.inputs.size());
}

TEST(NetworkMatch, EachEventOfTheCorrectedGameIsHeardOnceThroughTheRollbacks) {
  MemoryFiles files;
  ReplayWriter writer(files, "/host.krp");
  NetworkProgram host(true, OtherSide(Role::kJoin), true, StepGame, 0.05, RecordingHooks(writer));
  SoundBank bank;
  for (auto& sound : bank) sound.assign(100, 1000);
  host.program.sound.player = std::make_unique<SoundPlayer>(bank);
  std::vector<int16_t> buffer(kAudioBufferFrames);
  for (int tick = 0; tick < 1500; ++tick) {
    KeyTable keys{};
    if (tick % 11 < 6)
      keys[tick % 22 < 11 ? key_index::kRight : key_index::kDown] = key_index::kHeld;
    host.Play(0.03, keys, (tick / 4) % 3 == 0 ? 0x01 : (tick / 4) % 3 == 1 ? 0x04 : 0x00);
    PlayGameSounds(host.program);
    host.program.sound.player->Fill(buffer);
  }
  writer.EndGame();
  const RecordedGame game = ParseReplay(files.Content("/host.krp")).games.at(0);
  GameState state;
  StartRecordedGame(state.game, state.random, game);
  uint64_t events = 0;
  for (const Directions input : game.inputs) {
    TickEvents tick;
    MoveTick(state.game, input, state.random, &tick);
    events += static_cast<uint64_t>(tick.contact) + tick.drop + tick.round_start;
  }
  EXPECT_GT(host.other->stats().rollbacks, 100);
  EXPECT_GT(events, 20U);
  EXPECT_EQ(host.program.sound.player->started(), events);
}

// The whole program against another session, through the menu, as the frame loop runs it.
TEST(NetworkPlay, WaitsThenPlaysTheOtherSidesGameThenSaysTheOtherLeftAndEscEndsWithStatus0) {
  Session s;
  s.machine.SetYieldStep(0.003);
  auto own_transport = std::make_unique<FakeTransport>(s.machine.clock());
  FakeTransport other_transport(s.machine.clock());
  Connect(*own_transport, other_transport, 0.02);
  s.program.options.mode = HostGame{};
  s.program.resources.transport = std::move(own_transport);
  std::optional<kraylo::Session> other;
  other.emplace(other_transport, s.machine.clock(), OtherSide(Role::kJoin));
  double next_other_tick = 0;
  bool other_plays = false;
  Directions other_keys = 0;
  std::vector<TextDraw> waiting, left;
  std::optional<int> left_frame;
  int quit_frame = 0;
  for (int frame = 1; frame < 1600; ++frame) {
    s.AtFrame(frame, [&, frame] {
      other->Serve();
      const double now = s.machine.clock().Seconds();
      if (other_plays && now >= next_other_tick) {
        next_other_tick = now + kTickSeconds;
        other->Tick(other_keys);
      }
      if (frame == 5) Click(s.machine, 400, 260);
      if (frame == 60) waiting = s.machine.TextsOfLastFrame();
      if (frame == 100) other_plays = true;
      // Each player pushes their own ball for two ticks: this one right, the other left.
      if (frame == 200) {
        s.machine.HeldKeys()[key_index::kRight] = key_index::kHeld;
        other_keys = 0x01;
      }
      if (frame == 220) {
        s.machine.HeldKeys()[key_index::kRight] = 0;
        other_keys = 0;
      }
      if (frame == 1300) {
        // At rest: the same balls on both sides.
        const GameModel& mine = s.program.game;
        const GameModel& theirs = other->state()->game;
        for (int ball : {1, 2}) {
          EXPECT_EQ(mine.Balls(ball).X, theirs.Balls(ball).X) << ball;
          EXPECT_EQ(mine.Balls(ball).Y, theirs.Balls(ball).Y) << ball;
          EXPECT_EQ(mine.Balls(ball).MX, 0) << ball;
        }
        EXPECT_GT(mine.Balls(1).X, 349 + 5) << "ball 1 went right";
        EXPECT_LT(mine.Balls(2).X, 451 - 5) << "ball 2 went left";
        other->Quit();
        quit_frame = frame;
      }
      if (quit_frame > 0 && !left_frame) {
        for (const TextDraw& text : s.machine.TextsOfLastFrame()) {
          if (text.text == "The other player left") {
            left_frame = frame;
            left = s.machine.TextsOfLastFrame();
          }
        }
      }
    });
  }
  s.EndFrom(1400);
  EXPECT_EQ(s.Run(), 0);
  // "Waiting for the other player", centred on the 800 pixel field a quarter of the way down.
  const auto said = std::find_if(waiting.begin(), waiting.end(), [](const TextDraw& text) {
    return text.text == "Waiting for the other player";
  });
  ASSERT_NE(said, waiting.end());
  Surface& back = *s.program.display.back_buffer;
  back.SetFont(said->font);
  const int32_t width = back.TextWidth(said->text);
  EXPECT_NEAR(said->x + width / 2.0, 400, 1);
  // The block of the message's lines is centred there.
  const auto lines = std::count_if(waiting.begin(), waiting.end(),
                                   [&](const TextDraw& text) { return text.font == said->font; });
  EXPECT_EQ(said->y, 150 - 18 * lines);
  EXPECT_EQ(said->font.face, WindowFont().face);
  ASSERT_TRUE(left_frame);
  EXPECT_LT((*left_frame - quit_frame) * 0.003, 1.0) << "within a second of the other's Esc";
}

}  // namespace
}  // namespace kraylo::testing

namespace kraylo::testing {
namespace {

TEST(NetworkSettings, EachKeyTakesItsOwnValuesElseAnErrorNamingThem) {
  const char* const seconds_wanted = "a whole number of seconds from 5 to 600";
  const char* const truth_wanted = "true or false";
  const struct {
    const char* lines;
    int seconds;  // 0: refused
    bool port_mapping;
    const char* service;  // meetServer as read; "" for none
    bool hide;
    const char* wanted;  // in the refusal
  } cases[] = {
      {"", 60, true, "", false, ""},
      {"[Net]\r\nreconnectSeconds = 5\r\n", 5, true, "", false, ""},
      {"[Net]\r\nreconnectSeconds = 600\r\nportMapping = False\r\n", 600, false, "", false, ""},
      {"[Net]\r\nportMapping =  TRUE \r\n", 60, true, "", false, ""},
      {"[Net]\r\nmeetServer = meet.example\r\nhideAddress = TRUE\r\n", 60, true,
       "meet.example:27911", true, ""},
      {"[Net]\r\nmeetServer = 192.0.2.1:4000\r\n", 60, true, "192.0.2.1:4000", false, ""},
      {"[Net]\r\nmeetServer =\r\n", 60, true, "", false, ""},
      {"[Net]\r\nreconnectSeconds = 4\r\n", 0, true, "", false, seconds_wanted},
      {"[Net]\r\nreconnectSeconds = 601\r\n", 0, true, "", false, seconds_wanted},
      {"[Net]\r\nreconnectSeconds = 1e2\r\n", 0, true, "", false, seconds_wanted},
      {"[Net]\r\nreconnectSeconds = \r\n", 0, true, "", false, seconds_wanted},
      {"[Net]\r\nportMapping = no\r\n", 0, true, "", false, truth_wanted},
      {"[Net]\r\nhideAddress = yes\r\n", 0, true, "", false, truth_wanted},
      {"[Net]\r\nmeetServer = a:b\r\n", 0, true, "", false, "HOST or HOST:PORT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    Session s;
    s.WriteConfig(Config() + c.lines);
    s.program.options.mode = TypedJoin{};
    s.EndFrom(1);
    if (c.seconds == 0) {
      EXPECT_NE(s.Run(), 0);
      ASSERT_EQ(s.machine.ErrorReports().size(), 1u);
      EXPECT_NE(s.machine.ErrorReports()[0].find(c.wanted), std::string::npos);
      continue;
    }
    EXPECT_EQ(s.Run(), 0);
    const NetSettings& read = s.program.net_settings;
    EXPECT_EQ(read.reconnect_seconds, c.seconds);
    EXPECT_EQ(read.port_mapping, c.port_mapping);
    EXPECT_EQ(read.meet_server ? read.meet_server->Text() : "", c.service);
    EXPECT_EQ(read.hide_address, c.hide);
  }
}

}  // namespace
}  // namespace kraylo::testing
