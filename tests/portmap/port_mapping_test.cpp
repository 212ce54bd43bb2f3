// The host's port mapping against routers of the tests' own on 127.0.0.1: mapped, renewed and
// removed, a router that takes only permanent mappings, refused, and no answer by the deadline.
#include "portmap/port_mapping.h"

#include <gtest/gtest.h>

#include <optional>

#include "portmap/natpmp_router.h"
#include "portmap/upnp_router.h"
#include "tests/portmap/fake_routers.h"

namespace kraylo::testing {
namespace {

using namespace std::chrono_literals;

// A mapping through `router` with the deadline injected and a renewal every 50 ms; its status once
// answered (polled for at most three seconds) and 200 ms later.
struct Mapped {
  MappingStatus first;
  MappingStatus later;
};
Mapped MapThrough(std::unique_ptr<RouterProtocol> router, std::chrono::milliseconds deadline) {
  std::vector<std::unique_ptr<RouterProtocol>> routers;
  routers.push_back(std::move(router));
  const PortMapping mapping(27910, std::move(routers), {deadline, 3600, 50ms});
  const auto give_up = std::chrono::steady_clock::now() + 3s;
  Mapped mapped{mapping.status(), {}};
  while (mapped.first.state == MappingState::kAsking &&
         std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(5ms);
    mapped.first = mapping.status();
  }
  std::this_thread::sleep_for(200ms);
  mapped.later = mapping.status();
  return mapped;
}

TEST(PortMapping, UpnpMapsRenewsAndRemovesOrFallsBackToAPermanentMappingOrIsRefused) {
  const struct {
    IgdMode mode;
    MappingState state;
    std::vector<std::string> first_leases;
    bool permanent;
    const char* why;
  } cases[] = {
      {IgdMode::kMaps, MappingState::kMapped, {"3600", "3600"}, false, ""},
      {IgdMode::kOnlyPermanent, MappingState::kMapped, {"3600", "0"}, true, ""},
      {IgdMode::kRefuses, MappingState::kNotMapped, {"3600"}, false, "error 718"},
  };
  for (const auto& c : cases) {
    FakeIgd igd(c.mode, "203.0.113.7");
    const Mapped mapped = MapThrough(MakeUpnpRouter(igd.description_url()), 1000ms);
    EXPECT_EQ(mapped.first.state, c.state) << mapped.first.why;
    EXPECT_NE(mapped.first.why.find(c.why), std::string::npos) << mapped.first.why;
    const bool mapped_port = c.state == MappingState::kMapped;
    if (mapped_port) {
      EXPECT_EQ(mapped.first.by + " " + mapped.first.port.external_address + ":" +
                    std::to_string(mapped.first.port.external_port),
                "UPnP 203.0.113.7:27910");
      EXPECT_EQ(mapped.first.port.permanent, c.permanent);
      EXPECT_EQ(mapped.later.renewed > 0, !c.permanent) << "a lease is renewed";
    }
    const std::vector<std::string> leases = igd.leases();
    ASSERT_GE(leases.size(), c.first_leases.size());
    EXPECT_EQ(std::vector(leases.begin(), leases.begin() + c.first_leases.size()), c.first_leases);
    EXPECT_EQ(igd.removals(), mapped_port ? 1 : 0) << "removed when the mapping ends";
  }
}

TEST(PortMapping, NatpmpMapsAndRemovesIsRefusedOrDoesNotAnswerByTheDeadline) {
  const struct {
    NatpmpMode mode;
    const char* said;
  } cases[] = {
      {NatpmpMode::kMaps, "NAT-PMP 100.64.1.2:27910"},
      {NatpmpMode::kRefuses, "the NAT-PMP router refused (error -51)"},
      {NatpmpMode::kSilent, "did not answer"},
  };
  for (const auto& c : cases) {
    FakeNatpmp gateway(c.mode, "100.64.1.2");
    const auto asked = std::chrono::steady_clock::now();
    const Mapped mapped = MapThrough(MakeNatpmpRouter("127.0.0.1"), 150ms);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s) << "the deadline holds";
    const MappingStatus& status = mapped.first;
    const std::string said = status.state == MappingState::kMapped
                                 ? status.by + " " + status.port.external_address + ":" +
                                       std::to_string(status.port.external_port)
                                 : status.why;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    const std::vector<uint32_t> lifetimes = gateway.lifetimes();
    if (c.mode == NatpmpMode::kMaps) {
      ASSERT_GE(lifetimes.size(), 2u);
      EXPECT_EQ(lifetimes.front(), 3600u);
      EXPECT_EQ(lifetimes.back(), 0u) << "removed when the mapping ends";
    }
  }
}

TEST(PortMapping, AnOutsideAddressThatIsPrivateOrCarrierGradeIsTold) {
  for (const char* behind : {"10.1.2.3", "172.16.0.1", "172.31.255.255", "192.168.0.1",
                             "100.64.0.1", "100.127.255.255"}) {
    EXPECT_TRUE(IsPrivateOrShared(behind)) << behind;
  }
  for (const char* outside :
       {"172.32.0.1", "192.169.0.1", "100.128.0.1", "203.0.113.7", "10.1.2", "256.1.1.1"}) {
    EXPECT_FALSE(IsPrivateOrShared(outside)) << outside;
  }
}

}  // namespace
}  // namespace kraylo::testing
