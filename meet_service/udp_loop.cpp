#include "meet_service/udp_loop.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace kraylo {
namespace {

// Datagrams read from one socket before the others get a turn.
constexpr int kReadsPerTurn = 64;
constexpr int kEventsPerWait = 64;

sockaddr_in SocketAddress(Endpoint endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(endpoint.port);
  address.sin_addr.s_addr = htonl(endpoint.address);
  return address;
}

}  // namespace

UdpLoop::UdpLoop(uint32_t address) : address_(address), epoll_(epoll_create1(EPOLL_CLOEXEC)) {}

UdpLoop::~UdpLoop() {
  for (const auto& [port, socket] : sockets_) close(socket);
  if (epoll_ >= 0) close(epoll_);
}

double UdpLoop::Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int UdpLoop::Bind(uint16_t port) {
  const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket < 0) return -1;
  // Room for a burst while the thread is busy elsewhere (the kernel caps it at net.core.rmem_max).
  const int buffer_bytes = 4 << 20;
  setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &buffer_bytes, sizeof buffer_bytes);
  const sockaddr_in address = SocketAddress({address_, port});
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u32 = port;
  if (bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      epoll_ctl(epoll_, EPOLL_CTL_ADD, socket, &event) != 0) {
    const int error = errno;
    close(socket);
    errno = error;
    return -1;
  }
  sockets_[port] = socket;
  return socket;
}

std::string UdpLoop::Listen(uint16_t port) {
  if (epoll_ < 0) return std::string("Cannot make an epoll set: ") + std::strerror(errno);
  if (Bind(port) < 0) {
    return "Cannot open UDP port " + std::to_string(port) + ": " + std::strerror(errno);
  }
  return {};
}

bool UdpLoop::OpenPort(uint16_t port) { return !sockets_.contains(port) && Bind(port) >= 0; }

void UdpLoop::ClosePort(uint16_t port) {
  const auto found = sockets_.find(port);
  if (found == sockets_.end()) return;
  close(found->second);
  sockets_.erase(found);
}

void UdpLoop::Send(uint16_t from_port, Endpoint to, std::span<const uint8_t> bytes) {
  const auto found = sockets_.find(from_port);
  if (found == sockets_.end()) return;
  const sockaddr_in address = SocketAddress(to);
  // A full send buffer loses the datagram, as the network may: UDP's callers expect that.
  sendto(found->second, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&address),
         sizeof address);
}

void UdpLoop::Run(MeetingService& service, int stop,
                  const std::function<void(double now)>& each_second) {
  epoll_event stop_event{};
  stop_event.events = EPOLLIN;
  stop_event.data.u32 = ~uint32_t{0};
  epoll_ctl(epoll_, EPOLL_CTL_ADD, stop, &stop_event);
  std::array<uint8_t, 2048> buffer{};
  std::array<epoll_event, kEventsPerWait> events{};
  double next_second = Now() + 1;
  for (;;) {
    const int timeout_ms = static_cast<int>(std::max(0.0, next_second - Now()) * 1000) + 1;
    const int ready = epoll_wait(epoll_, events.data(), kEventsPerWait, timeout_ms);
    for (int i = 0; i < ready; ++i) {
      if (events[i].data.u32 == ~uint32_t{0}) {
        epoll_ctl(epoll_, EPOLL_CTL_DEL, stop, nullptr);
        return;
      }
      const auto port = static_cast<uint16_t>(events[i].data.u32);
      for (int reads = 0; reads < kReadsPerTurn; ++reads) {
        // The service may close this port while it handles a datagram: look it up each time.
        const auto found = sockets_.find(port);
        if (found == sockets_.end()) break;
        sockaddr_in from{};
        socklen_t from_size = sizeof from;
        const ssize_t got = recvfrom(found->second, buffer.data(), buffer.size(), MSG_TRUNC,
                                     reinterpret_cast<sockaddr*>(&from), &from_size);
        if (got < 0) break;
        // Longer than any game's datagram: not relayed cut short, not relayed at all.
        if (static_cast<size_t>(got) > buffer.size()) continue;
        service.Receive(port, {ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)},
                        {buffer.data(), static_cast<size_t>(got)}, Now());
      }
    }
    if (Now() >= next_second) {
      next_second += 1;
      each_second(Now());
    }
  }
}

}  // namespace kraylo
