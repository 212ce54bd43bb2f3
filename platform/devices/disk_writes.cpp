// What the file access of every system shares: the faults a test arms, ahead of the system's own
// writing (os/<system>/disk_files.cpp).
#include <fcntl.h>

#include <utility>

#include "platform/devices/disk_files.h"

namespace kraylo {

DiskFiles::DiskFiles(FileLocations locations, const Faults& faults)
    : locations_(std::move(locations)), faults_(faults) {}

void DiskFiles::AppendFile(const std::string& path, const std::string& bytes) {
  faults_.Check(Fault::kAppendFile);
  Write(path, bytes, O_APPEND);
}

void DiskFiles::WriteFile(const std::string& path, const std::string& bytes) {
  faults_.Check(Fault::kWriteFile);
  Write(path, bytes, O_TRUNC);
}

}  // namespace kraylo
