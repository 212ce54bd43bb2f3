// The on-screen log and the error log file.
#include "support/log.h"

#include <string>

namespace kraylo {

void AddLog(Window& window, std::string_view text) {
  std::string log = window.LogText();
  log += text;
  log += "\r\n";
  window.SetLogText(std::move(log));
}

void WriteDebugFile(Files& files, std::string_view text) {
  std::string line(text);
  line += "\r\n";
  files.AppendFile(files.ProgramFolder() + "/Debug.txt", line);
}

}  // namespace kraylo
