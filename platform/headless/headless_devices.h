// The headless machine's clock, random numbers, keyboard and pads: all of them set by the test.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "platform/devices/faults.h"
#include "platform/devices/keyboard_api_core.h"
#include "platform/devices/pads_core.h"
#include "platform/platform.h"

namespace kraylo {

// A clock that moves only when told to.
class HeadlessClock : public Clock {
 public:
  double Seconds() override { return seconds_; }
  CalendarTime Now() override { return now_; }
  void Advance(double seconds) { seconds_ += seconds; }
  void SetNow(const CalendarTime& now) { now_ = now; }

 private:
  double seconds_ = 1.0;  // positive from the first reading on
  CalendarTime now_{2000, 1, 1, 0, 0, 0};
};

// Scripted values, or a fixed sequence when none are scripted; reseeding changes neither.
class HeadlessRandom : public Random {
 public:
  void Reseed() override {}
  float Next() override;
  void Script(std::vector<float> values);

 private:
  std::vector<float> values_;
  size_t next_ = 0;
  std::mt19937 fixed_;
};

// A keyboard whose held keys are a table the test fills.
class HeadlessKeyboard : public KeyboardApiCore {
 public:
  explicit HeadlessKeyboard(const Faults& faults) : KeyboardApiCore(faults) {}
  KeyTable& held() { return held_; }

 protected:
  void ReadKeys(KeyTable& table) override { table = held_; }

 private:
  KeyTable held_{};
};

// A sound output whose buffers the test asks for; Open fails with the armed kOpenAudio fault's
// description, and waits while the test holds it (a slow sound server). Open may run on a thread
// of its own.
class HeadlessAudio final : public AudioOutput {
 public:
  explicit HeadlessAudio(const Faults& faults) : faults_(faults) {}
  std::string Open(Fill fill) override;
  void Close() override;
  bool IsOpen() const;
  // The next `frames` samples of the output; silence while it is closed.
  std::vector<int16_t> Pull(size_t frames);
  // While held, Open waits (for 10 seconds at most) before it opens or fails.
  void HoldOpen(bool held);

 private:
  const Faults& faults_;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  Fill fill_;
};

// Pads the test plugs in and works; mapping files are counted, not applied.
class HeadlessPads final : public PadsCore {
 public:
  // The lines of the file that are neither blank nor remarks; 0 without the file.
  int AddMappings(const std::string& path) override;
  const std::vector<std::string>& mapping_files() const { return mapping_files_; }

 private:
  std::vector<std::string> mapping_files_;  // every path asked for
};

}  // namespace kraylo
