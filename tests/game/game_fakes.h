// Stand-ins the game tests drive the simulation with: scripted chance, held keys, a ready model.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "game/motion.h"
#include "tests/support/test_helpers.h"

namespace kraylo {

// Returns the scripted numbers in order, then 0; counts re-seeds and draws.
class ScriptedRandom : public Random {
 public:
  explicit ScriptedRandom(std::vector<float> values = {}) : values_(std::move(values)) {}
  void Reseed() override { ++reseeds; }
  float Next() override { return ++draws <= values_.size() ? values_[draws - 1] : 0.0f; }
  int reseeds = 0;
  size_t draws = 0;

 private:
  std::vector<float> values_;
};

// A keyboard whose keys the test holds and releases.
class HeldKeys : public KeySource {
 public:
  HeldKeys(std::initializer_list<uint8_t> keys = {}) { Hold(keys); }
  const KeyTable& Poll() override { return table_; }
  void Hold(std::initializer_list<uint8_t> keys) {
    for (uint8_t key : keys) table_[key] = 0x80;
  }
  void ReleaseAll() { table_.fill(0); }

 private:
  KeyTable table_{};
};

// A running game on a width x height screen (pixels) with balls 1 and 2 visible and at rest.
inline GameModel Model(double x1, double y1, double x2, double y2, int32_t width = 800,
                       int32_t height = 600) {
  GameModel game;
  game.ScreenWidth = width;
  game.ScreenHeight = height;
  game.Running = true;
  game.Balls(1) = TBall{x1, y1, 0, 0, true};
  game.Balls(2) = TBall{x2, y2, 0, 0, true};
  return game;
}

// Runs `ticks` ticks with nothing left to chance.
inline void Tick(GameModel& game, HeldKeys& keys, int ticks = 1) {
  ScriptedRandom random;
  for (int tick = 0; tick < ticks; ++tick) MoveTick(game, keys, random);
}

}  // namespace kraylo
