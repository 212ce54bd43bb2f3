#include <filesystem>

#include "platform/os/os_services.h"

namespace kraylo {

// A machine with no graphics device node at all (a server, a container, most Xvfb sessions) has
// GL only as a CPU rasteriser, and asking which one would load it (Mesa's LLVM, some 60 MB) for
// nothing.
bool MayHaveGpu() {
  std::error_code ignored;
  return std::filesystem::exists("/dev/dri", ignored) ||
         std::filesystem::exists("/dev/nvidiactl", ignored);
}

}  // namespace kraylo
