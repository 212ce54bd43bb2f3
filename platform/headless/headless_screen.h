// The headless machine's screen: full-screen frames kept in memory, and the texts drawn into
// each of them recorded on the way to the real text renderer.
#pragma once

#include <optional>
#include <vector>

#include "platform/devices/screen.h"
#include "platform/headless/headless_system.h"

namespace kraylo {

// Texts drawn since the last frame was shown, and those of the last frame shown.
struct FrameTexts {
  std::vector<TextDraw> pending;
  std::vector<TextDraw> last_frame;
};

// Draws through `inner` and notes each text drawn in `texts.pending`.
class TextRecorder : public TextRenderer {
 public:
  TextRecorder(TextRenderer& inner, FrameTexts& texts) : inner_(inner), texts_(texts) {}
  void Draw(Surface& target, int32_t x, int32_t y, std::string_view text, const Font& font,
            int32_t color) override;
  int32_t Width(std::string_view text, const Font& font) override {
    return inner_.Width(text, font);
  }

 private:
  TextRenderer& inner_;
  FrameTexts& texts_;
};

class HeadlessScreen : public Screen {
 public:
  explicit HeadlessScreen(FrameTexts& texts) : texts_(texts) {}

  // Any size goes: the headless monitor scales like the real one.
  void EnterFullScreen(int32_t, int32_t) override {
    full_screen_ = true;
    windowed_ = false;
  }
  void LeaveFullScreen() override { full_screen_ = windowed_ = false; }
  void ToggleWindowed() override { windowed_ = full_screen_ && !windowed_; }
  // Keeps a copy of the frame; the texts drawn since the previous one become its texts.
  void PresentFrame(const Surface& frame) override;

  bool full_screen() const { return full_screen_; }
  bool windowed() const { return windowed_; }  // frames in a desktop window (Alt+Enter)
  const Surface* last_frame() const { return last_frame_ ? &*last_frame_ : nullptr; }
  int frames_shown() const { return frames_shown_; }

 private:
  FrameTexts& texts_;
  bool full_screen_ = false;
  bool windowed_ = false;
  std::optional<Surface> last_frame_;
  int frames_shown_ = 0;
};

}  // namespace kraylo
