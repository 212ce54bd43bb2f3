// Where the program's files are found: beside the executable or installed, the user's own
// configuration, and where the error log goes.
#include "platform/devices/file_locations.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace kraylo {
namespace {

// A machine made of the folders, files and environment a case names.
class FakeProbe : public LocationProbe {
 public:
  bool IsFolder(const std::string& path) override { return folders.count(path) != 0; }
  bool IsFile(const std::string& path) override { return files.count(path) != 0; }
  bool CanWriteIn(const std::string& path) override { return read_only.count(path) == 0; }
  std::optional<std::string> Environment(const std::string& name) override {
    const auto found = environment.find(name);
    return found == environment.end() ? std::nullopt : std::optional<std::string>(found->second);
  }

  std::set<std::string> folders;
  std::set<std::string> files;
  std::set<std::string> read_only;
  std::map<std::string, std::string> environment;
};

constexpr const char* kInstalled = "../share/kraylo/dorvane";
const std::string kUserConfig = "/home/pat/.config/kraylo/config.cfg";
const std::string kUserLog = "/home/pat/.local/state/kraylo/Debug.txt";

TEST(FileLocations, FollowTheLookupOrderInEveryCase) {
  const std::map<std::string, std::string> home{{"HOME", "/home/pat"}};
  const struct {
    const char* what;
    std::string executable_folder;
    std::set<std::string> folders;
    std::set<std::string> files;
    std::set<std::string> read_only;
    std::map<std::string, std::string> environment;
    FileLocations expected;
  } cases[] = {
      {"beside the executable",
       "/games/kraylo",
       {"/games/kraylo/dorvane"},
       {},
       {},
       home,
       {"/games/kraylo/dorvane", "/games/kraylo/dorvane/config.cfg", "/games/kraylo/Debug.txt"}},
      {"beside it, with an installed copy too",
       "/usr/bin",
       {"/usr/bin/dorvane", "/usr/share/kraylo/dorvane"},
       {},
       {},
       home,
       {"/usr/bin/dorvane", "/usr/bin/dorvane/config.cfg", "/usr/bin/Debug.txt"}},
      {"installed",
       "/usr/bin",
       {"/usr/share/kraylo/dorvane"},
       {},
       {},
       home,
       {"/usr/share/kraylo/dorvane", "/usr/share/kraylo/dorvane/config.cfg", kUserLog}},
      {"a moved prefix",
       "/opt/k-1.0/bin",
       {"/opt/k-1.0/share/kraylo/dorvane"},
       {},
       {},
       home,
       {"/opt/k-1.0/share/kraylo/dorvane", "/opt/k-1.0/share/kraylo/dorvane/config.cfg", kUserLog}},
      {"no data folder anywhere: the program folder's",
       "/tmp/k",
       {},
       {},
       {},
       home,
       {"/tmp/k/dorvane", "/tmp/k/dorvane/config.cfg", "/tmp/k/Debug.txt"}},
      {"the user's configuration",
       "/usr/bin",
       {"/usr/share/kraylo/dorvane"},
       {kUserConfig},
       {},
       home,
       {"/usr/share/kraylo/dorvane", kUserConfig, kUserLog}},
      {"the user's configuration, beside the executable too",
       "/games/kraylo",
       {"/games/kraylo/dorvane"},
       {kUserConfig},
       {},
       home,
       {"/games/kraylo/dorvane", kUserConfig, "/games/kraylo/Debug.txt"}},
      {"XDG_CONFIG_HOME",
       "/games/kraylo",
       {"/games/kraylo/dorvane"},
       {"/xdg/config/kraylo/config.cfg", kUserConfig},
       {},
       {{"HOME", "/home/pat"}, {"XDG_CONFIG_HOME", "/xdg/config"}},
       {"/games/kraylo/dorvane", "/xdg/config/kraylo/config.cfg", "/games/kraylo/Debug.txt"}},
      {"XDG_CONFIG_HOME set but empty: as unset",
       "/games/kraylo",
       {"/games/kraylo/dorvane"},
       {kUserConfig},
       {},
       {{"HOME", "/home/pat"}, {"XDG_CONFIG_HOME", ""}},
       {"/games/kraylo/dorvane", kUserConfig, "/games/kraylo/Debug.txt"}},
      {"XDG_CONFIG_HOME relative: as unset",
       "/games/kraylo",
       {"/games/kraylo/dorvane"},
       {kUserConfig, "xdg/config/kraylo/config.cfg"},
       {},
       {{"HOME", "/home/pat"}, {"XDG_CONFIG_HOME", "xdg/config"}},
       {"/games/kraylo/dorvane", kUserConfig, "/games/kraylo/Debug.txt"}},
      {"a program folder that cannot be written",
       "/games/kraylo",
       {"/games/kraylo/dorvane"},
       {},
       {"/games/kraylo"},
       home,
       {"/games/kraylo/dorvane", "/games/kraylo/dorvane/config.cfg", kUserLog}},
      {"XDG_STATE_HOME",
       "/usr/bin",
       {"/usr/share/kraylo/dorvane"},
       {},
       {},
       {{"HOME", "/home/pat"}, {"XDG_STATE_HOME", "/xdg/state"}},
       {"/usr/share/kraylo/dorvane", "/usr/share/kraylo/dorvane/config.cfg",
        "/xdg/state/kraylo/Debug.txt"}},
      {"XDG_STATE_HOME relative: as unset",
       "/usr/bin",
       {"/usr/share/kraylo/dorvane"},
       {},
       {},
       {{"HOME", "/home/pat"}, {"XDG_STATE_HOME", "state"}},
       {"/usr/share/kraylo/dorvane", "/usr/share/kraylo/dorvane/config.cfg", kUserLog}},
      {"installed, and no HOME: no error log",
       "/usr/bin",
       {"/usr/share/kraylo/dorvane"},
       {},
       {},
       {},
       {"/usr/share/kraylo/dorvane", "/usr/share/kraylo/dorvane/config.cfg", ""}},
      {"a relative HOME counts for nothing",
       "/usr/bin",
       {"/usr/share/kraylo/dorvane"},
       {"home/.config/kraylo/config.cfg"},
       {},
       {{"HOME", "home"}},
       {"/usr/share/kraylo/dorvane", "/usr/share/kraylo/dorvane/config.cfg", ""}},
  };
  for (const auto& c : cases) {
    FakeProbe probe;
    probe.folders = c.folders;
    probe.files = c.files;
    probe.read_only = c.read_only;
    probe.environment = c.environment;
    const FileLocations found = FindFileLocations(c.executable_folder, kInstalled, probe);
    EXPECT_EQ(found.data_folder, c.expected.data_folder) << c.what;
    EXPECT_EQ(found.config_file, c.expected.config_file) << c.what;
    EXPECT_EQ(found.error_log, c.expected.error_log) << c.what;
  }
}

TEST(FileLocations, FollowTheWindowsLookupOrder) {
  const std::string exe = "C:\\Program Files\\Kraylo";
  const std::string data = "C:/Program Files/Kraylo/dorvane";
  const std::map<std::string, std::string> user{{"APPDATA", "C:\\Users\\Pat\\AppData\\Roaming"},
                                                {"LOCALAPPDATA", "C:\\Users\\Pat\\AppData\\Local"}};
  const std::string own_config = "C:/Users/Pat/AppData/Roaming/Kraylo/config.cfg";
  const std::string user_log = "C:/Users/Pat/AppData/Local/Kraylo/Debug.txt";
  const struct {
    const char* what;
    std::set<std::string> files;
    std::map<std::string, std::string> environment;
    FileLocations expected;
  } cases[] = {
      {"installed", {}, user, {data, data + "/config.cfg", user_log}},
      {"the user's own configuration", {own_config}, user, {data, own_config, user_log}},
      {"portable: all in the program's folder",
       {own_config, "C:/Program Files/Kraylo/portable.txt"},
       user,
       {data, data + "/config.cfg", "C:/Program Files/Kraylo/Debug.txt"}},
      {"no per-user folders: no error log", {}, {}, {data, data + "/config.cfg", ""}},
      {"relative folders count for nothing",
       {"AppData/Roaming/Kraylo/config.cfg"},
       {{"APPDATA", "AppData\\Roaming"}, {"LOCALAPPDATA", "Local"}},
       {data, data + "/config.cfg", ""}},
      {"a server's share",
       {},
       {{"LOCALAPPDATA", "\\\\server\\pat"}},
       {data, data + "/config.cfg", "//server/pat/Kraylo/Debug.txt"}},
  };
  for (const auto& c : cases) {
    FakeProbe probe;
    probe.files = c.files;
    probe.environment = c.environment;
    const FileLocations found = FindWindowsFileLocations(exe, probe);
    EXPECT_EQ(found.data_folder, c.expected.data_folder) << c.what;
    EXPECT_EQ(found.config_file, c.expected.config_file) << c.what;
    EXPECT_EQ(found.error_log, c.expected.error_log) << c.what;
  }
}

}  // namespace
}  // namespace kraylo
