// Messages broken into lines for a narrow field: at blanks, an over-wide word between characters.
#include "display/wrapped_lines.h"

#include <gtest/gtest.h>

namespace kraylo::testing {
namespace {

// Ten pixels a character, a UTF-8 sequence counting as one.
int32_t TenPerCharacter(std::string_view text) {
  int32_t width = 0;
  for (const char byte : text) width += (static_cast<unsigned char>(byte) & 0xC0) == 0x80 ? 0 : 10;
  return width;
}

TEST(WrappedLines, BreakAtBlanksAndBreakOnlyAWordWiderThanTheField) {
  const struct {
    const char* text;
    int32_t width;
    std::vector<std::string> lines;
  } cases[] = {
      {"Waiting for the other player", 300, {"Waiting for the other player"}},
      {"Waiting for the other player", 120, {"Waiting for", "the other", "player"}},
      {"  two   blanks  ", 100, {"two blanks"}},
      {"Port 27910 abcdefghijklmnop", 100, {"Port 27910", "abcdefghij", "klmnop"}},
      {"a abcdefghijkl", 50, {"a", "abcde", "fghij", "kl"}},
      {"Größe ÄÖÜ", 30, {"Grö", "ße", "ÄÖÜ"}},
      {"tiny", 5, {"t", "i", "n", "y"}},
      {"", 100, {}},
      {"   ", 100, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WrappedLines(c.text, c.width, TenPerCharacter), c.lines)
        << '"' << c.text << "\" in " << c.width << " pixels";
  }
}

}  // namespace
}  // namespace kraylo::testing
