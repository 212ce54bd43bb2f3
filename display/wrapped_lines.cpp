#include "display/wrapped_lines.h"

namespace kraylo {
namespace {

bool ContinuesCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The length of the longest start of `word` that fits `width`, whole characters only; at least
// one character.
size_t FittingPrefix(std::string_view word, int32_t width, const TextMeasure& measure) {
  size_t fits = 0;
  for (size_t end = 1; end <= word.size(); ++end) {
    if (end < word.size() && ContinuesCharacter(word[end])) continue;
    if (fits > 0 && measure(word.substr(0, end)) > width) break;
    fits = end;
  }
  return fits;
}

}  // namespace

std::vector<std::string> WrappedLines(std::string_view text, int32_t width,
                                      const TextMeasure& measure) {
  std::vector<std::string> lines;
  std::string line;
  size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ') {
      ++at;
      continue;
    }
    size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(at, end - at);
    at = end;
    const std::string joined = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (measure(joined) <= width) {
      line = joined;
      continue;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    line.clear();
    // Only a word wider than the whole width is broken; the rest starts a line of its own.
    while (!word.empty() && measure(word) > width) {
      const size_t fits = FittingPrefix(word, width, measure);
      lines.emplace_back(word.substr(0, fits));
      word.remove_prefix(fits);
    }
    line = std::string(word);
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace kraylo
