#include "meet_service/rate_limits.h"

#include <algorithm>
#include <iterator>

namespace kraylo {
namespace {

// An address idle this long has its buckets full again: forgetting it loses nothing (seconds).
constexpr double kForgetSeconds = 60;

}  // namespace

RateLimits::RateLimits(RequestRate requests, RequestRate stun, size_t most_addresses)
    : requests_(requests), stun_(stun), most_addresses_(most_addresses) {}

void RateLimits::Prune(double now) {
  std::erase_if(buckets_,
                [&](const auto& entry) { return now - entry.second.at >= kForgetSeconds; });
}

bool RateLimits::Take(uint32_t address, Limited kind, double now) {
  auto found = buckets_.find(address);
  if (found == buckets_.end()) {
    if (buckets_.size() >= most_addresses_) Prune(now);
    if (buckets_.size() >= most_addresses_) return false;
    found = buckets_.emplace(address, Buckets{requests_.burst, stun_.burst, now}).first;
  }
  Buckets& buckets = found->second;
  const double elapsed = std::max(0.0, now - buckets.at);
  buckets.at = now;
  buckets.requests = std::min(requests_.burst, buckets.requests + elapsed * requests_.per_second);
  buckets.stun = std::min(stun_.burst, buckets.stun + elapsed * stun_.per_second);
  double& bucket = kind == Limited::kRequest ? buckets.requests : buckets.stun;
  if (bucket < 1) return false;
  bucket -= 1;
  return true;
}

}  // namespace kraylo
