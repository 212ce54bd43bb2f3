// Helpers shared by the tests: caught run-time errors and a scratch folder on disk.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "platform/run_error.h"

namespace kraylo {

// The error `action` raised, or nullopt when it returned normally.
inline std::optional<RunError> CaughtError(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunError& error) {
    return error;
  }
  return std::nullopt;
}

// The number of the error `action` raised, or 0 when it returned normally.
inline int32_t ErrorNumberOf(const std::function<void()>& action) {
  const std::optional<RunError> error = CaughtError(action);
  return error ? error->number() : 0;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    // A name no other test run holds: created here, or taken by someone else and tried anew.
    std::random_device entropy;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::filesystem::path candidate = base / ("kraylo-" + std::to_string(entropy()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        path_ = candidate.generic_string();
        return;
      }
    }
    std::abort();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing separator.
  const std::string& path() const { return path_; }
  // Writes a file below the folder (relative with '/'), creating its folders.
  void Write(const std::string& relative, const std::string& content) const {
    const std::filesystem::path file = std::filesystem::path(path_) / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }
  // The whole content of a file below the folder ("" when it is missing).
  std::string Read(const std::string& relative) const {
    std::ostringstream content;
    content << std::ifstream(std::filesystem::path(path_) / relative, std::ios::binary).rdbuf();
    return content.str();
  }

 private:
  std::string path_;
};

}  // namespace kraylo
