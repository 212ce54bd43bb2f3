// NAT-PMP through libnatpmp; no libnatpmp header reaches beyond natpmp_router.cpp.
#pragma once

#include <memory>
#include <string>

#include "portmap/router_protocol.h"

namespace kraylo {

// A NAT-PMP gateway: the default gateway, or `gateway` (IPv4) when that is not empty. Its port is
// the protocol's fixed 5351.
std::unique_ptr<RouterProtocol> MakeNatpmpRouter(const std::string& gateway);

}  // namespace kraylo
