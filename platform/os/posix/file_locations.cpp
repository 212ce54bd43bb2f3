// Where a POSIX system keeps the program's files: the XDG folders, and the data folder installed
// apart from the executable or beside it.
#include "platform/os/os_services.h"

namespace kraylo {

FileLocations SystemFileLocations(const std::string& executable_folder, LocationProbe& probe) {
  return FindFileLocations(executable_folder, kInstalledData, probe);
}

}  // namespace kraylo
