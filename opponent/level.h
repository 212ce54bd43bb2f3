// How well the computer plays: how soon it answers what it sees, how far ahead it looks, and how
// often it slips as a person does.
#pragma once

#include <optional>
#include <string_view>

namespace kraylo {

enum class Level { kEasy, kNormal, kHard };

// The level names in the order of the levels, as the command line and the configuration take them.
inline constexpr std::string_view kLevelNames[] = {"easy", "normal", "hard"};
// How the usage text and the errors list them.
inline constexpr std::string_view kLevelChoices = "easy, normal or hard";

// "easy", "normal" or "hard".
std::string_view LevelName(Level level);
// The level of exactly that name, or nullopt.
std::optional<Level> LevelNamed(std::string_view name);

struct LevelTraits {
  // Ticks (30 ms) from the tick that changed what is on the screen to the first tick whose keys
  // can answer it; a person needs 150 to 250 ms.
  int reaction_ticks;
  // Whether it carries what it saw forward over its reaction time with the motion step, as a
  // practised player anticipates where the balls have got to by now.
  bool anticipates;
  // Ticks each push is played out ahead of the present; 0: it follows its instinct unchecked.
  int look_ahead_ticks;
  // Chance per tick (0 to 1) that it starts one of a person's slips.
  double slip_chance;
};

LevelTraits TraitsOf(Level level);

}  // namespace kraylo
