// UPnP IGD through miniupnpc; no miniupnpc header reaches beyond upnp_router.cpp.
#pragma once

#include <memory>
#include <string>

#include "portmap/router_protocol.h"

namespace kraylo {

// A UPnP router found by discovery, or at `description_url` when that is not empty.
std::unique_ptr<RouterProtocol> MakeUpnpRouter(const std::string& description_url);

}  // namespace kraylo
