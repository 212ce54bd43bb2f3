// The text renderer: letters drawn over what is there, clipped, each line rendered once, and a
// font found whatever the machine has.
#include "platform/graphics/text_renderer.h"

#include <SDL_ttf.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "tests/display/display_fixture.h"

namespace {
int rendered_lines = 0;  // lines SDL_ttf rendered so far
}  // namespace

// The lines SDL_ttf renders for the program pass through here, so that the tests can count them.
extern "C" SDL_Surface* TTF_RenderUTF8_Blended(TTF_Font* font, const char* text, SDL_Color fg) {
  using Render = SDL_Surface* (*)(TTF_Font*, const char*, SDL_Color);
  static const auto real = reinterpret_cast<Render>(dlsym(RTLD_NEXT, "TTF_RenderUTF8_Blended"));
  ++rendered_lines;
  return real(font, text, fg);
}

namespace kraylo {
namespace {

const Font kLog{"Tahoma", 9, false};
constexpr uint32_t kBackground = 0x3456;  // not black, so that any black drawn would show

class TextRendererTest : public ::testing::Test {
 protected:
  Surface Canvas(int32_t width, int32_t height, int32_t bits = 32) {
    Surface surface(width, height, bits, renderer_.get());
    surface.Fill(Rect{0, 0, width, height}, kBackground);
    return surface;
  }
  std::unique_ptr<TextRenderer> renderer_ = CreateTextRenderer();
};

TEST_F(TextRendererTest, DrawsOnlyTheLettersLeavingWhatIsAroundThemAsItWas) {
  for (int32_t bits : {16, 32}) {
    Surface surface = Canvas(200, 60, bits);
    renderer_->Draw(surface, 5, 5, "Mirzel", Font{"Tahoma", 36, true}, 0x00C000);
    bool full_green = false;
    for (int32_t y = 0; y < 60; ++y) {
      for (int32_t x = 0; x < 200; ++x) {
        const uint32_t p = surface.Pixel(x, y);
        if (p == kBackground) continue;
        ASSERT_NE(p, 0u) << "black written at " << x << "," << y << ", " << bits << " bits";
        EXPECT_EQ(surface.UnmapPixel(p) & 0xFF00FF, 0) << "only green in the letters";
        full_green |= p == surface.MapColor(0x00C000);
      }
    }
    EXPECT_TRUE(full_green) << bits;
  }
}

TEST_F(TextRendererTest, DrawsBelowAndRightOfTheCornerClippedToTheSurface) {
  const struct {
    int32_t x, y;
    const char* text;
    int32_t color;
    Rect within;  // where the letters must lie; all zero: nothing drawn
  } cases[] = {
      {20, 10, "FPS: 60.0", 0xFFFFFF, {20, 10, 100, 30}},
      {-10, -6, "Programming", 0xFFFFFF, {0, 0, 100, 30}},
      {90, 25, "Programming", 0xFFFFFF, {90, 25, 100, 30}},
      {-500, 0, "Credits", 0xFFFFFF, {}},
      {0, 30, "Credits", 0xFFFFFF, {}},
      {INT32_MAX, INT32_MIN, "Credits", 0xFFFFFF, {}},
      {0, 0, "", 0xFFFFFF, {}},
      {0, 0, "Credits", 0, {}},  // black letters on black change nothing
  };
  for (const auto& c : cases) {
    Surface surface(100, 30, 32, renderer_.get());
    renderer_->Draw(surface, c.x, c.y, c.text, kLog, c.color);
    const Rect lit = LitArea(surface);
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " " + c.text);
    EXPECT_EQ(lit == Rect{}, c.within == Rect{});
    EXPECT_TRUE(lit == Rect{} || (lit.left >= c.within.left && lit.top >= c.within.top &&
                                  lit.right <= c.within.right && lit.bottom <= c.within.bottom));
  }
}

TEST_F(TextRendererTest, RendersALineOnlyTheFirstTimeItIsDrawnInItsFontAndColour) {
  Surface first = Canvas(120, 40);
  Surface again = Canvas(120, 40);
  const std::string line = "Player 1 X: 412.5";
  const int before = rendered_lines;
  renderer_->Draw(first, 3, 3, line, kLog, 0x14FF14);
  renderer_->Draw(again, 3, 3, line, kLog, 0x14FF14);
  EXPECT_EQ(rendered_lines, before + 1);
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 120; ++x) ASSERT_EQ(first.Pixel(x, y), again.Pixel(x, y));
  }
  renderer_->Draw(again, 3, 3, line, kLog, 0xFFFFFF);
  renderer_->Draw(again, 3, 3, line, Font{"Tahoma", 10, false}, 0x14FF14);
  renderer_->Draw(again, 3, 3, "Thanks\r\nNobody", kLog, 0x14FF14);
  EXPECT_EQ(rendered_lines, before + 5) << "another colour, another font, two lines";
  // Past the cache's bound the cache starts afresh, and drawing goes on.
  for (int i = 0; i < 600; ++i) renderer_->Draw(again, 0, 0, std::to_string(i), kLog, 0xFFFFFF);
  Surface fresh = Canvas(120, 40);
  const int bounded = rendered_lines;
  renderer_->Draw(fresh, 3, 3, line, kLog, 0x14FF14);
  EXPECT_EQ(rendered_lines, bounded + 1);
  EXPECT_NE(LitArea(fresh, kBackground), Rect{});
}

TEST_F(TextRendererTest, MeasuresTheWidthTheLettersTakeAndTheWidestLine) {
  const Font font{"Tahoma", 20, true};
  Surface surface = Canvas(600, 120);
  surface.SetFont(font);
  const int32_t width = surface.TextWidth("Waiting for the other player");
  renderer_->Draw(surface, 0, 0, "Waiting for the other player", font, 0xFFFFFF);
  const Rect lit = LitArea(surface, kBackground);
  // The advance includes the side bearings: a pixel or two around the lit letters.
  EXPECT_GE(width, lit.right - lit.left);
  EXPECT_LE(width, lit.right + 3);
  EXPECT_EQ(surface.TextWidth("Waiting for the other player\nshort"), width);
  EXPECT_EQ(surface.TextWidth(""), 0);
  EXPECT_LT(surface.TextWidth("Wait"), width);
  Surface without_renderer(10, 10, 32, nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { static_cast<void>(without_renderer.TextWidth("x")); }), kErrText);
  EXPECT_EQ(ErrorNumberOf([&] { renderer_->Width("x", Font{"Tahoma", 0, false}); }), kErrText);
}

TEST_F(TextRendererTest, AnUnknownFaceFallsBackToAnotherFont) {
  Surface surface = Canvas(150, 40);
  renderer_->Draw(surface, 0, 0, "Nobody", Font{"No Such Face 123", 14, true}, 0xFFFFFF);
  EXPECT_NE(LitArea(surface, kBackground), Rect{});
}

}  // namespace
}  // namespace kraylo
