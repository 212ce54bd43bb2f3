// The host's port mapping against routers of the tests' own on 127.0.0.1: mapped, renewed and
// removed, a router that takes only permanent mappings, refused, and no answer in time.
#include "portmap/port_mapping.h"

#include <gtest/gtest.h>

#include <optional>

#include "portmap/natpmp_router.h"
#include "portmap/upnp_router.h"
#include "tests/portmap/fake_routers.h"

namespace kraylo::testing {
namespace {

using namespace std::chrono_literals;

// The program's timing shrunk: the deadline injected, renewals every 50 ms.
MappingTiming Quick(std::chrono::milliseconds answer_within = 1000ms) {
  return {answer_within, 3600, 50ms};
}

// Polls `status` until it leaves kAsking; bounded by three seconds.
MappingStatus Answered(const PortMapping& mapping) {
  const auto give_up = std::chrono::steady_clock::now() + 3s;
  MappingStatus status = mapping.status();
  while (status.state == MappingState::kAsking && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(5ms);
    status = mapping.status();
  }
  return status;
}

TEST(PortMapping, UpnpMapsRenewsAndRemovesOrFallsBackToAPermanentMappingOrIsRefused) {
  const struct {
    const char* what;
    IgdMode mode;
    MappingState state;
    std::vector<std::string> first_leases;
    bool permanent;
    int removals;
  } cases[] = {
      {"maps with an hour's lease",
       IgdMode::kMaps,
       MappingState::kMapped,
       {"3600", "3600"},
       false,
       1},
      {"only permanent: 725, then a lease of 0",
       IgdMode::kOnlyPermanent,
       MappingState::kMapped,
       {"3600", "0"},
       true,
       1},
      {"refuses", IgdMode::kRefuses, MappingState::kNotMapped, {"3600"}, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeIgd igd(c.mode, "203.0.113.7");
    std::optional<PortMapping> mapping;
    std::vector<std::unique_ptr<RouterProtocol>> routers;
    routers.push_back(MakeUpnpRouter(igd.description_url()));
    mapping.emplace(27910, std::move(routers), Quick());
    const MappingStatus status = Answered(*mapping);
    EXPECT_EQ(status.state, c.state) << status.why;
    if (c.state == MappingState::kMapped) {
      EXPECT_EQ(status.by, "UPnP");
      EXPECT_EQ(status.port.external_address, "203.0.113.7");
      EXPECT_EQ(status.port.external_port, 27910);
      EXPECT_EQ(status.port.permanent, c.permanent);
      std::this_thread::sleep_for(200ms);
      EXPECT_EQ(mapping->status().renewed > 0, !c.permanent) << "a lease is renewed";
    } else {
      EXPECT_NE(status.why.find("error 718"), std::string::npos) << status.why;
    }
    mapping.reset();
    const std::vector<std::string> leases = igd.leases();
    ASSERT_GE(leases.size(), c.first_leases.size());
    EXPECT_EQ(std::vector<std::string>(leases.begin(), leases.begin() + c.first_leases.size()),
              c.first_leases);
    EXPECT_EQ(igd.removals(), c.removals) << "removed when the mapping ends";
  }
}

TEST(PortMapping, NatpmpMapsAndRemovesIsRefusedOrDoesNotAnswerByTheDeadline) {
  const struct {
    const char* what;
    NatpmpMode mode;
    MappingState state;
    const char* why;
  } cases[] = {
      {"maps", NatpmpMode::kMaps, MappingState::kMapped, ""},
      {"refuses", NatpmpMode::kRefuses, MappingState::kNotMapped, "refused"},
      {"never answers", NatpmpMode::kSilent, MappingState::kNotMapped, "did not answer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeNatpmp gateway(c.mode, "100.64.1.2");
    std::optional<PortMapping> mapping;
    std::vector<std::unique_ptr<RouterProtocol>> routers;
    routers.push_back(MakeNatpmpRouter("127.0.0.1"));
    const auto asked = std::chrono::steady_clock::now();
    mapping.emplace(27911, std::move(routers), Quick(150ms));
    const MappingStatus status = Answered(*mapping);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s) << "the deadline holds";
    EXPECT_EQ(status.state, c.state) << status.why;
    EXPECT_NE(status.why.find(c.why), std::string::npos) << status.why;
    if (c.state == MappingState::kMapped) {
      EXPECT_EQ(status.by, "NAT-PMP");
      EXPECT_EQ(status.port.external_address, "100.64.1.2");
      EXPECT_EQ(status.port.external_port, 27911);
    }
    mapping.reset();
    if (c.mode == NatpmpMode::kMaps) {
      const std::vector<uint32_t> lifetimes = gateway.lifetimes();
      ASSERT_GE(lifetimes.size(), 2u);
      EXPECT_EQ(lifetimes.front(), 3600u);
      EXPECT_EQ(lifetimes.back(), 0u) << "removed when the mapping ends";
    }
  }
}

TEST(PortMapping, AnOutsideAddressThatIsPrivateOrCarrierGradeIsTold) {
  const struct {
    const char* address;
    bool behind_another;
  } cases[] = {
      {"10.1.2.3", true},     {"172.16.0.1", true},      {"172.31.255.255", true},
      {"172.32.0.1", false},  {"192.168.0.1", true},     {"192.169.0.1", false},
      {"100.64.0.1", true},   {"100.127.255.255", true}, {"100.128.0.1", false},
      {"203.0.113.7", false}, {"10.1.2", false},         {"256.1.1.1", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsPrivateOrShared(c.address), c.behind_another) << c.address;
}

}  // namespace
}  // namespace kraylo::testing
