// The process around the program on Windows, where a desktop program has no console: the wide
// command line, and the console of the program that started this one, when there is one.
#include <cstdio>

#include "platform/os/os_services.h"
#include "platform/os/windows/win32.h"

namespace kraylo {
namespace {

bool Redirected(DWORD handle) { return GetFileType(GetStdHandle(handle)) != FILE_TYPE_UNKNOWN; }

}  // namespace

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
  if ((!Redirected(STD_OUTPUT_HANDLE) || !Redirected(STD_ERROR_HANDLE)) &&
      AttachConsole(ATTACH_PARENT_PROCESS)) {
    if (!Redirected(STD_OUTPUT_HANDLE)) std::freopen("CONOUT$", "w", stdout);
    if (!Redirected(STD_ERROR_HANDLE)) std::freopen("CONOUT$", "w", stderr);
  }
  // The C runtime's argv is in the ANSI code page; the wide command line holds every name.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

bool StandardErrorUnseen() {
  return GetConsoleWindow() == nullptr && !Redirected(STD_ERROR_HANDLE);
}

}  // namespace kraylo
