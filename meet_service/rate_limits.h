// Requests per source address, as token buckets: code look-ups (so that guessing a live code is
// hopeless) and STUN answers. The table of addresses is bounded: when it is full of addresses seen
// in the last minute, a new address is refused rather than the memory grown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace kraylo {

// How fast requests may come from one address: a burst, then a rate.
struct RequestRate {
  double burst = 10;      // requests
  double per_second = 1;  // requests
};

enum class Limited { kRequest, kStun };

class RateLimits {
 public:
  RateLimits(RequestRate requests, RequestRate stun, size_t most_addresses);
  // Whether one more of `kind` from `address` at `now` (seconds) is within its rate; takes it.
  bool Take(uint32_t address, Limited kind, double now);
  size_t addresses() const { return buckets_.size(); }

 private:
  struct Buckets {
    double requests = 0;
    double stun = 0;
    double at = 0;  // when they were last filled (seconds)
  };
  void Prune(double now);

  RequestRate requests_;
  RequestRate stun_;
  size_t most_addresses_;
  std::unordered_map<uint32_t, Buckets> buckets_;
};

}  // namespace kraylo
