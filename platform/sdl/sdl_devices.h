// The real machine's clock, random numbers, keyboard and number format.
#pragma once

#include <chrono>
#include <random>

#include "platform/keyboard_api_core.h"
#include "platform/platform.h"

namespace kraylo {

// Monotonic seconds from the steady clock, and the local time of day.
class SteadyClock : public Clock {
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

// The keyboard over SDL's key state, which SDL keeps while the window has the keyboard focus.
class SdlKeyboard : public KeyboardApiCore {
 public:
  explicit SdlKeyboard(const Faults& faults) : KeyboardApiCore(faults) {}

 protected:
  void ReadKeys(KeyTable& table) override;
};

// The decimal separator of the user's locale (LC_NUMERIC from the environment); '.' when the
// locale cannot be had or its separator is not a single byte.
char LocaleDecimalSeparator();

}  // namespace kraylo
