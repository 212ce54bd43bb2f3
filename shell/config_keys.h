// The configuration keys the shell reads from the program's configuration file.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

namespace kraylo {

inline constexpr std::string_view kScreenSection = "Screen";
// The display mode's width, height (pixels) and colour depth (bits per pixel), in that order.
inline constexpr std::array<std::string_view, 3> kDisplayKeys = {"dispX", "dispY", "dispCols"};
inline constexpr std::string_view kMainSection = "Main";
// "FALSE" (any case, blanks around it) hides the system pointer.
inline constexpr std::string_view kCursorKey = "cursor";
// "computer" lets the computer play ball 2, "person" (as when the key is missing) leaves it to a
// second player; any case, blanks around it.
inline constexpr std::string_view kOpponentKey = "opponent";
inline constexpr std::string_view kComputerOpponent = "COMPUTER";
inline constexpr std::string_view kPersonOpponent = "PERSON";
// The computer's level: easy, normal (as when the key is missing) or hard; any case, blanks
// around it.
inline constexpr std::string_view kLevelKey = "level";

inline constexpr std::string_view kKeysSection = "Keys";
// The key that switches the sound off and on, named as SDL does; M without the line.
inline constexpr std::string_view kMuteAction = "mute";
inline constexpr std::string_view kUsualMuteKey = "M";
// The players' own keys, in the order of kDirectionKeys; each value names a key as SDL does.
inline constexpr std::array<std::string_view, 8> kKeyActions = {
    "p1Left", "p1Right", "p1Up", "p1Down", "p2Left", "p2Right", "p2Up", "p2Down"};

// Every key of [Keys].
inline constexpr std::array<std::string_view, kKeyActions.size() + 1> kKeysSectionKeys = [] {
  std::array<std::string_view, kKeyActions.size() + 1> keys{};
  std::copy(kKeyActions.begin(), kKeyActions.end(), keys.begin());
  keys.back() = kMuteAction;
  return keys;
}();

inline constexpr std::string_view kSoundSection = "Sound";
// The sound's volume: a whole number from 0 (no sound at all) to 100; 70 without the line.
inline constexpr std::string_view kVolumeKey = "volume";
inline constexpr std::array<std::string_view, 1> kSoundSectionKeys = {kVolumeKey};

}  // namespace kraylo
