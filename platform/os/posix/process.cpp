// The process around the program on POSIX: the arguments are UTF-8 already, and stderr is
// wherever the caller put it.
#include "platform/os/os_services.h"

namespace kraylo {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool StandardErrorUnseen() { return false; }

}  // namespace kraylo
