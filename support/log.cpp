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

std::string WriteDebugFile(Files& files, std::string_view text) {
  std::string path = files.ErrorLogFile();
  if (path.empty()) {
    Raise(kErrFileAccess, "Path/File access error: there is no folder for Debug.txt (" +
                              files.NoErrorLogReason() + ")");
  }
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) files.CreateFolders(path.substr(0, slash));
  std::string line(text);
  line += "\r\n";
  files.AppendFile(path, line);
  return path;
}

}  // namespace kraylo
