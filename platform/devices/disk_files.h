// Files on the local disk, for both backends: the program folder, whole-file reads and appends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/devices/faults.h"
#include "platform/platform.h"

namespace kraylo {

class DiskFiles : public Files {
 public:
  // `program_folder` without a trailing separator; `faults` must outlive this object.
  DiskFiles(std::string program_folder, const Faults& faults);

  // The folder given at construction.
  std::string ProgramFolder() override;
  // The bytes of a regular file. Raises 53 "File not found: <path>" (with the reason when the
  // file exists but cannot be opened, or is not a regular file), and 75 when reading fails or
  // the file holds more than `max_bytes` bytes.
  std::string ReadFile(const std::string& path, size_t max_bytes = SIZE_MAX) override;
  // Appends the bytes, creating the file (mode 0644 before umask) when missing; the file is
  // closed on return. Raises 75 "Path/File access error: <path> (<reason>)".
  void AppendFile(const std::string& path, const std::string& bytes) override;
  // As AppendFile, but the file is emptied first.
  void WriteFile(const std::string& path, const std::string& bytes) override;

 private:
  // Opens `path` for writing with `flags` added, writes every byte and closes it; raises 75.
  static void Write(const std::string& path, const std::string& bytes, int flags);

  std::string program_folder_;
  const Faults& faults_;
};

// The folder of the running executable without a trailing separator ("" for the root folder).
// Raises 75 when the system cannot say where the executable is.
std::string ExecutableFolder();

}  // namespace kraylo
