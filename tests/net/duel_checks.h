// What every test of two sessions checks at its end: both sides confirmed the same inputs, in
// order, and the same states, which are those of an offline run of the inputs.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/net/duel.h"

namespace kraylo::testing {

inline void ExpectSameGameAsOffline(const Duel& duel, const SessionSettings& settings) {
  EXPECT_FALSE(duel.gave_up) << "stopped by the real-time limit";
  EXPECT_TRUE(duel.host.in_order && duel.join.in_order) << "confirmed in order, once each";
  const size_t common = std::min(duel.host.inputs.size(), duel.join.inputs.size());
  ASSERT_GT(common, 0u);
  const std::vector<Directions> inputs(duel.host.inputs.begin(), duel.host.inputs.begin() + common);
  EXPECT_EQ(inputs,
            std::vector<Directions>(duel.join.inputs.begin(), duel.join.inputs.begin() + common));
  const std::vector<uint32_t> offline = OfflineChecksums(settings, inputs);
  EXPECT_EQ(
      std::vector<uint32_t>(duel.host.checksums.begin(), duel.host.checksums.begin() + common),
      offline);
  EXPECT_EQ(
      std::vector<uint32_t>(duel.join.checksums.begin(), duel.join.checksums.begin() + common),
      offline);
}

}  // namespace kraylo::testing
