#include "platform/os/os_services.h"

namespace kraylo {

// Windows keeps to the window's own framebuffer.
bool MayHaveGpu() { return false; }

}  // namespace kraylo
