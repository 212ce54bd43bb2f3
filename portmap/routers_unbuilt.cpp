// The routers of a build without miniupnpc and libnatpmp (the Windows build, whose libraries are
// built from source and do not take those two yet): each says so when asked, and the host's
// waiting screen then tells the player to open the port by hand.
#include "portmap/natpmp_router.h"
#include "portmap/upnp_router.h"

namespace kraylo {
namespace {

class UnbuiltRouter final : public RouterProtocol {
 public:
  explicit UnbuiltRouter(const char* name) : name_(name) {}
  const char* name() const override { return name_; }
  RouterAnswer Map(uint16_t, uint32_t, Deadline) override {
    return {std::nullopt, "this build of Kraylo cannot ask routers"};
  }
  bool Unmap(uint16_t, Deadline) override { return false; }

 private:
  const char* name_;
};

}  // namespace

std::unique_ptr<RouterProtocol> MakeUpnpRouter(const std::string&) {
  return std::make_unique<UnbuiltRouter>("UPnP");
}

std::unique_ptr<RouterProtocol> MakeNatpmpRouter(const std::string&) {
  return std::make_unique<UnbuiltRouter>("NAT-PMP");
}

}  // namespace kraylo
