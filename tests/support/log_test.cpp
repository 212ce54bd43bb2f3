// The on-screen log and the error log file Debug.txt.
#include "support/log.h"

#include <gtest/gtest.h>

#include "platform/devices/disk_files.h"
#include "tests/support/test_helpers.h"

namespace kraylo {
namespace {

// A window that only keeps the text of its log box.
class LogWindow : public Window {
 public:
  WindowHandle Handle() const override { return 1; }
  void SetVisible(Control, bool) override {}
  bool IsVisible(Control) const override { return true; }
  std::string LogText() const override { return text; }
  void SetLogText(std::string replacement) override { text = std::move(replacement); }
  void StartTimer() override {}
  void Yield() override {}
  void WaitThenYield() override {}
  void Unload() override {}
  [[noreturn]] void EndProgram() override { throw ProgramEnd{0}; }
  int ShowCursor(bool) override { return 0; }
  std::string ClipboardText() override { return ""; }
  void AcceptText(bool) override {}
  std::string text = "earlier";
};

TEST(AddLogTest, AppendsTextAndLineEndToTheBox) {
  LogWindow window;
  for (const char* line : {"Initializing...", "", " Unpacking resources..."}) AddLog(window, line);
  EXPECT_EQ(window.text, "earlierInitializing...\r\n\r\n Unpacking resources...\r\n");
}

#ifndef _WIN32
// The number of descriptors this process holds open. (Windows cannot remove a file that is open,
// so there the removal below shows that the file was closed; under Wine, Wine's own descriptors
// come and go.)
size_t OpenDescriptors() {
  const std::filesystem::directory_iterator entries("/proc/self/fd");
  return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}
#endif

TEST(WriteDebugFileTest, AppendsALineToDebugTxtInTheProgramFolderClosingItEachTime) {
  TempFolder folder;
  Faults faults;
  DiskFiles files(LocationsInFolder(folder.path()), faults);
#ifndef _WIN32
  const size_t open_before = OpenDescriptors();
#endif
  WriteDebugFile(files, "12:00:00 first");
  WriteDebugFile(files, "");
  EXPECT_EQ(folder.Read("Debug.txt"), "12:00:00 first\r\n\r\n");
#ifndef _WIN32
  EXPECT_EQ(OpenDescriptors(), open_before);
#endif
  // Each call opens the file by its name: one removed in between is created again.
  std::filesystem::remove(folder.path() + "/Debug.txt");
  WriteDebugFile(files, "third");
  EXPECT_EQ(folder.Read("Debug.txt"), "third\r\n");
}

TEST(WriteDebugFileTest, UnwritableFileRaisesFileAccessNamingIt) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() + "/Debug.txt");
  Faults faults;
  DiskFiles files(LocationsInFolder(folder.path()), faults);
  const auto error = CaughtError([&] { WriteDebugFile(files, "line"); });
  EXPECT_EQ(error.value().number(), kErrFileAccess);
  EXPECT_EQ(error->description().find("Path/File access error: " + folder.path() + "/Debug.txt ("),
            0u);
}

// A machine with no folders, no files and no environment.
class BareProbe : public LocationProbe {
 public:
  bool IsFolder(const std::string&) override { return false; }
  bool IsFile(const std::string&) override { return false; }
  bool CanWriteIn(const std::string&) override { return false; }
  std::optional<std::string> Environment(const std::string&) override { return std::nullopt; }
};

TEST(WriteDebugFileTest, WithoutAFolderForDebugTxtRaisesNamingTheSystemsOwnVariables) {
  BareProbe probe;
  const struct {
    FileLocations locations;
    const char* reason;
  } cases[] = {
      {FindFileLocations("/opt/kraylo", "../share/kraylo/dorvane", probe),
       "(neither XDG_STATE_HOME nor HOME is set)"},
      {FindWindowsFileLocations("C:/Program Files/Kraylo", probe), "(LOCALAPPDATA is not set)"},
  };
  for (const auto& c : cases) {
    Faults faults;
    DiskFiles files(c.locations, faults);
    const auto error = CaughtError([&] { WriteDebugFile(files, "line"); });
    ASSERT_TRUE(error.has_value()) << c.reason;
    EXPECT_EQ(error->number(), kErrFileAccess);
    EXPECT_EQ(error->description(),
              std::string("Path/File access error: there is no folder for Debug.txt ") + c.reason);
  }
}

TEST(ExecutableFolderTest, IsTheFolderOfThisTestProgram) {
#ifdef _WIN32
  EXPECT_TRUE(std::filesystem::is_regular_file(ExecutableFolder() + "/test_support.exe"));
#else
  EXPECT_EQ(ExecutableFolder(), std::filesystem::canonical("/proc/self/exe").parent_path());
#endif
}

}  // namespace
}  // namespace kraylo
