// The real machine's clock and random numbers: plain C++, for the SDL backend and the benchmarks.
#pragma once

#include <chrono>
#include <random>

#include "platform/platform.h"

namespace kraylo {

// Monotonic seconds from the steady clock, and the local time of day.
class MachineClock : public Clock {
 public:
  double Seconds() override;
  CalendarTime Now() override;

 private:
  // One second before the clock was made, so that every reading is positive.
  std::chrono::steady_clock::time_point origin_ =
      std::chrono::steady_clock::now() - std::chrono::seconds(1);
};

// A Mersenne twister; a fixed sequence until the first reseed, as the program asks for chance
// only after reseeding.
class MtRandom : public Random {
 public:
  void Reseed() override;
  float Next() override;

 private:
  std::mt19937 generator_;
};

}  // namespace kraylo
