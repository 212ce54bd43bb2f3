// The timer tmrMove: stopped until started, ticking only within yields, at most one tick per
// yield, missed ticks coalesced into one, one tick per 30 ms on average.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless_system.h"

namespace kraylo {
namespace {

TEST(Timer, TicksAtMostOncePerYieldAndOncePerThirtyMillisecondsOnAverage) {
  const struct {
    const char* what;
    double step;  // seconds the clock moves per yield
    bool start;
    double stall;  // seconds passing after the start, before the first yield
    int yields;
    int ticks;
  } cases[] = {
      {"not started", 0.016, false, 0, 200, 0},
      {"the first tick not before 30 ms", 0.001, true, 0, 29, 0},
      {"the first tick at 30 ms", 0.001, true, 0, 31, 1},
      {"time passing without a yield delivers nothing", 0, true, 0.5, 0, 0},
      {"a stall gives one tick, not a burst", 0.001, true, 1.0, 1, 1},
      {"the next tick comes 30 ms after the late one", 0.001, true, 1.0, 29, 1},
      {"and then on time", 0.001, true, 1.0, 32, 2},
      {"60 Hz yields for 48 s", 0.016, true, 0, 3001, 1600},
      {"yields slower than the timer get one tick each", 0.050, true, 0, 100, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HeadlessSystem machine(::testing::TempDir());
    machine.SetYieldStep(c.step);
    int ticks = 0;
    WindowEvents events;
    events.timer_tick = [&] { ++ticks; };
    events.activate = [&] {
      if (c.start) machine.window().StartTimer();
      machine.AdvanceClock(c.stall);
      for (int i = 0; i < c.yields; ++i) {
        const int before = ticks;
        machine.window().Yield();
        ASSERT_LE(ticks - before, 1) << "at yield " << i;
      }
      machine.window().Unload();
    };
    EXPECT_EQ(machine.Run(events), 0);
    EXPECT_EQ(ticks, c.ticks);
    EXPECT_EQ(machine.TimerRunning(), c.start);
  }
}

}  // namespace
}  // namespace kraylo
