// Where the program's files are on this machine: the data folder (sprite sheets and the default
// configuration), the configuration in use, and the error log. Found once, when the machine
// starts, from where the executable is and the user's XDG folders.
#pragma once

#include <optional>
#include <string>

namespace kraylo {

struct FileLocations {
  std::string data_folder;  // holds graph/ and the default config.cfg; no trailing separator
  std::string config_file;  // the config.cfg read
  std::string error_log;    // Debug.txt; empty when there is no folder to put it in
  // When error_log is empty, why: the system's own variables that would have named its folder.
  std::string no_error_log_reason = {};
};

// What finding the locations needs to know of the machine.
class LocationProbe {
 public:
  virtual ~LocationProbe() = default;
  virtual bool IsFolder(const std::string& path) = 0;
  virtual bool IsFile(const std::string& path) = 0;
  // Whether a file can be created in the folder at `path`.
  virtual bool CanWriteIn(const std::string& path) = 0;
  // An environment variable's value; nothing when it is not set.
  virtual std::optional<std::string> Environment(const std::string& name) = 0;
};

// The data folder: "dorvane" beside the executable (a build tree, an unpacked folder), else the
// installed one at `installed_data` relative to the executable's folder (so a moved prefix still
// works). The configuration: $XDG_CONFIG_HOME/kraylo/config.cfg (default ~/.config/...) when it
// exists, else the data folder's. The error log: Debug.txt in the executable's folder when the
// program runs from there and can write there, else $XDG_STATE_HOME/kraylo/Debug.txt (default
// ~/.local/state/...). An XDG variable that is empty or not an absolute path counts as unset.
FileLocations FindFileLocations(const std::string& executable_folder,
                                const std::string& installed_data, LocationProbe& probe);

// The same on Windows, where the data folder is always beside the executable: the configuration
// is %APPDATA%/Kraylo/config.cfg when it exists, else the data folder's; the error log goes to
// %LOCALAPPDATA%/Kraylo/. A file portable.txt beside the executable keeps everything in the
// program's folder. Paths use '/', which Windows takes as well as a backslash; a variable that
// is no absolute path (a drive and a colon, or a server's share) counts as unset.
FileLocations FindWindowsFileLocations(const std::string& executable_folder, LocationProbe& probe);

// Where an installed data folder lies from the installed executable's folder, as the build's
// install folders have it ("../share/kraylo/dorvane" by default).
extern const char* const kInstalledData;

// The locations of a program that runs from `program_folder` with its data folder beside it.
FileLocations LocationsInFolder(const std::string& program_folder);

}  // namespace kraylo
