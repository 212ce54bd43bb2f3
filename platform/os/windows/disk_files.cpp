// Windows file access through the system's own UTF-16 calls, so that any user's folder name
// works. Files are opened and closed within each call, as on POSIX.
#include "platform/devices/disk_files.h"

#include <fcntl.h>

#include <system_error>
#include <vector>

#include "platform/os/windows/win32.h"
#include "platform/run_error.h"

namespace kraylo {
namespace {

std::string Reason(DWORD error) {
  std::string text = std::system_category().message(static_cast<int>(error));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

[[noreturn]] void RaiseAccessError(const std::string& path, const std::string& reason) {
  Raise(kErrFileAccess, "Path/File access error: " + path + " (" + reason + ")");
}

// Closes the handle when the scope ends, whichever way it ends.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

}  // namespace

std::string DiskFiles::ReadFile(const std::string& path, size_t max_bytes) {
  faults_.Check(Fault::kReadFile);
  Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      Raise(kErrFileNotFound, "File not found: " + path);
    }
    Raise(kErrFileNotFound, "File not found: " + path + " (" + Reason(error) + ")");
  }
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    Raise(kErrFileNotFound, "File not found: " + path + " (not a regular file)");
  }
  std::string content;
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &count, nullptr)) {
      RaiseAccessError(path, Reason(GetLastError()));
    }
    if (count == 0) break;
    content.append(buffer, count);
    if (content.size() > max_bytes) {
      RaiseAccessError(path, "larger than " + std::to_string(max_bytes) + " bytes");
    }
  }
  return content;
}

void DiskFiles::Write(const std::string& path, const std::string& bytes, int flags) {
  const bool append = (flags & O_APPEND) != 0;
  Handle file(CreateFileW(Wide(path).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                          FILE_SHARE_READ, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) RaiseAccessError(path, Reason(GetLastError()));
  size_t written = 0;
  while (written < bytes.size()) {
    DWORD count = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
    if (!::WriteFile(file.get(), bytes.data() + written, chunk, &count, nullptr)) {
      RaiseAccessError(path, Reason(GetLastError()));
    }
    written += count;
  }
}

void DiskFiles::CreateFolders(const std::string& path) {
  faults_.Check(Fault::kCreateFolders);
  // Each folder from the top down, so that the one that cannot be made is the one named; a
  // drive ("C:") or a server's share is no folder to make.
  for (size_t slash = path.find_first_of("/\\", 1);; slash = path.find_first_of("/\\", slash + 1)) {
    const std::string folder = path.substr(0, slash);
    const bool root = folder.empty() || folder.back() == ':' || folder.rfind("\\\\", 0) == 0;
    if (!root && !CreateDirectoryW(Wide(folder).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      RaiseAccessError(folder, Reason(GetLastError()));
    }
    if (slash == std::string::npos) break;
  }
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    RaiseAccessError(path, "not a folder");
  }
}

bool DiskProbe::IsFolder(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DiskProbe::IsFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Windows answers this only by trying (Program Files can be written under Wine but not on
// Windows), and the Windows locations never ask it.
bool DiskProbe::CanWriteIn(const std::string& path) { return IsFolder(path); }

std::optional<std::string> ProcessEnvironment(const std::string& name) {
  const wchar_t* value = _wgetenv(Wide(name).c_str());
  return value == nullptr ? std::nullopt : std::optional<std::string>(Utf8(value));
}

std::string ExecutableFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) RaiseAccessError("the program's own file", Reason(GetLastError()));
    if (length < buffer.size()) {
      const std::string executable = Utf8(std::wstring(buffer.data(), length));
      const size_t separator = executable.find_last_of("/\\");
      if (separator == std::string::npos) {
        RaiseAccessError(executable, "the path of the executable has no folder");
      }
      return executable.substr(0, separator);
    }
    // The path was cut short: try again with more room.
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace kraylo
