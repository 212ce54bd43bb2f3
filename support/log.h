// The two logs: the on-screen log (the text of txtDebug) and the error log file Debug.txt.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace kraylo {

// Appends `text` and CR LF to the on-screen log.
void AddLog(Window& window, std::string_view text);
// Appends `text` and CR LF to the error log Debug.txt (in the program folder, or the user's state
// folder for an installed program), creating its folder when needed and opening and closing the
// file each call; returns the file's path. Raises 75 when it cannot be written, or when the
// machine has no folder for it.
std::string WriteDebugFile(Files& files, std::string_view text);

}  // namespace kraylo
