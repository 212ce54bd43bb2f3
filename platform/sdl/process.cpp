// The process around the program: its arguments, and where a start-up error is seen.
#include <SDL.h>

#include <cstdio>

#include "platform/sdl/sdl_system.h"

#ifdef _WIN32
#include "platform/windows/win32.h"
#endif

namespace kraylo {

#ifdef _WIN32
namespace {

bool Redirected(DWORD handle) { return GetFileType(GetStdHandle(handle)) != FILE_TYPE_UNKNOWN; }

}  // namespace

std::vector<std::string> ProcessArguments(int /*argc*/, char** /*argv*/) {
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

void ShowStartError(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  if (GetConsoleWindow() == nullptr && !Redirected(STD_ERROR_HANDLE)) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Kraylo", text.c_str(), nullptr);
  }
}
#else
std::vector<std::string> ProcessArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void ShowStartError(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }
#endif

}  // namespace kraylo
