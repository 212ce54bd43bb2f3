#include "platform/headless/headless_devices.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/devices/unit_float.h"

namespace kraylo {

float HeadlessRandom::Next() {
  if (values_.empty()) return UnitFloat(fixed_);
  const float value = values_[next_];
  if (next_ + 1 < values_.size()) ++next_;
  return value;
}

void HeadlessRandom::Script(std::vector<float> values) {
  values_ = std::move(values);
  next_ = 0;
}

std::string HeadlessAudio::Open(Fill fill) {
  std::unique_lock lock(mutex_);
  fill_ = nullptr;
  constexpr std::chrono::seconds kLongestHold{10};
  released_.wait_for(lock, kLongestHold, [this] { return !held_; });
  try {
    faults_.Check(Fault::kOpenAudio);
  } catch (const RunError& error) {
    return error.description();
  }
  fill_ = std::move(fill);
  return "";
}

void HeadlessAudio::Close() {
  const std::lock_guard lock(mutex_);
  fill_ = nullptr;
}

bool HeadlessAudio::IsOpen() const {
  const std::lock_guard lock(mutex_);
  return static_cast<bool>(fill_);
}

void HeadlessAudio::HoldOpen(bool held) {
  {
    const std::lock_guard lock(mutex_);
    held_ = held;
  }
  released_.notify_all();
}

std::vector<int16_t> HeadlessAudio::Pull(size_t frames) {
  const std::lock_guard lock(mutex_);
  std::vector<int16_t> samples(frames, 0);
  // In buffers of the real output's size, as its thread would ask.
  for (size_t done = 0; fill_ && done < frames; done += kAudioBufferFrames) {
    const size_t count = std::min<size_t>(kAudioBufferFrames, frames - done);
    fill_(std::span<int16_t>(samples).subspan(done, count));
  }
  return samples;
}

int HeadlessPads::AddMappings(const std::string& path) {
  mapping_files_.push_back(path);
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return 0;
  std::ifstream file(path);
  if (!std::filesystem::is_regular_file(path, ignored) || !file) {
    Raise(kErrFileAccess,
          "Path/File access error: the pad mappings in " + path + " cannot be read");
  }
  int mappings = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.find_first_not_of(" \t\r") != std::string::npos && line[0] != '#') ++mappings;
  }
  return mappings;
}

}  // namespace kraylo
