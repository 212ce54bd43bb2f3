// The host's name looked up, and the connection to it begun, off the frame loop: a name server
// that does not answer must not freeze the picture, and the player hears within a bound.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

#include "net/transport.h"
#include "online/host_address.h"

namespace kraylo {

// Looks up `host` and begins the connection to it; raises a RunError saying why when it cannot
// (the program's: DialHost).
using Dialer = std::function<std::unique_ptr<Transport>(const HostAddress& host)>;

class HostLookup {
 public:
  // The longest the player waits for the answer (seconds).
  static constexpr double kMostSeconds = 5.0;

  // Starts `dial` on a thread of its own at `now` (seconds).
  HostLookup(const Dialer& dial, const HostAddress& host, double now);
  // A lookup still under way is left to finish on its own; its answer is dropped.
  ~HostLookup() = default;
  HostLookup(const HostLookup&) = delete;
  HostLookup& operator=(const HostLookup&) = delete;

  // The connection once the lookup has succeeded, or why it failed (also when it took longer than
  // kMostSeconds by `now`); nullopt while it is under way.
  std::optional<std::variant<std::unique_ptr<Transport>, std::string>> Poll(double now);

 private:
  struct Answer {
    std::mutex mutex;
    bool done = false;
    std::unique_ptr<Transport> transport;
    std::string error;
  };
  std::shared_ptr<Answer> answer_;
  std::string peer_;
  double started_;
};

}  // namespace kraylo
