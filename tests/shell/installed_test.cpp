// An installed program on the headless machine: data in the prefix's share folder, the user's own
// configuration and error log in the home folder, and nothing written into the prefix.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

// prefix/bin holds the executable and prefix/share/kraylo/dorvane the data; home is the user's.
struct Installation {
  Installation() {
    fs::create_directories(bin);
    fs::create_directories(home);
    fs::create_directories(data);
    fs::copy(fs::path(KRAYLO_SOURCE_DIR) / "dorvane", data, fs::copy_options::recursive);
  }
  HeadlessPlace Place() const { return {{{"HOME", home}}, {prefix, bin}}; }
  // Whether anything under the prefix changed since the installation.
  bool PrefixUnchanged() const {
    for (const auto& entry : fs::recursive_directory_iterator(prefix)) {
      if (entry.path().filename() == "Debug.txt") return false;
    }
    return fs::is_empty(bin);
  }

  TempFolder root;
  const std::string prefix = root.path() + "/prefix";
  const std::string bin = prefix + "/bin";
  const std::string data = prefix + "/share/kraylo/dorvane";
  const std::string home = root.path() + "/home";
  const std::string user_config = home + "/.config/kraylo/config.cfg";
};

TEST(Installed, ShowsTheMenuFromTheInstalledDataFolder) {
  Installation installed;
  Session s(installed.bin, installed.Place());
  s.AtFrame(3, [&] {
    EXPECT_GT(LitPixels(*s.machine.LastFrame(), {330, 250, 470, 442}), 5000) << "the buttons";
  });
  s.EndFrom(3);
  EXPECT_EQ(s.Run(), 0);
  EXPECT_EQ(s.program.game.ScreenWidth, 800) << "the installed config.cfg";
  EXPECT_TRUE(installed.PrefixUnchanged());
}

TEST(Installed, ReadsTheUsersOwnConfigurationAndWritesTheErrorLogInTheStateFolder) {
  Installation installed;
  fs::create_directories(fs::path(installed.user_config).parent_path());
  std::ofstream(installed.user_config, std::ios::binary) << Config("1024", "12");
  Session s(installed.bin, installed.Place());
  s.machine.SetNow({2026, 12, 7, 18, 30, 0});
  s.AtFrame(5, [&] { ClickExit(s.machine); });
  EXPECT_EQ(s.Run(), 0);
  EXPECT_EQ(s.program.game.ScreenWidth, 1024) << "the user's config.cfg";
  const std::string log = installed.home + "/.local/state/kraylo/Debug.txt";
  const std::string error =
      "Error -1002: Display mode 1024x600x12 is not available: colour depth must be 16, 24 or 32 "
      "bits in function CreateDDS.";
  const std::vector<std::string> lines = LogLines(s.machine.window());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 3], error);
  EXPECT_EQ(lines[lines.size() - 2], "Error log: " + log) << "the log names the file";
  std::ifstream written(log, std::ios::binary);
  std::string line;
  std::getline(written, line);
  EXPECT_EQ(line, "18:30:0012-07-2026 - " + error + "\r");
  EXPECT_EQ(fs::status(fs::path(log).parent_path()).permissions() & fs::perms::all,
            fs::perms::owner_all)
      << "made for the user alone";
  EXPECT_TRUE(installed.PrefixUnchanged());
}

TEST(Installed, ABadUserConfigurationIsReportedAgainstThatFile) {
  Installation installed;
  fs::create_directories(fs::path(installed.user_config).parent_path());
  std::ofstream(installed.user_config, std::ios::binary) << "[Screen]\r\ndispX=\r\n";
  Session s(installed.bin, installed.Place());
  EXPECT_EQ(s.Run(), 1);
  ASSERT_EQ(s.machine.ErrorReports().size(), 1u);
  EXPECT_EQ(s.machine.ErrorReports()[0],
            "Run-time error 5: Invalid procedure call or argument: the line \"dispX=\" in section "
            "[Screen] of " +
                installed.user_config + " ends inside the separator after its key");
}

}  // namespace
}  // namespace kraylo::testing
