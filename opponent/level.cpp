#include "opponent/level.h"

#include <array>
#include <cstddef>

namespace kraylo {
namespace {

// By level, in the order of the enum.
constexpr std::array<LevelTraits, 3> kTraits{{
    {8, false, 0, 0.02},
    {6, true, 6, 0.0},
    {1, true, 10, 0.0},
}};

}  // namespace

std::string_view LevelName(Level level) { return kLevelNames[static_cast<size_t>(level)]; }

std::optional<Level> LevelNamed(std::string_view name) {
  for (size_t i = 0; i < std::size(kLevelNames); ++i) {
    if (kLevelNames[i] == name) return static_cast<Level>(i);
  }
  return std::nullopt;
}

LevelTraits TraitsOf(Level level) { return kTraits[static_cast<size_t>(level)]; }

}  // namespace kraylo
