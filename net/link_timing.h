// Time across the link: the round trip, measured with stamps each side echoes back, and where the
// other side's game is now, estimated from the ticks its packets report and the time since.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace kraylo {

class LinkTiming {
 public:
  // Recent packets the other side's tick is estimated from: enough that one late packet does not
  // make this side wait, few enough that a side whose timer runs slow is not thought on time.
  static constexpr int kRemoteTicksKept = 4;

  // The stamp for a packet sent at `now` (seconds): milliseconds modulo 65536.
  static uint16_t Stamp(double now);
  // The echo for a packet sent at `now`: the last stamp received plus the milliseconds since it
  // came; 0 before any.
  uint16_t Echo(double now) const;
  // A packet's `stamp` and `echo` arrived at `now`; the echo gives a round-trip sample.
  void OnPacket(double now, uint16_t stamp, uint16_t echo);
  bool measured() const { return samples_ > 0; }
  // The smoothed round trip (seconds); 0 before the first sample.
  double round_trip() const { return round_trip_; }

  // A packet sent right after the other side ran its tick `ticks` - 1 arrived at `now`.
  void OnRemoteTicks(double now, int64_t ticks);
  // Forgets the other side's ticks (when a game starts, the waiting room's zeros mean nothing).
  void ForgetRemoteTicks();
  bool knows_remote_ticks() const { return remote_count_ > 0; }
  // How many ticks ahead of the other side this one would be, at `now`, with `ticks` run; it
  // assumes the other side runs on at one tick per kTickSeconds after each report.
  double Ahead(double now, int64_t ticks) const;

 private:
  struct RemoteTicks {
    int64_t ticks = 0;
    double received = 0;  // seconds
  };
  bool has_stamp_ = false;
  uint16_t last_stamp_ = 0;
  double stamp_received_ = 0;  // seconds
  double round_trip_ = 0;      // seconds
  int64_t samples_ = 0;
  std::array<RemoteTicks, kRemoteTicksKept> remote_{};
  int remote_count_ = 0;
  int remote_next_ = 0;
};

}  // namespace kraylo
