// One person against the computer: the person's keys on ball 1, the computer's on ball 2 and
// nothing else; the rounds from a seed; the overlay; the choice of opponent by the command line
// and [Main]; and a whole game the computer wins while the person holds no key.
#include <gtest/gtest.h>

#include <cmath>

#include "game/motion.h"
#include "game/state_checksum.h"
#include "input/key_source.h"
#include "shell/matches/computer_match.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

// A program on the headless machine at the start of a first round on the 800 x 600 screen.
struct FirstRound {
  FirstRound() : machine(folder.path()), program(machine) {
    GameModel& game = program.game;
    game.ScreenWidth = 800;
    game.ScreenHeight = 600;
    game.Running = true;
    game.Balls(1) = TBall{349, 249, 0, 0, true};
    game.Balls(2) = TBall{451, 351, 0, 0, true};
  }
  TempFolder folder;
  HeadlessSystem machine;
  Program program;
};

// The person's keys at tick `tick`: each key set in turn, both, none, Tab and Esc now and then.
KeyTable PersonKeys(int tick) {
  KeyTable table{};
  const uint8_t keys[][2] = {{key_index::kLeft, 0},
                             {key_index::kW, key_index::kD},
                             {0, 0},
                             {key_index::kUp, key_index::kS},
                             {key_index::kRight, key_index::kA},
                             {key_index::kTab, key_index::kDown}};
  for (uint8_t key : keys[(tick / 7) % 6]) {
    if (key != 0) table[key] = key_index::kHeld;
  }
  if (tick == 1999) table[key_index::kEscape] = key_index::kHeld;
  return table;
}

TEST(ComputerMatch, TheSimulationSeesThePersonsKeysOnBall1AndTheComputersOnBall2Only) {
  FirstRound first;
  Program& program = first.program;
  ComputerMatch match(Level::kHard, 5, true);

  // The same game by hand: the local table with the direction keys the match reports, the
  // rounds from the same seed, and a computer of its own to say what ball 2 should hold.
  GameModel by_hand = program.game;
  SeededRandom rounds(5);
  Opponent computer(Level::kHard, 5, 2);
  int drops = 0;
  for (int tick = 0; tick < 2000; ++tick) {
    const KeyTable local = PersonKeys(tick);
    const Directions person = DirectionsOf(local);
    match.Tick(program, local);
    const Directions both = match.last_directions();
    ASSERT_EQ(BallDirections(both, 1), BallDirections(person, 1) | BallDirections(person, 2))
        << "either key set steers ball 1, tick " << tick;
    ASSERT_EQ(BallDirections(both, 2), computer.Decide(by_hand)) << "tick " << tick;

    KeyTable table = local;
    SetDirections(table, both);
    TableKeys keys(table);
    const bool was_dropped = by_hand.Dropped;
    MoveTick(by_hand, keys, rounds);
    drops += by_hand.Dropped && !was_dropped ? 1 : 0;
    ASSERT_EQ(StateChecksum(program.game, rounds), StateChecksum(by_hand, rounds)) << tick;
    ASSERT_EQ(program.game.ShowDebug, by_hand.ShowDebug) << "Tab acts, tick " << tick;
  }
  EXPECT_GE(drops, 2) << "rounds ended and new ones were placed from the seed";
  EXPECT_FALSE(program.game.Running) << "Esc held at a tick ends the game";
}

// The checksum after `ticks` ticks of a computer game without a person's key, the machine's
// generator scripted with `chance`.
uint32_t GameAfter(bool seeded_rounds, float chance, int ticks) {
  FirstRound first;
  first.machine.ScriptRandom({chance});
  ComputerMatch match(Level::kHard, 3, seeded_rounds);
  for (int tick = 0; tick < ticks; ++tick) match.Tick(first.program, KeyTable{});
  return StateChecksum(first.program.game, SeededRandom(0));
}

TEST(ComputerMatch, WithASeedTheRoundsArePlacedFromItAndNotFromTheMachine) {
  EXPECT_EQ(GameAfter(true, 0.1f, 1500), GameAfter(true, 0.9f, 1500));
  EXPECT_NE(GameAfter(false, 0.1f, 1500), GameAfter(false, 0.9f, 1500));
}

TEST(ComputerMatch, TheOverlayShowsTheLevelTheTargetWhatItDoesAndItsKeys) {
  FirstRound first;
  Program& program = first.program;
  ComputerMatch match(Level::kNormal, 1, true);
  match.Tick(program, KeyTable{});
  EXPECT_EQ(match.OverlayLines(),
            (std::vector<std::string>{"Computer: normal", "Computer waits for the round"}))
      << "it has not seen the round long enough to answer it";
  for (int tick = 0; tick < 10; ++tick) match.Tick(program, KeyTable{});
  const std::vector<std::string> lines = match.OverlayLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Computer: normal");
  EXPECT_EQ(lines[1].rfind("Computer target: ", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find(", "), std::string::npos) << lines[1];
  EXPECT_TRUE(lines[2] == "Computer charges" || lines[2].rfind("Computer gets behind", 0) == 0 ||
              lines[2].rfind("Computer goes round", 0) == 0)
      << lines[2];
  EXPECT_EQ(lines[3].rfind("Computer keys: ", 0), 0u) << lines[3];
}

// The level of the computer that plays ball 2 after start-up, or nullopt for a second person.
std::optional<Level> ComputerLevel(const Program& program) {
  const auto* computer = dynamic_cast<const ComputerMatch*>(program.match.get());
  if (computer == nullptr) return std::nullopt;
  return computer->level();
}

TEST(ChooseOpponent, TheCommandLineWinsOverMainAndMainOverTheDefault) {
  const struct {
    const char* main;            // lines added to [Main]
    bool computer;               // --computer
    std::optional<Level> level;  // its LEVEL
    std::optional<Level> plays;  // the computer's level, or nullopt for a second person
  } cases[] = {
      {"", false, std::nullopt, std::nullopt},
      {"opponent = person\r\nlevel = hard\r\n", false, std::nullopt, std::nullopt},
      {"opponent = computer\r\n", false, std::nullopt, Level::kNormal},
      {"opponent = computer\r\nlevel = hard\r\n", false, std::nullopt, Level::kHard},
      {"opponent =  Computer \r\nlevel = EASY\r\n", false, std::nullopt, Level::kEasy},
      {"", true, std::nullopt, Level::kNormal},
      {"", true, Level::kEasy, Level::kEasy},
      {"opponent = person\r\n", true, std::nullopt, Level::kNormal},
      {"level = hard\r\n", true, std::nullopt, Level::kHard},
      {"opponent = computer\r\nlevel = easy\r\n", true, Level::kHard, Level::kHard},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.main) + (c.computer ? " --computer" : ""));
    Session s;
    s.WriteConfig(Config() + c.main);
    if (c.computer) s.program.options.mode = ComputerGame{c.level};
    s.EndFrom(1);
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(ComputerLevel(s.program), c.plays);
  }
}

TEST(ChooseOpponent, InANetworkGameMainsComputerIsPassedOverButItsValuesAreStillChecked) {
  Session s;
  s.WriteConfig(Config() + "opponent = computer\r\nlevel = hard\r\n");
  s.program.options.mode = TypedJoin{};
  s.EndFrom(1);
  EXPECT_EQ(s.Run(), 0);
  EXPECT_EQ(ComputerLevel(s.program), std::nullopt) << "the other player has ball 2";

  Session bad;
  bad.WriteConfig(Config() + "opponent = robot\r\n");
  bad.program.options.mode = TypedJoin{};
  bad.EndFrom(1);
  EXPECT_NE(bad.Run(), 0);
  EXPECT_EQ(bad.machine.ErrorReports().size(), 1u) << "the bad line is reported as always";
}

TEST(ChooseOpponent, AValueItDoesNotKnowIsAConfigurationErrorNamingTheLineAndTheFile) {
  const struct {
    const char* line;
    const char* wanted;
  } cases[] = {
      {"opponent = robot", "computer or person"},
      {"opponent = ", "computer or person"},
      {"opponent = computer hard", "computer or person"},
      {"level = medium", "easy, normal or hard"},
      {"level = ", "easy, normal or hard"},
      {"level = 3", "easy, normal or hard"},
  };
  for (const auto& c : cases) {
    for (bool computer : {false, true}) {
      SCOPED_TRACE(std::string(c.line) + (computer ? " --computer hard" : ""));
      Session s;
      s.WriteConfig(Config() + c.line + "\r\n");
      if (computer) s.program.options.mode = ComputerGame{Level::kHard};
      EXPECT_NE(s.Run(), 0);
      ASSERT_EQ(s.machine.ErrorReports().size(), 1u);
      EXPECT_EQ(s.machine.ErrorReports()[0],
                "Run-time error 5: Invalid procedure call or argument: the line \"" +
                    std::string(c.line) + "\" in section [Main] of " + s.folder +
                    "/dorvane/config.cfg has a value other than " + c.wanted);
      EXPECT_EQ(s.machine.FramesShown(), 0);
    }
  }
}

TEST(ComputerGame, WithNoKeyHeldTheComputerPushesBall1OverAnEdgeAndEscEndsTheGame) {
  Session s;
  s.program.options.mode = ComputerGame{Level::kHard};
  s.machine.SetYieldStep(0.03);  // a tick per frame
  const Bitmap balls = LoadSheet("balls.bmp");
  int lost_at = 0;
  bool shown = false;
  s.AtFrame(2, [&] { Click(s.machine, 400, 260); });
  for (int f = 3; f < 2500; ++f) {
    s.AtFrame(f, [&, f] {
      const GameModel& game = s.program.game;
      if (lost_at == 0 && game.Dropped && game.DroppedPlayer == 1) lost_at = f;
      // A frame later the losing look of ball 1 is on the screen, cut where it stands.
      if (lost_at != 0 && f == lost_at + 1) {
        const TBall& ball = game.Balls(1);
        shown = CellShownAt(*s.machine.LastFrame(), balls, {0, 0, 102, 102},
                            static_cast<int32_t>(std::lround(ball.X - 51)),
                            static_cast<int32_t>(std::lround(ball.Y - 51)));
        s.machine.HeldKeys()[key_index::kEscape] = key_index::kHeld;
      }
    });
  }
  EXPECT_EQ(s.Run(), 0);
  EXPECT_NE(lost_at, 0) << "ball 1 went over an edge";
  EXPECT_LT(lost_at, 1000) << "within 30 s of play";
  EXPECT_TRUE(shown) << "drawn in its losing look";
  EXPECT_FALSE(s.program.game.Running);
}

}  // namespace
}  // namespace kraylo::testing
