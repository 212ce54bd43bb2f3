// A tick's direction keys as one byte and back, and per ball.
#include "input/directions.h"

#include <gtest/gtest.h>

namespace kraylo {
namespace {

TEST(Directions, EveryByteSurvivesATableAndOnlyTheDirectionKeysAreTouched) {
  for (int value = 0; value < 256; ++value) {
    const auto directions = static_cast<Directions>(value);
    KeyTable table{};
    table[dik::kEscape] = table[dik::kTab] = dik::kHeld;
    SetDirections(table, directions);
    EXPECT_EQ(DirectionsOf(table), directions);
    EXPECT_EQ(table[dik::kEscape], dik::kHeld);
    EXPECT_EQ(table[dik::kTab], dik::kHeld);
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
  } cases[] = {{dik::kLeft, 1, 1}, {dik::kRight, 1, 2}, {dik::kUp, 1, 4}, {dik::kDown, 1, 8},
               {dik::kA, 2, 1},    {dik::kD, 2, 2},     {dik::kW, 2, 4},  {dik::kS, 2, 8}};
  for (const auto& c : cases) {
    KeyTable table{};
    table[c.key] = dik::kHeld;
    const Directions directions = DirectionsOf(table);
    EXPECT_EQ(directions, ForBall(c.four, c.ball)) << int{c.key};
    EXPECT_EQ(BallDirections(directions, c.ball), c.four) << int{c.key};
    EXPECT_EQ(BallDirections(directions, 3 - c.ball), 0) << int{c.key};
  }
}

}  // namespace
}  // namespace kraylo
