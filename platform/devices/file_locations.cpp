#include "platform/devices/file_locations.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/data_files.h"

namespace kraylo {
namespace {

constexpr const char* kConfigName = "config.cfg";
constexpr const char* kErrorLogName = "Debug.txt";
constexpr const char* kProgramName = "kraylo";
constexpr const char* kWindowsProgramName = "Kraylo";
constexpr const char* kPortableMarker = "portable.txt";

// An XDG base folder: the variable when it holds an absolute path, else `fallback` under $HOME;
// nothing when neither can be had.
std::optional<std::string> BaseFolder(LocationProbe& probe, const char* variable,
                                      const char* fallback) {
  const auto absolute = [](const std::optional<std::string>& path) {
    return path && !path->empty() && path->front() == '/';
  };
  std::optional<std::string> set = probe.Environment(variable);
  if (absolute(set)) return set;
  const std::optional<std::string> home = probe.Environment("HOME");
  if (absolute(home)) return *home + "/" + fallback;
  return std::nullopt;
}

std::string ForwardSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// A per-user folder of Windows (%APPDATA%, %LOCALAPPDATA%) with our folder in it.
std::optional<std::string> WindowsUserFolder(LocationProbe& probe, const char* variable) {
  const std::optional<std::string> set = probe.Environment(variable);
  if (!set) return std::nullopt;
  const std::string path = ForwardSlashes(*set);
  const bool on_drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                        path[1] == ':' && path[2] == '/';
  if (!on_drive && path.rfind("//", 0) != 0) return std::nullopt;
  return path + (path.back() == '/' ? "" : "/") + kWindowsProgramName;
}

}  // namespace

const char* const kInstalledData = KRAYLO_INSTALLED_DATA;

FileLocations LocationsInFolder(const std::string& program_folder) {
  const std::string data = program_folder + "/" + std::string(kDataFolder);
  return {data, data + "/" + kConfigName, program_folder + "/" + kErrorLogName};
}

FileLocations FindFileLocations(const std::string& executable_folder,
                                const std::string& installed_data, LocationProbe& probe) {
  FileLocations locations = LocationsInFolder(executable_folder);
  const std::string installed =
      std::filesystem::path(executable_folder + "/" + installed_data).lexically_normal().string();
  // Only an installed program keeps its data away from the executable; a program folder without
  // its data folder is still the program's own (its missing files are reported there).
  const bool is_installed = !probe.IsFolder(locations.data_folder) && probe.IsFolder(installed);
  if (is_installed) {
    locations.data_folder = installed;
    locations.config_file = installed + "/" + kConfigName;
  }

  if (const auto config_home = BaseFolder(probe, "XDG_CONFIG_HOME", ".config")) {
    const std::string own = *config_home + "/" + kProgramName + "/" + kConfigName;
    if (probe.IsFile(own)) locations.config_file = own;
  }

  if (is_installed || !probe.CanWriteIn(executable_folder)) {
    const auto state_home = BaseFolder(probe, "XDG_STATE_HOME", ".local/state");
    if (state_home) {
      locations.error_log = *state_home + "/" + kProgramName + "/" + kErrorLogName;
    } else {
      locations.error_log.clear();
      locations.no_error_log_reason = "neither XDG_STATE_HOME nor HOME is set";
    }
  }
  return locations;
}

FileLocations FindWindowsFileLocations(const std::string& executable_folder, LocationProbe& probe) {
  const std::string folder = ForwardSlashes(executable_folder);
  FileLocations locations = LocationsInFolder(folder);
  if (probe.IsFile(folder + "/" + kPortableMarker)) return locations;
  if (const auto roaming = WindowsUserFolder(probe, "APPDATA")) {
    const std::string own = *roaming + "/" + kConfigName;
    if (probe.IsFile(own)) locations.config_file = own;
  }
  const auto local = WindowsUserFolder(probe, "LOCALAPPDATA");
  if (local) {
    locations.error_log = *local + "/" + kErrorLogName;
  } else {
    locations.error_log.clear();
    locations.no_error_log_reason = "LOCALAPPDATA is not set";
  }
  return locations;
}

}  // namespace kraylo
