// What every test of two sessions checks at its end: both sides confirmed the same inputs, in
// order, and the same states, which are those of an offline run of the inputs.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "tests/net/duel.h"

namespace kraylo::testing {

// The first `count` elements of `all`.
template <typename T>
std::vector<T> First(const std::vector<T>& all, size_t count) {
  return {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count)};
}

inline void ExpectSameGameAsOffline(const Duel& duel, const SessionSettings& settings) {
  EXPECT_FALSE(duel.gave_up) << "stopped by the real-time limit";
  EXPECT_TRUE(duel.host.in_order && duel.join.in_order) << "confirmed in order, once each";
  const size_t common = std::min(duel.host.inputs.size(), duel.join.inputs.size());
  ASSERT_GT(common, 0u);
  const std::vector<Directions> inputs = First(duel.host.inputs, common);
  EXPECT_EQ(inputs, First(duel.join.inputs, common));
  const std::vector<uint32_t> offline = OfflineChecksums(settings, inputs);
  EXPECT_EQ(First(duel.host.checksums, common), offline);
  EXPECT_EQ(First(duel.join.checksums, common), offline);
}

}  // namespace kraylo::testing
