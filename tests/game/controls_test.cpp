// The players' keys: Esc, Tab, and steering freely apart but only away from the other in contact.
#include "game/controls.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/keys.h"
#include "tests/game/game_fakes.h"

namespace kraylo {
namespace {

TEST(ReadControlsTest, EscStopsAndTabTogglesEachTickWhileTheCountDownBlocksSteering) {
  GameModel game = Model(349, 249, 451, 351);
  game.Dropped = true;
  HeldKeys keys{key_index::kTab, key_index::kLeft, key_index::kW};
  ReadControls(game, keys);
  EXPECT_TRUE(game.ShowDebug && game.Running);
  keys.Hold({key_index::kEscape});
  ReadControls(game, keys);
  EXPECT_FALSE(game.ShowDebug || game.Running);
  // Both would be negative had the keys acted.
  EXPECT_EQ(game.Balls(1).MX + game.Balls(2).MY, 0);
}

// A steering key and the velocity it changes: MX or MY of ball 1, then of ball 2.
struct Key {
  const char* name;
  uint8_t code;
  size_t velocity;
  double delta;  // pixels per tick
};

constexpr Key kKeys[] = {{"Left", key_index::kLeft, 0, -1}, {"Right", key_index::kRight, 0, 1},
                         {"Up", key_index::kUp, 1, -1},     {"Down", key_index::kDown, 1, 1},
                         {"A", key_index::kA, 2, -1},       {"D", key_index::kD, 2, 1},
                         {"W", key_index::kW, 3, -1},       {"S", key_index::kS, 3, 1}};

// The centre of ball 2 minus that of ball 1 (pixels), and the keys that act.
using Layout = std::tuple<double, double, std::set<std::string>>;

TEST(ReadControlsTest, KeysSteerFreelyApartAndOnlyAwayFromTheOtherBallInContact) {
  const std::set<std::string> every_key = {"Left", "Right", "Up", "Down", "A", "D", "W", "S"};
  for (const auto& [dx, dy, acting] :
       {Layout{102, 0, every_key}, Layout{101.998, 0, every_key}, Layout{101, 0, {"Left", "D"}},
        Layout{-101, 0, {"Right", "A"}}, Layout{0, 101, {"Up", "S"}},
        Layout{0, -101, {"Down", "W"}}, Layout{50, 50, {"Left", "Up", "D", "S"}},
        Layout{-50, -50, {"Right", "Down", "A", "W"}}, Layout{0, 0, {}},
        // Offsets round half to even: half a pixel is level, 1.5 and 2.5 lie to the side.
        Layout{0.5, 50, {"Up", "S"}}, Layout{-0.5, 50, {"Up", "S"}}, Layout{1.5, 0, {"Left", "D"}},
        Layout{2.5, 0, {"Left", "D"}}, Layout{-1.5, 0, {"Right", "A"}}}) {
    for (const Key& key : kKeys) {
      GameModel game = Model(300, 300, 300 + dx, 300 + dy);
      HeldKeys keys{key.code};
      ReadControls(game, keys);
      std::vector<double> expected(4, 0.0);
      if (acting.count(key.name)) expected[key.velocity] = key.delta;
      const TBall &first = game.Balls(1), &second = game.Balls(2);
      EXPECT_EQ((std::vector{first.MX, first.MY, second.MX, second.MY}), expected)
          << key.name << " with ball 2 at " << dx << ", " << dy;
      EXPECT_EQ(first.X, 300);
    }
  }
}

}  // namespace
}  // namespace kraylo
