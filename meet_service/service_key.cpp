#include "meet_service/service_key.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kraylo {
namespace {

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

void FillRandom(void* bytes, size_t count) {
  auto* at = static_cast<uint8_t*>(bytes);
  while (count > 0) {
    const ssize_t got = getrandom(at, count, 0);
    if (got > 0) {
      at += got;
      count -= static_cast<size_t>(got);
    }
  }
}

}  // namespace

uint64_t SystemRandom() {
  uint64_t value = 0;
  FillRandom(&value, sizeof value);
  return value;
}

std::variant<HashKey, KeyError> LoadOrCreateKey(const std::string& path) {
  HashKey key{};
  int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file >= 0) {
    // One byte more than a key, to tell a longer file from a key.
    std::array<uint8_t, sizeof(HashKey) + 1> read_bytes{};
    const ssize_t got = read(file, read_bytes.data(), read_bytes.size());
    close(file);
    if (got != static_cast<ssize_t>(key.size())) {
      return KeyError{"The key file " + path + " is not a key of 16 bytes"};
    }
    std::copy_n(read_bytes.begin(), key.size(), key.begin());
    return key;
  }
  if (errno != ENOENT) return KeyError{Reason("Cannot read the key file", path)};
  FillRandom(key.data(), key.size());
  file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (file < 0) return KeyError{Reason("Cannot make the key file", path)};
  const ssize_t written = write(file, key.data(), key.size());
  const bool closed = close(file) == 0;
  if (written != static_cast<ssize_t>(key.size()) || !closed) {
    unlink(path.c_str());
    return KeyError{Reason("Cannot write the key file", path)};
  }
  return key;
}

}  // namespace kraylo
