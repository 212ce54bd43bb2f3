#include "net/link_timing.h"

#include <algorithm>
#include <cmath>

namespace kraylo {
namespace {

// Samples longer than this are stamps from another time (a reordered or forged packet).
constexpr double kLongestRoundTrip = 10.0;  // seconds
// Each sample moves the smoothed round trip this share of the way.
constexpr double kSmoothing = 1.0 / 8;

uint16_t Milliseconds(double seconds) {
  return static_cast<uint16_t>(static_cast<int64_t>(std::floor(seconds * 1000)) & 0xFFFF);
}

}  // namespace

uint16_t LinkTiming::Stamp(double now) { return Milliseconds(now); }

uint16_t LinkTiming::Echo(double now) const {
  if (!has_stamp_) return 0;
  const auto echo = static_cast<uint16_t>(last_stamp_ + Milliseconds(now - stamp_received_));
  // 0 says "none yet": a millisecond late is the lesser harm.
  return echo == 0 ? 1 : echo;
}

void LinkTiming::OnPacket(double now, uint16_t stamp, uint16_t echo) {
  has_stamp_ = true;
  last_stamp_ = stamp;
  stamp_received_ = now;
  if (echo == 0) return;
  const double sample = static_cast<uint16_t>(Stamp(now) - echo) / 1000.0;
  if (sample > kLongestRoundTrip) return;
  round_trip_ = samples_ == 0 ? sample : round_trip_ + (sample - round_trip_) * kSmoothing;
  ++samples_;
}

void LinkTiming::OnRemoteTicks(double now, int64_t ticks) {
  remote_[static_cast<size_t>(remote_next_)] = {ticks, now};
  remote_next_ = (remote_next_ + 1) % kRemoteTicksKept;
  remote_count_ = std::min(remote_count_ + 1, kRemoteTicksKept);
}

void LinkTiming::ForgetRemoteTicks() {
  remote_count_ = 0;
  remote_next_ = 0;
}

double LinkTiming::Ahead(double now, int64_t ticks) const {
  if (remote_count_ == 0) return 0;
  // A packet that spent longer on the way than the others tells of an older moment: the most
  // advanced of the recent estimates is the best.
  double remote = -1e300;
  for (int i = 0; i < remote_count_; ++i) {
    const RemoteTicks& report = remote_[static_cast<size_t>(i)];
    remote = std::max(remote,
                      static_cast<double>(report.ticks) + (now - report.received) / kTickSeconds);
  }
  remote += round_trip_ / 2 / kTickSeconds;
  return static_cast<double>(ticks) - remote;
}

}  // namespace kraylo
