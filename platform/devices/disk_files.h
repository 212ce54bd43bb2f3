// Files on the local disk, for both backends: where the program's files are, whole-file reads,
// appends and folders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/devices/faults.h"
#include "platform/devices/file_locations.h"
#include "platform/platform.h"

namespace kraylo {

class DiskFiles : public Files {
 public:
  // `faults` must outlive this object.
  DiskFiles(FileLocations locations, const Faults& faults);

  // The locations given at construction.
  std::string DataFolder() override { return locations_.data_folder; }
  std::string ConfigFile() override { return locations_.config_file; }
  std::string ErrorLogFile() override { return locations_.error_log; }
  std::string NoErrorLogReason() override { return locations_.no_error_log_reason; }
  // The bytes of a regular file. Raises 53 "File not found: <path>" (with the reason when the
  // file exists but cannot be opened, or is not a regular file), and 75 when reading fails or
  // the file holds more than `max_bytes` bytes.
  std::string ReadFile(const std::string& path, size_t max_bytes = SIZE_MAX) override;
  // Appends the bytes, creating the file (mode 0644 before umask) when missing; the file is
  // closed on return. Raises 75 "Path/File access error: <path> (<reason>)".
  void AppendFile(const std::string& path, const std::string& bytes) override;
  // As AppendFile, but the file is emptied first.
  void WriteFile(const std::string& path, const std::string& bytes) override;
  // Creates the missing folders with mode 0700, as the XDG rules ask of folders made on the
  // user's behalf. Raises 75 naming the folder that could not be made.
  void CreateFolders(const std::string& path) override;

 private:
  // Opens `path` for writing with `flags` added, writes every byte and closes it; raises 75.
  static void Write(const std::string& path, const std::string& bytes, int flags);

  FileLocations locations_;
  const Faults& faults_;
};

// The machine's own disk for finding the locations: stat and access, and an environment given
// as a function (the process's for the real machine, the test's own for the headless one).
class DiskProbe : public LocationProbe {
 public:
  using Lookup = std::function<std::optional<std::string>(const std::string& name)>;
  explicit DiskProbe(Lookup environment) : environment_(std::move(environment)) {}

  bool IsFolder(const std::string& path) override;
  bool IsFile(const std::string& path) override;
  bool CanWriteIn(const std::string& path) override;
  std::optional<std::string> Environment(const std::string& name) override {
    return environment_(name);
  }

 private:
  Lookup environment_;
};

// The process's environment, for DiskProbe.
std::optional<std::string> ProcessEnvironment(const std::string& name);

// The folder of the running executable without a trailing separator ("" for the root folder).
// Raises 75 when the system cannot say where the executable is.
std::string ExecutableFolder();

}  // namespace kraylo
