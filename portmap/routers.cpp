#include "portmap/routers.h"

#include "portmap/natpmp_router.h"
#include "portmap/upnp_router.h"

namespace kraylo {

std::vector<std::unique_ptr<RouterProtocol>> MakeRouters(const RouterAddress& where) {
  std::vector<std::unique_ptr<RouterProtocol>> routers;
  routers.push_back(MakeUpnpRouter(where.upnp_description));
  routers.push_back(MakeNatpmpRouter(where.natpmp_gateway));
  return routers;
}

RouterAddress RoutersAt(const std::string& upnp_description_url) {
  RouterAddress where{upnp_description_url, upnp_description_url};
  if (const size_t scheme = upnp_description_url.find("://"); scheme != std::string::npos) {
    const size_t host = scheme + 3;
    where.natpmp_gateway =
        upnp_description_url.substr(host, upnp_description_url.find_first_of(":/", host) - host);
  }
  return where;
}

}  // namespace kraylo
