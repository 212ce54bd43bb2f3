// Where Windows keeps the program's files: the data folder beside the executable, the user's
// configuration and error log in the per-user folders.
#include "platform/os/os_services.h"

namespace kraylo {

FileLocations SystemFileLocations(const std::string& executable_folder, LocationProbe& probe) {
  return FindWindowsFileLocations(executable_folder, probe);
}

}  // namespace kraylo
