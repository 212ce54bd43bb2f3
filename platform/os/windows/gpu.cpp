#include "platform/os/os_services.h"

namespace kraylo {

// Every Windows machine has a display adapter; whether it draws on a graphics processor or on the
// CPU (a virtual machine, an adapter without its maker's driver) its GL tells.
bool MayHaveGpu() { return true; }

}  // namespace kraylo
