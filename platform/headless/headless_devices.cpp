#include "platform/headless/headless_devices.h"

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
