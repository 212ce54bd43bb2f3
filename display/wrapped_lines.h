// Text broken into lines that fit a width, for messages that must stay inside the field however
// narrow it is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kraylo {

// The width of a text in the font it will be drawn in (pixels).
using TextMeasure = std::function<int32_t(std::string_view text)>;

// `text` broken at its blanks into lines of at most `width` pixels each as `measure` says, blanks
// at the breaks dropped; a word wider than `width` by itself is broken between two characters
// (never inside a UTF-8 sequence). Each line keeps at least one character, so a width too small
// for any still gives every character once. An empty text gives no line.
std::vector<std::string> WrappedLines(std::string_view text, int32_t width,
                                      const TextMeasure& measure);

}  // namespace kraylo
