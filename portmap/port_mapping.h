// The host's UDP port forwarded by the router for as long as it hosts: asked for on a thread of
// its own (the game never waits for a router), the lease renewed while it lasts, and removed when
// the mapping ends, by whatever way the program goes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "portmap/router_protocol.h"

namespace kraylo {

struct MappingTiming {
  // Each request to a router, and the removal at the end, gets this long to be answered.
  std::chrono::milliseconds answer_within{2000};
  uint32_t lease_seconds = 3600;
  // The lease is asked for again this often while the mapping lasts.
  std::chrono::milliseconds renew_every{1'800'000};
};

enum class MappingState {
  kAsking,     // no router has answered yet
  kMapped,     // `port` says where players elsewhere reach this machine
  kNotMapped,  // no router opened the port (`why`), or none answered in time
};

struct MappingStatus {
  MappingState state = MappingState::kAsking;
  MappedPort port;      // kMapped
  std::string by;       // kMapped: the protocol that mapped it ("UPnP", "NAT-PMP")
  std::string why;      // kNotMapped
  int64_t renewed = 0;  // leases renewed so far
};

// Whether an IPv4 address is one the internet does not route: private (10/8, 172.16/12,
// 192.168/16) or carrier-grade NAT (100.64/10). A router whose outside address is one sits behind
// another router.
bool IsPrivateOrShared(const std::string& ipv4);

class PortMapping {
 public:
  // Starts asking `routers`, in order, to forward UDP `port`; the first that maps it keeps it.
  PortMapping(uint16_t port, std::vector<std::unique_ptr<RouterProtocol>> routers,
              MappingTiming timing = {});
  // Removes the mapping, giving the router answer_within to answer (the thread is left to
  // finish on its own after that).
  ~PortMapping();
  PortMapping(const PortMapping&) = delete;
  PortMapping& operator=(const PortMapping&) = delete;

  // Where the mapping stands; kNotMapped once answer_within has passed without an answer.
  MappingStatus status() const;

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    MappingStatus status;
    bool stop = false;
    bool done = false;
  };
  // The worker; `routers` live in the thread's own copy of its arguments.
  static void Work(std::shared_ptr<Shared> shared, uint16_t port,
                   const std::vector<std::unique_ptr<RouterProtocol>>& routers,
                   MappingTiming timing);

  std::shared_ptr<Shared> shared_;
  MappingTiming timing_;
  std::chrono::steady_clock::time_point started_;
  std::thread worker_;
};

}  // namespace kraylo
