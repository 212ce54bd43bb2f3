// A relay for UDP datagrams between a client and a server on 127.0.0.1, which delays, reorders,
// loses, duplicates and corrupts them by a seeded chance, and can black the link out for a while:
// the bad network of the tests, without touching the machine's own traffic shaping.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

namespace kraylo::testing {

// What the link does to each datagram, each way.
struct LinkShape {
  double one_way = 0;    // seconds every datagram takes
  double jitter = 0;     // up to this many seconds more, evenly spread
  double loss = 0;       // share of datagrams lost
  double reorder = 0;    // share held back long enough for later ones to overtake them
  double duplicate = 0;  // share delivered twice
  double corrupt = 0;    // share with one bit flipped
};

class UdpProxy {
 public:
  // Forwards between whoever sends to port() and the server at 127.0.0.1:`server_port`.
  UdpProxy(uint16_t server_port, uint64_t seed) : chance_(seed) {
    server_.sin_family = AF_INET;
    server_.sin_port = htons(server_port);
    server_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    client_side_ = OpenSocket();
    server_side_ = OpenSocket();
  }
  ~UdpProxy() {
    close(client_side_);
    close(server_side_);
  }
  UdpProxy(const UdpProxy&) = delete;
  UdpProxy& operator=(const UdpProxy&) = delete;

  // The port the client sends to.
  uint16_t port() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(client_side_, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
  }

  // From now on, datagrams are treated as `shape` says (until then they pass at once).
  void Shape(const LinkShape& shape) { shape_ = shape; }
  // Every datagram that arrives from `from` to `until` (seconds) is lost.
  void Blackout(double from, double until) { blackout_ = {from, until}; }

  // Takes in what has arrived at `now` (seconds) and sends on what is due.
  void Pump(double now) {
    Receive(client_side_, true, now);
    Receive(server_side_, false, now);
    while (!queue_.empty() && queue_.begin()->first <= now) {
      const Datagram& datagram = queue_.begin()->second;
      if (datagram.to_server) {
        Send(server_side_, server_, datagram.bytes);
      } else if (client_) {
        Send(client_side_, *client_, datagram.bytes);
      }
      queue_.erase(queue_.begin());
    }
  }

  int64_t relayed = 0;  // datagrams taken in
  int64_t lost = 0;     // of those, lost

 private:
  struct Datagram {
    bool to_server = false;
    std::vector<uint8_t> bytes;
  };

  static int OpenSocket() {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
      throw std::runtime_error("the test relay cannot open a UDP socket");
    }
    return fd;
  }

  static void Send(int fd, const sockaddr_in& to, const std::vector<uint8_t>& bytes) {
    sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }

  bool Chance(double share) { return std::bernoulli_distribution(share)(chance_); }
  double Spread(double most) { return std::uniform_real_distribution<double>(0, most)(chance_); }

  void Receive(int fd, bool from_client, double now) {
    std::vector<uint8_t> buffer(2048);
    // Bounded: a relay that is flooded still gives the sessions their turn.
    for (int taken = 0; taken < 1000; ++taken) {
      sockaddr_in from{};
      socklen_t length = sizeof from;
      const ssize_t size = recvfrom(fd, buffer.data(), buffer.size(), 0,
                                    reinterpret_cast<sockaddr*>(&from), &length);
      if (size <= 0) return;
      if (from_client) client_ = from;
      ++relayed;
      Datagram datagram{from_client, {buffer.begin(), buffer.begin() + size}};
      if ((blackout_ && now >= blackout_->first && now < blackout_->second) ||
          Chance(shape_.loss)) {
        ++lost;
        continue;
      }
      if (Chance(shape_.corrupt)) {
        const size_t bit = std::uniform_int_distribution<size_t>(0, size * 8 - 1)(chance_);
        datagram.bytes[bit / 8] ^= static_cast<uint8_t>(1U << (bit % 8));
      }
      double due = now + shape_.one_way + Spread(shape_.jitter);
      if (Chance(shape_.reorder)) due += 0.040 + Spread(0.020);
      if (Chance(shape_.duplicate)) queue_.emplace(due + Spread(0.020), datagram);
      queue_.emplace(due, std::move(datagram));
    }
  }

  std::mt19937_64 chance_;
  LinkShape shape_;
  std::optional<std::pair<double, double>> blackout_;
  sockaddr_in server_{};
  std::optional<sockaddr_in> client_;
  int client_side_ = -1;
  int server_side_ = -1;
  std::multimap<double, Datagram> queue_;  // by the time each is due
};

}  // namespace kraylo::testing
