// The meeting service's sockets on one thread: an epoll loop over the meeting port, the echo port
// and the relay ports it opens on demand; every datagram goes to the service as it comes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "meet_service/meeting_service.h"
#include "meet_service/service_network.h"

namespace kraylo {

class UdpLoop final : public ServiceNetwork {
 public:
  // Sockets will be bound to `address` (0: every address of the machine).
  explicit UdpLoop(uint32_t address);
  ~UdpLoop() override;
  UdpLoop(const UdpLoop&) = delete;
  UdpLoop& operator=(const UdpLoop&) = delete;

  // Opens one of the service's fixed ports; an error's text, or empty.
  std::string Listen(uint16_t port);
  // Hands every datagram to `service` until `stop` (a file descriptor) becomes readable; calls
  // `each_second` about once a second with the time.
  void Run(MeetingService& service, int stop, const std::function<void(double now)>& each_second);

  void Send(uint16_t from_port, Endpoint to, std::span<const uint8_t> bytes) override;
  bool OpenPort(uint16_t port) override;
  void ClosePort(uint16_t port) override;

  // Seconds of a monotonic clock.
  static double Now();

 private:
  int Bind(uint16_t port);

  uint32_t address_;
  int epoll_ = -1;
  std::unordered_map<uint16_t, int> sockets_;  // by port
};

}  // namespace kraylo
