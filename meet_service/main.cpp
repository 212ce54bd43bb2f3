// kraylo-meet: the meeting service. Hands out codes, tells each side its public address,
// introduces the two and relays the games whose sides cannot reach each other.
#include <arpa/inet.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <variant>

#include "meet_service/counters_line.h"
#include "meet_service/service_key.h"
#include "meet_service/udp_loop.h"

namespace {

using kraylo::ServiceLimits;

constexpr const char* kUsage =
    "Usage: kraylo-meet [--port N] [--key FILE] [--relay-ports LOW-HIGH] [--address A]\n"
    "The meeting service of Kraylo: codes for network games, introductions, and a relay.\n"
    "  --port N                 the meeting port (default 27911); the address echo (STUN)\n"
    "                           answers on the next one (27912)\n"
    "  --key FILE               the secret key, made (readable by its owner only) when missing\n"
    "                           (default kraylo-meet.key in the working folder); keep it across\n"
    "                           restarts, and relayed games survive them\n"
    "  --relay-ports LOW-HIGH   the relay's ports, two per relayed game (default 28000-31999)\n"
    "  --address A              the IPv4 address to listen on (default: all)\n"
    "  --help                   this text\n"
    "Logs to standard error, a line of counters a minute; ends on SIGTERM or SIGINT.\n";

struct Options {
  ServiceLimits limits;
  std::string key_path = "kraylo-meet.key";
  uint32_t address = 0;
  bool help = false;
};

bool ReadPort(std::string_view text, uint16_t& port) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value == 0 || value > 65535) {
    return false;
  }
  port = static_cast<uint16_t>(value);
  return true;
}

// The options, or an error's text.
std::variant<Options, std::string> ReadOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help") {
      options.help = true;
      continue;
    }
    if (option != "--port" && option != "--key" && option != "--relay-ports" &&
        option != "--address") {
      return "kraylo-meet: unknown option " + std::string(option) + " (see --help)";
    }
    if (i + 1 >= argc) return "kraylo-meet: " + std::string(option) + " needs a value";
    const std::string_view value = argv[++i];
    if (option == "--port") {
      if (!ReadPort(value, options.limits.meeting_port) || options.limits.meeting_port == 65535) {
        return "kraylo-meet: --port takes a port from 1 to 65534, not " + std::string(value);
      }
      options.limits.echo_port = static_cast<uint16_t>(options.limits.meeting_port + 1);
    } else if (option == "--key") {
      options.key_path = value;
    } else if (option == "--relay-ports") {
      const size_t dash = value.find('-');
      if (dash == std::string_view::npos ||
          !ReadPort(value.substr(0, dash), options.limits.relay_low) ||
          !ReadPort(value.substr(dash + 1), options.limits.relay_high) ||
          options.limits.relay_high <= options.limits.relay_low) {
        return "kraylo-meet: --relay-ports takes LOW-HIGH, LOW below HIGH, not " +
               std::string(value);
      }
    } else {
      in_addr address{};
      if (inet_pton(AF_INET, std::string(value).c_str(), &address) != 1) {
        return "kraylo-meet: --address takes an IPv4 address, not " + std::string(value);
      }
      options.address = ntohl(address.s_addr);
    }
  }
  const ServiceLimits& limits = options.limits;
  for (const uint16_t port : {limits.meeting_port, limits.echo_port}) {
    if (port >= limits.relay_low && port <= limits.relay_high) {
      return "kraylo-meet: the relay's ports must not include the meeting and echo ports";
    }
  }
  options.limits.most_games =
      std::min<size_t>(options.limits.most_games, (limits.relay_high - limits.relay_low + 1) / 2);
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const auto read = ReadOptions(argc, argv);
  if (const auto* error = std::get_if<std::string>(&read)) {
    std::cerr << *error << "\n";
    return 2;
  }
  const Options& options = std::get<Options>(read);
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  const auto key = kraylo::LoadOrCreateKey(options.key_path);
  if (const auto* error = std::get_if<kraylo::KeyError>(&key)) {
    std::cerr << "kraylo-meet: " << error->message << "\n";
    return 1;
  }
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  const int stop = signalfd(-1, &signals, SFD_CLOEXEC);

  kraylo::UdpLoop loop(options.address);
  for (const uint16_t port : {options.limits.meeting_port, options.limits.echo_port}) {
    const std::string error = loop.Listen(port);
    if (!error.empty()) {
      std::cerr << "kraylo-meet: " << error << "\n";
      return 1;
    }
  }
  kraylo::MeetingService service(std::get<kraylo::HashKey>(key), options.limits, loop);
  std::cerr << "kraylo-meet: meeting on UDP port " << options.limits.meeting_port
            << ", address echo on " << options.limits.echo_port << ", relay on "
            << options.limits.relay_low << "-" << options.limits.relay_high << std::endl;
  double next_counters = kraylo::UdpLoop::Now() + 60;
  loop.Run(service, stop, [&](double now) {
    service.Expire(now);
    if (now >= next_counters) {
      next_counters += 60;
      std::cerr << "kraylo-meet: " << kraylo::CountersLine(service.TakeCounters()) << std::endl;
    }
  });
  std::cerr << "kraylo-meet: stopped; " << kraylo::CountersLine(service.TakeCounters())
            << std::endl;
  close(stop);
  return 0;
}
