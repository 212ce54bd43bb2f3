#include "portmap/upnp_router.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>

#include <algorithm>
#include <array>

namespace kraylo {
namespace {

// The IGD's answer when it keeps no lease: only a permanent mapping can be had.
constexpr int kOnlyPermanentLeases = 725;
// Routers show this beside the mapping.
constexpr const char* kMappingName = "Kraylo";
// UPNP_GetValidIGD: an IGD that is connected to the internet.
constexpr int kConnectedIgd = 1;

int MillisecondsLeft(Deadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::clamp<int64_t>(left.count(), 0, 60'000));
}

class UpnpRouter final : public RouterProtocol {
 public:
  explicit UpnpRouter(std::string description_url) : description_url_(std::move(description_url)) {}
  ~UpnpRouter() override {
    if (found_) FreeUPNPUrls(&urls_);
  }
  UpnpRouter(const UpnpRouter&) = delete;
  UpnpRouter& operator=(const UpnpRouter&) = delete;

  const char* name() const override { return "UPnP"; }

  RouterAnswer Map(uint16_t port, uint32_t lease_seconds, Deadline deadline) override {
    if (!Find(deadline)) return {std::nullopt, "no UPnP router answered"};
    const std::string port_text = std::to_string(port);
    bool permanent = lease_seconds == 0;
    int result = Add(port_text, lease_seconds);
    if (result == kOnlyPermanentLeases && !permanent) {
      permanent = true;
      result = Add(port_text, 0);
    }
    if (result != UPNPCOMMAND_SUCCESS) {
      return {std::nullopt, "the UPnP router refused (error " + std::to_string(result) + ")"};
    }
    std::array<char, 40> external{};
    if (UPNP_GetExternalIPAddress(urls_.controlURL, data_.first.servicetype, external.data()) !=
            UPNPCOMMAND_SUCCESS ||
        external[0] == '\0') {
      Unmap(port, deadline);
      return {std::nullopt, "the UPnP router did not say its address"};
    }
    return {MappedPort{external.data(), port, permanent}, ""};
  }

  bool Unmap(uint16_t port, Deadline /*deadline*/) override {
    if (!found_) return false;
    const std::string port_text = std::to_string(port);
    return UPNP_DeletePortMapping(urls_.controlURL, data_.first.servicetype, port_text.c_str(),
                                  "UDP", nullptr) == UPNPCOMMAND_SUCCESS;
  }

 private:
  bool Find(Deadline deadline) {
    if (found_) return true;
    if (!description_url_.empty()) {
      found_ = UPNP_GetIGDFromUrl(description_url_.c_str(), &urls_, &data_, lan_.data(),
                                  static_cast<int>(lan_.size())) != 0;
    } else {
      int error = 0;
      UPNPDev* devices = upnpDiscover(MillisecondsLeft(deadline), nullptr, nullptr,
                                      UPNP_LOCAL_PORT_ANY, 0, 2, &error);
      if (devices == nullptr) return false;
      const int igd =
          UPNP_GetValidIGD(devices, &urls_, &data_, lan_.data(), static_cast<int>(lan_.size()));
      freeUPNPDevlist(devices);
      found_ = igd != 0;
      if (found_ && igd != kConnectedIgd) {
        FreeUPNPUrls(&urls_);
        found_ = false;
      }
    }
    // A device without a WAN connection service cannot forward anything.
    if (found_ && data_.first.servicetype[0] == '\0') {
      FreeUPNPUrls(&urls_);
      found_ = false;
    }
    return found_;
  }

  int Add(const std::string& port, uint32_t lease_seconds) {
    const std::string lease = std::to_string(lease_seconds);
    return UPNP_AddPortMapping(urls_.controlURL, data_.first.servicetype, port.c_str(),
                               port.c_str(), lan_.data(), kMappingName, "UDP", nullptr,
                               lease.c_str());
  }

  std::string description_url_;
  bool found_ = false;
  UPNPUrls urls_{};
  IGDdatas data_{};
  std::array<char, 64> lan_{};  // this machine's address toward the router
};

}  // namespace

std::unique_ptr<RouterProtocol> MakeUpnpRouter(const std::string& description_url) {
  return std::make_unique<UpnpRouter>(description_url);
}

}  // namespace kraylo
