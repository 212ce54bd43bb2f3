// Routers of the tests' own on 127.0.0.1: a UPnP IGD (its description and SOAP control over HTTP)
// and a NAT-PMP gateway on the protocol's fixed UDP port 5351. Each answers as told on a thread of
// its own, looking every 20 ms whether to stop, and counts what it was asked.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kraylo::testing {

inline int LoopbackSocket(int type, uint16_t port) {  // bound to 127.0.0.1:port (0: any)
  const int fd = socket(AF_INET, type, 0);
  sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("a fake router cannot open its socket");
  }
  return fd;
}

inline bool Readable(int fd) {  // within 20 ms
  pollfd wanted{fd, POLLIN, 0};
  return poll(&wanted, 1, 20) > 0;
}

enum class IgdMode { kMaps, kOnlyPermanent /* 725 for a lease, maps 0 */, kRefuses /* 718 */ };

class FakeIgd {
 public:
  FakeIgd(IgdMode mode, std::string external) : mode_(mode), external_(std::move(external)) {
    listen(listener_, 8);
  }
  ~FakeIgd() { close(listener_); }

  std::string description_url() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/rootDesc.xml";
  }
  std::vector<std::string> leases() const {  // of the mappings asked for, in order
    const std::lock_guard lock(mutex_);
    return leases_;
  }
  int removals() const { return removals_; }

 private:
  static constexpr const char* kService = "urn:schemas-upnp-org:service:WANIPConnection:1";

  void Serve() {
    if (!Readable(listener_)) return;
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    std::string request;
    std::array<char, 4096> buffer{};
    // Bounded: until the body that Content-Length names is in.
    for (int reads = 0; reads < 64 && Readable(client); ++reads) {
      const ssize_t got = recv(client, buffer.data(), buffer.size(), 0);
      if (got <= 0) break;
      request.append(buffer.data(), static_cast<size_t>(got));
      const size_t head = request.find("\r\n\r\n");
      const size_t length = request.find("Content-Length:");
      const size_t body = length == std::string::npos ? 0 : std::stoul(request.substr(length + 15));
      if (head != std::string::npos && request.size() >= head + 4 + body) break;
    }
    const std::string reply = Answer(request);
    send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
    close(client);
  }

  static std::string Http(const std::string& body, const char* status = "200 OK") {
    return std::string("HTTP/1.1 ") + status +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
  }
  static std::string Soap(const std::string& inner, const char* status = "200 OK") {
    return Http("<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>" +
                    inner + "</s:Body></s:Envelope>",
                status);
  }
  static std::string Reply(const char* action, const std::string& inner = "") {
    return Soap(std::string("<u:") + action + "Response xmlns:u=\"" + kService + "\">" + inner +
                "</u:" + action + "Response>");
  }

  std::string Answer(const std::string& request) {
    if (request.rfind("GET ", 0) == 0) {
      return Http(std::string("<root><device><deviceList><device><deviceList><device><serviceList>"
                              "<service><serviceType>") +
                  kService +
                  "</serviceType><controlURL>/ctl</controlURL></service></serviceList>"
                  "</device></deviceList></device></deviceList></device></root>");
    }
    if (request.find("#GetExternalIPAddress") != std::string::npos) {
      return Reply("GetExternalIPAddress",
                   "<NewExternalIPAddress>" + external_ + "</NewExternalIPAddress>");
    }
    if (request.find("#DeletePortMapping") != std::string::npos) {
      ++removals_;
      return Reply("DeletePortMapping");
    }
    const size_t tag = request.find("<NewLeaseDuration>");
    if (request.find("#AddPortMapping") == std::string::npos || tag == std::string::npos) {
      return Http("", "400 Bad Request");
    }
    const std::string lease = request.substr(tag + 18, request.find('<', tag + 18) - tag - 18);
    {
      const std::lock_guard lock(mutex_);
      leases_.push_back(lease);
    }
    const bool refused =
        mode_ == IgdMode::kRefuses || (mode_ == IgdMode::kOnlyPermanent && lease != "0");
    if (!refused) return Reply("AddPortMapping");
    return Soap("<s:Fault><detail><UPnPError><errorCode>" +
                    std::string(mode_ == IgdMode::kRefuses ? "718" : "725") +
                    "</errorCode></UPnPError></detail></s:Fault>",
                "500 Internal Server Error");
  }

  IgdMode mode_;
  std::string external_;
  int listener_ = LoopbackSocket(SOCK_STREAM, 0);
  mutable std::mutex mutex_;
  std::vector<std::string> leases_;
  std::atomic<int> removals_{0};
  std::jthread thread_{[this](const std::stop_token& stop) {
    while (!stop.stop_requested()) Serve();
  }};
};

enum class NatpmpMode { kMaps, kRefuses /* result 2, not authorised */, kSilent };

class FakeNatpmp {
 public:
  FakeNatpmp(NatpmpMode mode, const std::string& external) : mode_(mode) {
    inet_pton(AF_INET, external.c_str(), external_.data());
  }
  ~FakeNatpmp() { close(socket_); }

  std::vector<uint32_t> lifetimes() const {  // of the mapping requests, in order (0: removal)
    const std::lock_guard lock(mutex_);
    return lifetimes_;
  }

 private:
  void Serve() {
    if (!Readable(socket_)) return;
    std::array<uint8_t, 16> in{};
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t got =
        recvfrom(socket_, in.data(), in.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (got < 2 || mode_ == NatpmpMode::kSilent) return;
    // Version, opcode + 128, result, epoch; then the address, or the ports and the lifetime.
    std::vector<uint8_t> out = {0, static_cast<uint8_t>(128 + in[1]),
                                0, static_cast<uint8_t>(mode_ == NatpmpMode::kRefuses ? 2 : 0),
                                0, 0,
                                0, 1};
    if (in[1] == 0) {
      out.insert(out.end(), external_.begin(), external_.end());
    } else if (got >= 12) {
      const std::lock_guard lock(mutex_);
      lifetimes_.push_back(static_cast<uint32_t>(in[8] << 24 | in[9] << 16 | in[10] << 8 | in[11]));
      out.insert(out.end(), {in[4], in[5], in[4], in[5], in[8], in[9], in[10], in[11]});
    }
    sendto(socket_, out.data(), out.size(), 0, reinterpret_cast<sockaddr*>(&from), length);
  }

  NatpmpMode mode_;
  std::array<uint8_t, 4> external_{};
  int socket_ = LoopbackSocket(SOCK_DGRAM, 5351);
  mutable std::mutex mutex_;
  std::vector<uint32_t> lifetimes_;
  std::jthread thread_{[this](const std::stop_token& stop) {
    while (!stop.stop_requested()) Serve();
  }};
};

}  // namespace kraylo::testing
