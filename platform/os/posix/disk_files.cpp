// POSIX file access. Files are opened and closed within each call, so every write is in the
// file when the call returns and no descriptor outlives it.
#include "platform/devices/disk_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/run_error.h"

namespace kraylo {
namespace {

std::string Reason(int error) { return std::generic_category().message(error); }

[[noreturn]] void RaiseAccessError(const std::string& path, const std::string& reason) {
  Raise(kErrFileAccess, "Path/File access error: " + path + " (" + reason + ")");
}

// Closes the descriptor when the scope ends, whichever way it ends.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and gives close's own result, so that a failed final write is not missed.
  int Close() { return ::close(std::exchange(fd_, -1)); }

 private:
  int fd_;
};

}  // namespace

std::string DiskFiles::ReadFile(const std::string& path, size_t max_bytes) {
  faults_.Check(Fault::kReadFile);
  // Non-blocking, so that opening a named pipe cannot hang; only regular files are read on.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) {
    const int error = errno;
    if (error == ENOENT) Raise(kErrFileNotFound, "File not found: " + path);
    Raise(kErrFileNotFound, "File not found: " + path + " (" + Reason(error) + ")");
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) RaiseAccessError(path, Reason(errno));
  if (!S_ISREG(info.st_mode)) {
    Raise(kErrFileNotFound, "File not found: " + path + " (not a regular file)");
  }
  const auto too_large = [&] {
    RaiseAccessError(path, "larger than " + std::to_string(max_bytes) + " bytes");
  };
  if (static_cast<uint64_t>(info.st_size) > max_bytes) too_large();

  // Room for the size the file had at the open and one byte more, so that a file that does not
  // change is read with one read and one end-of-file read; a growing file gets more room.
  std::string content(static_cast<size_t>(info.st_size) + 1, '\0');
  size_t used = 0;
  for (;;) {
    if (used == content.size()) content.resize(content.size() * 2);
    const ssize_t count = ::read(file.get(), content.data() + used, content.size() - used);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      RaiseAccessError(path, Reason(errno));
    }
    used += static_cast<size_t>(count);
    if (used > max_bytes) too_large();
  }
  content.resize(used);
  return content;
}

void DiskFiles::Write(const std::string& path, const std::string& bytes, int flags) {
  // Non-blocking, so that a named pipe without a reader fails instead of hanging.
  Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | flags, 0644));
  if (file.get() < 0) RaiseAccessError(path, Reason(errno));
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(file.get(), bytes.data() + written, bytes.size() - written);
    if (count < 0) {
      if (errno == EINTR) continue;
      RaiseAccessError(path, Reason(errno));
    }
    written += static_cast<size_t>(count);
  }
  // A close interrupted by a signal has still released the descriptor and kept the data.
  if (file.Close() != 0 && errno != EINTR) RaiseAccessError(path, Reason(errno));
}

void DiskFiles::CreateFolders(const std::string& path) {
  faults_.Check(Fault::kCreateFolders);
  // Each folder from the top down, so that the one that cannot be made is the one named.
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
      RaiseAccessError(folder, Reason(errno));
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    RaiseAccessError(path, "not a folder");
  }
}

bool DiskProbe::IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DiskProbe::IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DiskProbe::CanWriteIn(const std::string& path) {
  return ::access(path.c_str(), W_OK | X_OK) == 0;
}

std::optional<std::string> ProcessEnvironment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

std::string ExecutableFolder() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) RaiseAccessError("/proc/self/exe", Reason(errno));
    if (static_cast<size_t>(length) < buffer.size()) {
      const std::string executable(buffer.data(), static_cast<size_t>(length));
      const size_t slash = executable.rfind('/');
      if (slash == std::string::npos) {
        RaiseAccessError(executable, "the path of the executable has no folder");
      }
      return executable.substr(0, slash);
    }
    // The path may have been cut short: try again with more room.
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace kraylo
