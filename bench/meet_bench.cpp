// The meeting service under load, on loopback: kraylo-meet as its own process, 10,000 waiting
// rooms kept alive as hosts do, and relayed games at a game's own rate (33 datagrams a second each
// way, 60 bytes) for a bounded time, the games met and bound by the meeting client itself. The
// load's sockets are spread over 127/8 so that the per-address caps stay on. Prints the rate
// achieved, the service's CPU share and peak memory, what it dropped, and the delay through the
// relay (p50, p99: from the send call to the kernel's arrival stamp at the other side).
// Usage: meet_bench [--games N] [--rooms N] [--seconds S]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "meeting/meeting_client.h"

namespace kraylo {
namespace {

constexpr uint16_t kPort = 47911;
constexpr const char* kRelayPorts = "48000-51999";
constexpr double kTickSeconds = 1.0 / 33;
constexpr size_t kGameDatagramBytes = 60;
constexpr int kRoomsPerSocket = 10;  // the registrations an address may burst
constexpr double kKeepAliveSeconds = 5;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
int64_t WallNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

sockaddr_in Address(Endpoint endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(endpoint.port);
  address.sin_addr.s_addr = htonl(endpoint.address);
  return address;
}

// A UDP socket of the load on its own loopback address, in the shared epoll set.
struct LoadSocket {
  int fd = -1;
  Endpoint local;
  void Open(int epoll, uint32_t address, uint32_t tag) {
    fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    sockaddr_in bound = Address({address, 0});
    if (bind(fd, reinterpret_cast<sockaddr*>(&bound), sizeof bound) != 0) {
      std::perror("bind");
      std::exit(1);
    }
    socklen_t size = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size);
    local = {address, ntohs(bound.sin_port)};
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = tag;
    epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
  }
  void Send(Endpoint to, std::span<const uint8_t> bytes) const {
    const sockaddr_in address = Address(to);
    sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&address),
           sizeof address);
  }
  // One datagram, its sender and the kernel's arrival stamp (ns); false when none waits.
  bool Receive(std::vector<uint8_t>& bytes, Endpoint& from, int64_t& arrived) const {
    bytes.resize(2048);
    sockaddr_in address{};
    iovec io{bytes.data(), bytes.size()};
    alignas(cmsghdr) char control[64];
    msghdr header{};
    header.msg_name = &address;
    header.msg_namelen = sizeof address;
    header.msg_iov = &io;
    header.msg_iovlen = 1;
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    const ssize_t got = recvmsg(fd, &header, 0);
    if (got < 0) return false;
    bytes.resize(static_cast<size_t>(got));
    from = {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
    arrived = WallNanoseconds();
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c != nullptr; c = CMSG_NXTHDR(&header, c)) {
      if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
        timespec stamp{};
        std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
        arrived = int64_t{stamp.tv_sec} * 1000000000 + stamp.tv_nsec;
      }
    }
    return true;
  }
};

struct Room {
  RoomCode code;
  HashKey token{};
  double next_keep = 0;
};

struct GameSide {
  LoadSocket socket;
  std::optional<MeetingClient> client;
  std::optional<Endpoint> peer;  // the relay port that stands for the other side
};

struct LoadGame {
  GameSide sides[2];
};

// CPU seconds (user + system) a process has used.
double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::stod(field);
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long PeakKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

double Percentile(std::vector<int64_t>& values, double share) {
  if (values.empty()) return 0;
  const size_t at =
      std::min(values.size() - 1, static_cast<size_t>(share * static_cast<double>(values.size())));
  std::nth_element(values.begin(), values.begin() + static_cast<long>(at), values.end());
  return static_cast<double>(values[at]) / 1000.0;
}

Offer GameOffer(Endpoint own) {
  Offer offer{3, 800, 600, 0, 0, {}};
  offer.candidates.count = 1;
  offer.candidates.endpoints[0] = own;
  return offer;
}

int Run(int games_wanted, int rooms_wanted, double seconds) {
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("meet_bench." + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string key = (folder / "key").string();
  const std::string log = (folder / "log").string();
  const pid_t service = fork();
  if (service == 0) {
    std::freopen(log.c_str(), "w", stderr);
    execl(KRAYLO_MEET_PROGRAM, "kraylo-meet", "--address", "127.0.0.1", "--port",
          std::to_string(kPort).c_str(), "--key", key.c_str(), "--relay-ports", kRelayPorts,
          static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  usleep(300000);
  const Endpoint meeting{0x7F000001, kPort};
  const int epoll = epoll_create1(EPOLL_CLOEXEC);
  std::vector<uint8_t> bytes;

  // The rooms: ten per address, on 127.1.x.y.
  const int room_sockets = (rooms_wanted + kRoomsPerSocket - 1) / kRoomsPerSocket;
  std::vector<LoadSocket> room_socket(static_cast<size_t>(room_sockets));
  std::vector<Room> rooms;
  for (int i = 0; i < room_sockets; ++i) {
    room_socket[static_cast<size_t>(i)].Open(
        epoll, 0x7F010001u + static_cast<uint32_t>((i / 250) << 8 | i % 250), 0);
  }
  // The games' sides: hosts on 127.2.x.y, players on 127.3.x.y.
  std::vector<LoadGame> games(static_cast<size_t>(games_wanted));
  for (int g = 0; g < games_wanted; ++g) {
    for (uint32_t side = 0; side < 2; ++side) {
      games[static_cast<size_t>(g)].sides[side].socket.Open(
          epoll, 0x7F020001u + (side << 16) + static_cast<uint32_t>((g / 250) << 8 | g % 250),
          1 + static_cast<uint32_t>(g) * 2 + side);
    }
  }
  std::vector<epoll_event> events(256);
  // Reads every waiting datagram; game datagrams go to `game_datagram(tag, bytes, arrived)`.
  auto drain = [&](double wait, auto&& on_room, auto&& on_side) {
    const int ready = epoll_wait(epoll, events.data(), static_cast<int>(events.size()),
                                 static_cast<int>(wait * 1000));
    for (int i = 0; i < ready; ++i) {
      const uint32_t tag = events[i].data.u32;
      Endpoint from;
      int64_t arrived = 0;
      if (tag == 0) {
        for (const LoadSocket& s : room_socket) {
          while (s.Receive(bytes, from, arrived)) on_room(bytes);
        }
        continue;
      }
      GameSide& side = games[(tag - 1) / 2].sides[(tag - 1) % 2];
      while (side.socket.Receive(bytes, from, arrived))
        on_side(side, (tag - 1) / 2, from, bytes, arrived);
    }
  };

  const double setup_started = Now();
  for (int i = 0; i < room_sockets; ++i) {
    for (int r = 0; r < kRoomsPerSocket && i * kRoomsPerSocket + r < rooms_wanted; ++r) {
      room_socket[static_cast<size_t>(i)].Send(
          meeting, EncodeMeeting(RegisterMessage{GameOffer({})}).bytes());
    }
    // Paced, so that the service's receive buffer never overflows with registrations.
    usleep(1000);
  }
  auto on_room = [&](const std::vector<uint8_t>& datagram) {
    const MeetingMessage message = DecodeMeeting(datagram);
    if (const auto* registered = std::get_if<RegisteredMessage>(&message)) {
      rooms.push_back({registered->code, registered->room_token,
                       Now() + kKeepAliveSeconds * static_cast<double>(rooms.size() % 500) / 500});
    }
  };
  // Meeting datagrams to a game's client; probes dropped, so that every game is relayed.
  auto on_setup_side = [&](GameSide& side, size_t, Endpoint from,
                           const std::vector<uint8_t>& datagram, int64_t) {
    if (from.address == meeting.address && MeetingClient::Intercepts(datagram)) {
      side.client->Receive(from, datagram, Now());
    }
  };
  // Every room's host keeps it alive every 5 s, whatever the load is doing.
  uint64_t keep_alives = 0;
  uint64_t kept = 0;
  auto keep_rooms_alive = [&](double now) {
    for (size_t r = 0; r < rooms.size(); ++r) {
      if (now < rooms[r].next_keep) continue;
      ++keep_alives;
      rooms[r].next_keep = now + kKeepAliveSeconds;
      room_socket[r / kRoomsPerSocket].Send(
          meeting,
          EncodeMeeting(KeepAliveMessage{rooms[r].code, rooms[r].token, GameOffer({})}).bytes());
    }
  };
  for (double end = Now() + 10; Now() < end && static_cast<int>(rooms.size()) < rooms_wanted;) {
    drain(0.05, on_room, on_setup_side);
    keep_rooms_alive(Now());
  }
  // The games: each host registers, its player joins, both find no direct path and bind.
  uint64_t seed = 1;
  for (LoadGame& game : games) {
    GameSide& host = game.sides[0];
    host.client = MeetingClient::ForHost(
        MeetingSetup{meeting, "bench", GameOffer(host.socket.local), 60, seed++}, Now());
  }
  auto pump = [&](GameSide& side) {
    side.client->Advance(Now());
    for (const MeetingSend& send : side.client->TakeSends()) side.socket.Send(send.to, send.bytes);
    for (const MeetingEvent& event : side.client->TakeEvents()) {
      if (const auto* path = std::get_if<PathChosenEvent>(&event)) side.peer = path->peer;
      if (const auto* failed = std::get_if<MeetingFailedEvent>(&event)) {
        std::fprintf(stderr, "meet_bench: %s\n", failed->message.c_str());
      }
      if (const auto* code = std::get_if<CodeGivenEvent>(&event)) {
        LoadGame& game = games[static_cast<size_t>(&side - &games[0].sides[0]) / 2];
        GameSide& player = game.sides[1];
        player.client = MeetingClient::ForJoiner(
            MeetingSetup{meeting, "bench", GameOffer(player.socket.local), 60, seed++}, code->code,
            Now());
      }
    }
  };
  int bound = 0;
  for (double end = Now() + 20; Now() < end && bound < 2 * games_wanted;) {
    drain(0.01, on_room, on_setup_side);
    keep_rooms_alive(Now());
    bound = 0;
    for (LoadGame& game : games) {
      for (GameSide& side : game.sides) {
        if (side.client) pump(side);
        bound += side.peer ? 1 : 0;
      }
    }
  }
  std::printf("set up in %.1f s: %zu rooms of %d, %d relayed sides of %d\n", Now() - setup_started,
              rooms.size(), rooms_wanted, bound, 2 * games_wanted);

  // The load: every side sends one datagram a tick to the relay port standing for the other.
  uint64_t sent = 0;
  uint64_t received = 0;
  std::vector<int64_t> delays_ns;
  delays_ns.reserve(static_cast<size_t>(66 * seconds * games_wanted) + 1);
  auto on_load_side = [&](GameSide& side, size_t, Endpoint from,
                          const std::vector<uint8_t>& datagram, int64_t arrived) {
    if (MeetingClient::Intercepts(datagram)) {
      if (from.address == meeting.address) side.client->Receive(from, datagram, Now());
      return;
    }
    if (datagram.size() != kGameDatagramBytes) return;
    int64_t stamp = 0;
    std::memcpy(&stamp, datagram.data() + 4, sizeof stamp);
    delays_ns.push_back(arrived - stamp);
    ++received;
  };
  auto count_kept = [&](const std::vector<uint8_t>& datagram) {
    kept += std::holds_alternative<KeptMessage>(DecodeMeeting(datagram)) ? 1 : 0;
  };
  keep_alives = 0;
  std::vector<uint8_t> game_datagram(kGameDatagramBytes, 0);
  game_datagram[0] = 0x80;  // ENet's sent-time flag on peer 0: not a meeting datagram
  const double cpu_before = CpuSeconds(service);
  const double load_started = Now();
  // Each side's sends are spread over the tick, as independent players' are.
  std::vector<double> next_send(2 * games.size());
  for (size_t i = 0; i < next_send.size(); ++i) {
    next_send[i] = load_started +
                   kTickSeconds * static_cast<double>(i) / static_cast<double>(next_send.size());
  }
  double next_pump = load_started;
  while (Now() < load_started + seconds) {
    const double now = Now();
    for (size_t i = 0; i < next_send.size(); ++i) {
      GameSide& side = games[i / 2].sides[i % 2];
      if (now < next_send[i] || !side.peer) continue;
      next_send[i] += kTickSeconds;
      const int64_t stamp = WallNanoseconds();
      std::memcpy(game_datagram.data() + 4, &stamp, sizeof stamp);
      side.socket.Send(*side.peer, game_datagram);
      ++sent;
    }
    if (now >= next_pump) {
      next_pump += 0.1;
      for (LoadGame& game : games) pump(game.sides[0]);  // the hosts' keep-alives
      keep_rooms_alive(now);
    }
    drain(0.001, count_kept, on_load_side);
  }
  const double load_seconds = Now() - load_started;
  for (const double end = Now() + 0.2; Now() < end;) {
    drain(0.01, count_kept, on_load_side);
  }
  const double cpu = CpuSeconds(service) - cpu_before;
  const long peak = PeakKilobytes(service);
  kill(service, SIGTERM);
  int status = 0;
  waitpid(service, &status, 0);
  std::ifstream log_file(log);
  std::string line;
  std::string last;
  while (std::getline(log_file, line)) last = line;
  std::filesystem::remove_all(folder);

  std::printf(
      "%d relayed games for %.1f s beside %zu rooms: %.0f datagrams/s through the relay "
      "(%.0f wanted)\n",
      bound / 2, load_seconds, rooms.size(), static_cast<double>(received) / load_seconds,
      static_cast<double>(bound) / kTickSeconds);
  std::printf("service CPU %.1f %% of one core, peak memory %.1f MB\n", 100 * cpu / load_seconds,
              static_cast<double>(peak) / 1024);
  std::printf("sent %llu, arrived %llu, lost %llu\n", static_cast<unsigned long long>(sent),
              static_cast<unsigned long long>(received),
              static_cast<unsigned long long>(sent - std::min(sent, received)));
  std::printf("keep-alives answered: %llu of %llu\n", static_cast<unsigned long long>(kept),
              static_cast<unsigned long long>(keep_alives));
  std::printf("delay through the relay: p50 %.0f us, p99 %.0f us\n", Percentile(delays_ns, 0.5),
              Percentile(delays_ns, 0.99));
  std::printf("service's last line: %s\n", last.c_str());
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

}  // namespace
}  // namespace kraylo

int main(int argc, char** argv) {
  int games = 1000;
  int rooms = 10000;
  double seconds = 30;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--games") {
      games = std::clamp(std::atoi(argv[i + 1]), 1, 2000);
    } else if (option == "--rooms") {
      rooms = std::clamp(std::atoi(argv[i + 1]), 0, 50000);
    } else if (option == "--seconds") {
      seconds = std::clamp(std::atof(argv[i + 1]), 1.0, 120.0);
    } else {
      std::fprintf(stderr,
                   "usage: meet_bench [--games 1-2000] [--rooms 0-50000] [--seconds 1-120]\n");
      return 2;
    }
  }
  if (argc % 2 == 0) {
    std::fprintf(stderr, "meet_bench: %s needs a value\n", argv[argc - 1]);
    return 2;
  }
  return kraylo::Run(games, rooms, seconds);
}
