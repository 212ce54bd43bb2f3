// A tick's direction keys as one byte and back, and per ball.
#include "input/directions.h"

#include <gtest/gtest.h>

namespace kraylo {
namespace {

TEST(Directions, EveryByteSurvivesATableAndOnlyTheDirectionKeysAreTouched) {
  for (int value = 0; value < 256; ++value) {
    const auto directions = static_cast<Directions>(value);
    KeyTable table{};
    table[key_index::kEscape] = table[key_index::kTab] = key_index::kHeld;
    SetDirections(table, directions);
    EXPECT_EQ(DirectionsOf(table), directions);
    EXPECT_EQ(table[key_index::kEscape], key_index::kHeld);
    EXPECT_EQ(table[key_index::kTab], key_index::kHeld);
    int held = 0;
    for (uint8_t byte : table) held += byte != 0 ? 1 : 0;
    EXPECT_EQ(held, 2 + __builtin_popcount(static_cast<unsigned>(value)));
  }
}

TEST(Directions, BitsNameTheArrowsForBallOneAndADWSForBallTwo) {
  const struct {
    uint8_t key;
    int ball;
    Directions four;  // Left 1, Right 2, Up 4, Down 8
  } cases[] = {{key_index::kLeft, 1, 1}, {key_index::kRight, 1, 2}, {key_index::kUp, 1, 4},
               {key_index::kDown, 1, 8}, {key_index::kA, 2, 1},     {key_index::kD, 2, 2},
               {key_index::kW, 2, 4},    {key_index::kS, 2, 8}};
  for (const auto& c : cases) {
    KeyTable table{};
    table[c.key] = key_index::kHeld;
    const Directions directions = DirectionsOf(table);
    EXPECT_EQ(directions, ForBall(c.four, c.ball)) << int{c.key};
    EXPECT_EQ(BallDirections(directions, c.ball), c.four) << int{c.key};
    EXPECT_EQ(BallDirections(directions, 3 - c.ball), 0) << int{c.key};
  }
}

}  // namespace
}  // namespace kraylo
