// The peak memory of a benchmark's child process.
#pragma once

#include <fstream>
#include <string>

// The peak resident memory of this process so far, in kilobytes; -1 when /proc cannot tell.
// Read from /proc rather than getrusage: the kernel carries ru_maxrss over an exec, so a child
// started by a large benchmark process would report its parent's peak instead of its own.
inline long PeakResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}
