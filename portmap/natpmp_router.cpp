#include "portmap/natpmp_router.h"

#include <natpmp.h>

#include <array>
#include <cstring>
#include <thread>

namespace kraylo {
namespace {

// How often an unanswered request is looked at again (libnatpmp's socket never blocks).
constexpr auto kPollEvery = std::chrono::milliseconds(5);

// "a.b.c.d" as an address in network order; false for anything else.
bool ParseIpv4(const std::string& text, in_addr_t& address) {
  std::array<uint8_t, 4> bytes{};
  size_t at = 0;
  for (size_t part = 0; part < bytes.size(); ++part) {
    int value = 0;
    size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
      value = value * 10 + (text[at++] - '0');
      ++digits;
    }
    if (digits == 0 || value > 255) return false;
    bytes[part] = static_cast<uint8_t>(value);
    if (part + 1 < bytes.size() && (at >= text.size() || text[at++] != '.')) return false;
  }
  if (at != text.size()) return false;
  std::memcpy(&address, bytes.data(), bytes.size());
  return true;
}

std::string Ipv4Text(const in_addr& address) {
  std::array<uint8_t, 4> bytes{};
  std::memcpy(bytes.data(), &address.s_addr, bytes.size());
  return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
         std::to_string(bytes[2]) + "." + std::to_string(bytes[3]);
}

// Closes the library's socket on every way out.
struct Gateway {
  natpmp_t handle{};
  bool open = false;
  ~Gateway() {
    if (open) closenatpmp(&handle);
  }
};

// The answer to the request just sent; its error code (< 0), or 0 with `response` filled. Gives
// up at `deadline` with NATPMP_TRYAGAIN.
int Await(natpmp_t& handle, natpmpresp_t& response, Deadline deadline) {
  while (true) {
    const int result = readnatpmpresponseorretry(&handle, &response);
    if (result != NATPMP_TRYAGAIN) return result;
    if (std::chrono::steady_clock::now() >= deadline) return NATPMP_TRYAGAIN;
    std::this_thread::sleep_for(kPollEvery);
  }
}

std::string Failure(int result) {
  if (result == NATPMP_TRYAGAIN) return "the NAT-PMP router did not answer";
  return "the NAT-PMP router refused (error " + std::to_string(result) + ")";
}

class NatpmpRouter final : public RouterProtocol {
 public:
  explicit NatpmpRouter(std::string gateway) : gateway_(std::move(gateway)) {}

  const char* name() const override { return "NAT-PMP"; }

  RouterAnswer Map(uint16_t port, uint32_t lease_seconds, Deadline deadline) override {
    Gateway gateway;
    if (!Open(gateway)) return {std::nullopt, "no NAT-PMP gateway"};
    natpmpresp_t response{};
    int result = sendpublicaddressrequest(&gateway.handle);
    if (result >= 0) result = Await(gateway.handle, response, deadline);
    if (result < 0) return {std::nullopt, Failure(result)};
    const std::string external = Ipv4Text(response.pnu.publicaddress.addr);
    result =
        sendnewportmappingrequest(&gateway.handle, NATPMP_PROTOCOL_UDP, port, port, lease_seconds);
    if (result >= 0) result = Await(gateway.handle, response, deadline);
    if (result < 0) return {std::nullopt, Failure(result)};
    const auto& mapping = response.pnu.newportmapping;
    return {MappedPort{external, mapping.mappedpublicport, mapping.lifetime == 0}, ""};
  }

  bool Unmap(uint16_t port, Deadline deadline) override {
    Gateway gateway;
    if (!Open(gateway)) return false;
    natpmpresp_t response{};
    // A lifetime of 0 removes the mapping.
    int result = sendnewportmappingrequest(&gateway.handle, NATPMP_PROTOCOL_UDP, port, 0, 0);
    if (result >= 0) result = Await(gateway.handle, response, deadline);
    return result >= 0;
  }

 private:
  bool Open(Gateway& gateway) const {
    in_addr_t forced = 0;
    if (!gateway_.empty() && !ParseIpv4(gateway_, forced)) return false;
    gateway.open = initnatpmp(&gateway.handle, gateway_.empty() ? 0 : 1, forced) >= 0;
    return gateway.open;
  }

  std::string gateway_;
};

}  // namespace

std::unique_ptr<RouterProtocol> MakeNatpmpRouter(const std::string& gateway) {
  return std::make_unique<NatpmpRouter>(gateway);
}

}  // namespace kraylo
