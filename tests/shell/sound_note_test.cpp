// The mute key's note as a player sees it: at every field size, on the menu, the credits and the
// game with its overlay, it never covers a button or another text.
#include <map>
#include <utility>

#include "display/sprites.h"
#include "platform/graphics/text_renderer.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

constexpr uint8_t kM = 0x32;

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The inked pixels of texts as the program's renderer draws them, measured once per text.
class Ink {
 public:
  Rect Of(const TextDraw& draw) {
    auto [known, fresh] = boxes_.try_emplace({draw.text, draw.font.points}, Rect{});
    if (fresh) known->second = Measure(draw);
    const Rect& box = known->second;
    return {draw.x + box.left, draw.y + box.top, draw.x + box.right, draw.y + box.bottom};
  }

 private:
  Rect Measure(const TextDraw& draw) {
    Surface scratch(renderer_->Width(draw.text, draw.font) + 1, draw.font.points * 3, 32,
                    renderer_.get());
    scratch.SetFont(draw.font);
    scratch.SetForeColor(0xFFFFFF);
    scratch.DrawText(0, 0, draw.text);
    Rect box{scratch.width(), scratch.height(), 0, 0};
    for (int32_t y = 0; y < scratch.height(); ++y) {
      for (int32_t x = 0; x < scratch.width(); ++x) {
        if (scratch.Pixel(x, y) == 0) continue;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
               std::max(box.bottom, y + 1)};
      }
    }
    return box;
  }

  std::unique_ptr<TextRenderer> renderer_ = CreateTextRenderer();
  std::map<std::pair<std::string, int>, Rect> boxes_;
};

TEST(SoundNote, CoversNoButtonAndNoOtherTextAtAnyFieldSize) {
  const std::pair<int, int> sizes[] = {{320, 200}, {400, 300},  {640, 480},
                                       {800, 600}, {1024, 768}, {1920, 1080}};
  const int16_t screens[] = {kMenuScreen, kCreditsScreen, kGameScreen};
  Ink ink;
  for (const auto& size : sizes) {
    const int width = size.first;
    const int height = size.second;
    for (const int16_t screen : screens) {
      SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + ", screen " +
                   std::to_string(screen));
      Session s;
      s.WriteConfig("[Screen]\r\ndispX = " + std::to_string(width) + "\r\ndispY = " +
                    std::to_string(height) + "\r\ndispCols = 32\r\n[Main]\r\ncursor = FALSE\r\n");
      s.machine.SetYieldStep(1.0 / 60);
      int notes = 0;
      s.AtFrame(2, [&] { s.machine.HeldKeys()[kM] = key_index::kHeld; });
      s.AtFrame(3, [&] {
        s.machine.HeldKeys()[kM] = 0;
        if (screen == kCreditsScreen) {
          s.program.screen.Shown = kCreditsScreen;
          s.program.screen.CreditsY = height;
        }
        if (screen == kGameScreen) StartGame(s.program);
        s.program.game.ShowDebug = true;
      });
      for (int frame = 5; frame < 80; ++frame) {
        s.AtFrame(frame, [&] {
          const std::vector<TextDraw>& texts = s.machine.TextsOfLastFrame();
          const auto note = std::find_if(texts.begin(), texts.end(), [](const TextDraw& t) {
            return t.text == "Sound off" || t.text == "Sound on";
          });
          if (note == texts.end()) return;
          ++notes;
          const Rect area = ink.Of(*note);
          EXPECT_TRUE(area.left >= 0 && area.top >= 0 && area.right <= width &&
                      area.bottom <= height);
          for (const TextDraw& text : texts) {
            if (&text == &*note) continue;
            EXPECT_FALSE(Overlap(area, ink.Of(text))) << text.text;
          }
          if (screen != kMenuScreen) return;
          for (const int16_t top : kMenuButtonTops) {
            const int32_t left = s.program.screen.MenuX;
            EXPECT_FALSE(Overlap(area, {left, top, left + kButtonWidth, top + kButtonHeight}))
                << "button at " << top;
          }
        });
      }
      s.EndFrom(80);
      EXPECT_EQ(s.Run(), 0);
      EXPECT_GT(notes, screen == kCreditsScreen ? 10 : 70);
    }
  }
}

}  // namespace
}  // namespace kraylo::testing
