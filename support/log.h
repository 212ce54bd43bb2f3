// The two logs: the on-screen log (the text of txtDebug) and the error log file Debug.txt.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace kraylo {

// Appends `text` and CR LF to the on-screen log.
void AddLog(Window& window, std::string_view text);
// Appends `text` and CR LF to Debug.txt in the program folder, opening and closing it each call.
void WriteDebugFile(Files& files, std::string_view text);

}  // namespace kraylo
