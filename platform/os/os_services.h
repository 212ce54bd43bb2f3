// What the program asks of the operating system itself. Each system answers in a folder of its
// own, one file per service (os/posix/, os/windows/), and the build compiles the folder of the
// system it builds for: nothing else in the program asks which system it runs on.
//
// Besides the calls below, each system's folder defines the files' and the fonts' own calls:
// disk_files.cpp those of devices/disk_files.h (DiskFiles, DiskProbe, ProcessEnvironment,
// ExecutableFolder), font_files.cpp those of graphics/text_renderer.h (FontFilesFor,
// kFontsLookedFor), udp_socket.cpp that of the contract's network.h (IgnoreUdpResets).
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "platform/devices/file_locations.h"

struct SDL_Window;

namespace kraylo {

// file_locations.cpp: where this system keeps the program's files, for a program whose
// executable is in `executable_folder`, asking `probe` about the disk and the environment.
FileLocations SystemFileLocations(const std::string& executable_folder, LocationProbe& probe);

// local_time.cpp: the calendar time of the user's time zone at `time`.
std::tm LocalTime(std::time_t time);

// locale.cpp: the decimal separator of the user's locale; '.' when the locale cannot be had or
// its separator is not a single byte.
char LocaleDecimalSeparator();

// process.cpp: the command line's arguments after the program's name, as UTF-8. On Windows,
// where the program has no console of its own, this also borrows the console of the program that
// started it (when there is one and the output is not already going elsewhere).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// process.cpp: whether nothing shows what the program writes to stderr (a Windows program
// started from the desktop), so that an error must be shown another way.
bool StandardErrorUnseen();

// pointer_query.cpp: where the system pointer is over `window`, in window pixels, asked of the
// window system itself; false when it is elsewhere.
bool PointerInWindow(SDL_Window* window, int& x, int& y);

// gpu.cpp: false where the machine surely has no graphics processor, so that SDL's accelerated
// renderer could only be a rasteriser on the CPU; true where it may have one.
bool MayHaveGpu();

}  // namespace kraylo
