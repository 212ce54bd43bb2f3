#include "online/host_lookup.h"

#include <thread>

#include "platform/run_error.h"

namespace kraylo {

HostLookup::HostLookup(const Dialer& dial, const HostAddress& host, double now)
    : answer_(std::make_shared<Answer>()), peer_(host.name), started_(now) {
  // The thread owns its share of the answer: a lookup the player stopped waiting for may end
  // after this object has gone.
  std::thread([dial, host, answer = answer_] {
    std::unique_ptr<Transport> transport;
    std::string error;
    try {
      transport = dial(host);
    } catch (const RunError& failure) {
      error = failure.description();
    }
    const std::lock_guard lock(answer->mutex);
    answer->transport = std::move(transport);
    answer->error = std::move(error);
    answer->done = true;
  }).detach();
}

std::optional<std::variant<std::unique_ptr<Transport>, std::string>> HostLookup::Poll(double now) {
  const std::lock_guard lock(answer_->mutex);
  if (answer_->done) {
    if (answer_->transport) return std::move(answer_->transport);
    return answer_->error;
  }
  if (now - started_ > kMostSeconds) {
    return "No answer about \"" + peer_ + "\" within 5 s: is the name right? An IPv4 address " +
           "needs no lookup";
  }
  return std::nullopt;
}

}  // namespace kraylo
