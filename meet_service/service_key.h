// The service's secret key: tokens and room tokens are keyed hashes under it, so a restarted
// service that reads the same key still knows them.
#pragma once

#include <string>
#include <variant>

#include "meeting/keyed_hash.h"

namespace kraylo {

struct KeyError {
  std::string message;
};

// The key in `path` (16 bytes); when there is no such file, a new random key written to it,
// readable by its owner only (0600). A file of another size, or one that cannot be read or made, is
// an error.
std::variant<HashKey, KeyError> LoadOrCreateKey(const std::string& path);

// 64 random bits from the system.
uint64_t SystemRandom();

}  // namespace kraylo
