// Which of SDL's video drivers show the game to a person. Where no display is found SDL falls
// back to a driver that draws into memory only; the game would run unseen, so such a driver is
// taken only when asked for by name (the tests do). Header-only, checked without a display.
#pragma once

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace kraylo {

// SDL's drivers that show nothing on any screen.
inline constexpr std::array<std::string_view, 2> kUnseenVideoDrivers = {"offscreen", "dummy"};

// What the program says when it finds no display.
inline constexpr const char* kNoDisplayText =
    "There is no display to show the game on. Start Kraylo from a desktop session (X11 or "
    "Wayland), or set DISPLAY or WAYLAND_DISPLAY to one; from a remote shell, log in with "
    "ssh -X.";

namespace video_driver_detail {

inline bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

inline std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace video_driver_detail

// Whether SDL running on `driver` would show nothing while `requested` (SDL_VIDEODRIVER: driver
// names separated by commas; null or empty when unset) does not name it.
inline bool RunsUnseen(std::string_view driver, const char* requested) {
  using video_driver_detail::SameName;
  const bool unseen = std::any_of(kUnseenVideoDrivers.begin(), kUnseenVideoDrivers.end(),
                                  [&](std::string_view name) { return SameName(name, driver); });
  if (!unseen) return false;
  std::string_view names = requested != nullptr ? requested : "";
  while (!names.empty()) {
    const size_t comma = names.find(',');
    if (SameName(video_driver_detail::Trimmed(names.substr(0, comma)), driver)) return false;
    names = comma == std::string_view::npos ? std::string_view{} : names.substr(comma + 1);
  }
  return true;
}

}  // namespace kraylo
