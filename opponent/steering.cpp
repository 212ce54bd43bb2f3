#include "opponent/steering.h"

#include <array>
#include <string_view>

namespace kraylo::steer {

std::string KeyNames(Directions four) {
  constexpr std::array<std::string_view, 4> kNames = {"Left", "Right", "Up", "Down"};
  std::string names;
  for (size_t bit = 0; bit < kNames.size(); ++bit) {
    if ((four >> bit & 1u) == 0) continue;
    if (!names.empty()) names += ' ';
    names += kNames[bit];
  }
  return names.empty() ? "none" : names;
}

}  // namespace kraylo::steer
