#include "platform/devices/file_locations.h"

#include <filesystem>

namespace kraylo {
namespace {

constexpr const char* kDataFolderName = "dorvane";
constexpr const char* kConfigName = "config.cfg";
constexpr const char* kErrorLogName = "Debug.txt";
constexpr const char* kProgramName = "kraylo";

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

}  // namespace

const char* const kInstalledData = KRAYLO_INSTALLED_DATA;

FileLocations LocationsInFolder(const std::string& program_folder) {
  const std::string data = program_folder + "/" + kDataFolderName;
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
    locations.error_log =
        state_home ? *state_home + "/" + kProgramName + "/" + kErrorLogName : std::string();
  }
  return locations;
}

}  // namespace kraylo
