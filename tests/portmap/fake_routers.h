// Routers of the tests' own on 127.0.0.1: a UPnP IGD (its description and its SOAP control over
// HTTP) and a NAT-PMP gateway on the protocol's fixed UDP port 5351. Each answers on a thread of
// its own, as told, and counts what it was asked.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kraylo::testing {

// A bound socket of `type` on 127.0.0.1:`port` (0: any free port).
inline int LoopbackSocket(int type, uint16_t port) {
  const int fd = socket(AF_INET, type, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("a fake router cannot open its socket");
  }
  return fd;
}

// Whether `fd` has something to read within 20 ms.
inline bool Readable(int fd) {
  pollfd wanted{fd, POLLIN, 0};
  return poll(&wanted, 1, 20) > 0;
}

// Serves until destroyed; the thread checks every 20 ms whether to stop.
class FakeRouterThread {
 public:
  virtual ~FakeRouterThread() = default;

 protected:
  void Begin() {
    thread_ = std::thread([this] {
      while (!stop_) Serve();
    });
  }
  void End() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  virtual void Serve() = 0;

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// What the IGD does with a port mapping.
enum class IgdMode {
  kMaps,           // takes every lease
  kOnlyPermanent,  // answers a lease with error 725, maps a lease of 0
  kRefuses,        // answers error 718 (conflict)
};

class FakeIgd : public FakeRouterThread {
 public:
  FakeIgd(IgdMode mode, std::string external) : mode_(mode), external_(std::move(external)) {
    listener_ = LoopbackSocket(SOCK_STREAM, 0);
    listen(listener_, 8);
    Begin();
  }
  ~FakeIgd() override {
    End();
    close(listener_);
  }

  std::string description_url() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/rootDesc.xml";
  }
  // The leases asked for ("3600", "0"), and the ports removed, in order.
  std::vector<std::string> leases() const {
    std::lock_guard lock(mutex_);
    return leases_;
  }
  int removals() const { return removals_; }

 private:
  void Serve() override {
    if (!Readable(listener_)) return;
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    const std::string request = ReadRequest(client);
    const std::string reply = Answer(request);
    send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
    close(client);
  }

  static std::string ReadRequest(int client) {
    std::string request;
    char buffer[4096];
    // Bounded: the headers, then the body its Content-Length names.
    for (int reads = 0; reads < 64 && Readable(client); ++reads) {
      const ssize_t got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<size_t>(got));
      const size_t head_end = request.find("\r\n\r\n");
      if (head_end == std::string::npos) continue;
      const size_t length_at = request.find("Content-Length:");
      const size_t body =
          length_at == std::string::npos ? 0 : std::stoul(request.substr(length_at + 15, 12));
      if (request.size() >= head_end + 4 + body) break;
    }
    return request;
  }

  static std::string Value(const std::string& body, const std::string& name) {
    const size_t from = body.find("<" + name + ">");
    const size_t to = body.find("</" + name + ">");
    if (from == std::string::npos || to == std::string::npos) return "";
    return body.substr(from + name.size() + 2, to - from - name.size() - 2);
  }

  static std::string Http(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
  }

  static std::string Soap(const std::string& inner) {
    return "<?xml version=\"1.0\"?><s:Envelope "
           "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>" +
           inner + "</s:Body></s:Envelope>";
  }

  static std::string Fault(int code) {
    return Http("500 Internal Server Error",
                Soap("<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring>"
                     "<detail><UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" +
                     std::to_string(code) + "</errorCode></UPnPError></detail></s:Fault>"));
  }

  std::string Answer(const std::string& request) {
    const std::string service = "urn:schemas-upnp-org:service:WANIPConnection:1";
    if (request.rfind("GET ", 0) == 0) {
      return Http(
          "200 OK",
          "<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\"><device>"
          "<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>"
          "<deviceList><device><deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType>"
          "<deviceList><device>"
          "<deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType>"
          "<serviceList><service><serviceType>" +
              service +
              "</serviceType><serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId>"
              "<controlURL>/ctl/IPConn</controlURL><eventSubURL>/evt/IPConn</eventSubURL>"
              "<SCPDURL>/WANIPCn.xml</SCPDURL></service></serviceList>"
              "</device></deviceList></device></deviceList></device></root>");
    }
    if (request.find("#GetExternalIPAddress") != std::string::npos) {
      return Http("200 OK", Soap("<u:GetExternalIPAddressResponse xmlns:u=\"" + service +
                                 "\"><NewExternalIPAddress>" + external_ +
                                 "</NewExternalIPAddress></u:GetExternalIPAddressResponse>"));
    }
    if (request.find("#AddPortMapping") != std::string::npos) {
      const std::string lease = Value(request, "NewLeaseDuration");
      {
        std::lock_guard lock(mutex_);
        leases_.push_back(lease);
      }
      if (mode_ == IgdMode::kRefuses) return Fault(718);
      if (mode_ == IgdMode::kOnlyPermanent && lease != "0") return Fault(725);
      return Http("200 OK", Soap("<u:AddPortMappingResponse xmlns:u=\"" + service + "\"/>"));
    }
    if (request.find("#DeletePortMapping") != std::string::npos) {
      ++removals_;
      return Http("200 OK", Soap("<u:DeletePortMappingResponse xmlns:u=\"" + service + "\"/>"));
    }
    return Fault(401);
  }

  IgdMode mode_;
  std::string external_;
  int listener_ = -1;
  mutable std::mutex mutex_;
  std::vector<std::string> leases_;
  std::atomic<int> removals_{0};
};

// What the NAT-PMP gateway does.
enum class NatpmpMode {
  kMaps,     // answers every request
  kRefuses,  // answers with result code 2 (not authorised)
  kSilent,   // never answers
};

class FakeNatpmp : public FakeRouterThread {
 public:
  static constexpr uint16_t kPort = 5351;

  FakeNatpmp(NatpmpMode mode, const std::string& external) : mode_(mode) {
    inet_pton(AF_INET, external.c_str(), external_.data());
    socket_ = LoopbackSocket(SOCK_DGRAM, kPort);
    Begin();
  }
  ~FakeNatpmp() override {
    End();
    close(socket_);
  }

  // The lifetimes of the UDP mapping requests, in order (0: a removal).
  std::vector<uint32_t> lifetimes() const {
    std::lock_guard lock(mutex_);
    return lifetimes_;
  }

 private:
  void Serve() override {
    if (!Readable(socket_)) return;
    uint8_t request[16];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t got =
        recvfrom(socket_, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (got < 2 || mode_ == NatpmpMode::kSilent) return;
    const uint8_t opcode = request[1];
    std::vector<uint8_t> reply = {0, static_cast<uint8_t>(128 + opcode),
                                  0, static_cast<uint8_t>(mode_ == NatpmpMode::kRefuses ? 2 : 0),
                                  0, 0,
                                  0, 1};
    if (opcode == 0) {
      reply.insert(reply.end(), external_.begin(), external_.end());
    } else if (got >= 12) {
      uint32_t lifetime = 0;
      std::memcpy(&lifetime, request + 8, 4);
      {
        std::lock_guard lock(mutex_);
        lifetimes_.push_back(ntohl(lifetime));
      }
      // The private port, the public port as asked (or the private one), the lifetime.
      reply.insert(reply.end(), request + 4, request + 6);
      const bool any = request[6] == 0 && request[7] == 0;
      reply.insert(reply.end(), request + (any ? 4 : 6), request + (any ? 6 : 8));
      reply.insert(reply.end(), request + 8, request + 12);
    }
    sendto(socket_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), length);
  }

  NatpmpMode mode_;
  std::array<uint8_t, 4> external_{};
  int socket_ = -1;
  mutable std::mutex mutex_;
  std::vector<uint32_t> lifetimes_;
};

}  // namespace kraylo::testing
