#include "platform/devices/display_device.h"

#include <optional>
#include <string>

#include "platform/graphics/bitmap.h"

namespace kraylo {
namespace {

// Surfaces made before any mode is set take the desktop's format.
constexpr int32_t kDesktopBits = 32;

struct Mode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;
};

std::string ModeText(int32_t width, int32_t height, int32_t bits) {
  return std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bits);
}

class ScreenPrimarySurface final : public PrimarySurface {
 public:
  ScreenPrimarySurface(const Mode& mode, Screen& screen, TextRenderer& text, const Faults& faults)
      : back_(mode.width, mode.height, mode.bits, &text), screen_(screen), faults_(faults) {}

  Surface& BackBuffer() override {
    faults_.Check(Fault::kGetAttachedSurface);
    return back_;
  }

  void Flip() override {
    faults_.Check(Fault::kFlip);
    screen_.PresentFrame(back_);
  }

 private:
  Surface back_;
  Screen& screen_;
  const Faults& faults_;
};

class ScreenDisplayDevice final : public DisplayDevice {
 public:
  ScreenDisplayDevice(Screen& screen, TextRenderer& text, const Faults& faults)
      : screen_(screen), text_(text), faults_(faults) {}

  void SetCooperativeLevel(WindowHandle window, int32_t flags) override {
    faults_.Check(Fault::kSetCooperativeLevel);
    if (flags == kNormal) {
      exclusive_ = false;
      return;
    }
    if (flags != kFullScreenExclusive) {
      Raise(kErrBadArgument, "SetCooperativeLevel: the level " + std::to_string(flags) +
                                 " is not supported (19: full screen, exclusive; 8: normal)");
    }
    if (window == 0) {
      Raise(kErrBadWindow,
            "SetCooperativeLevel: the full-screen level needs the main window, and 0 is no window");
    }
    exclusive_ = true;
  }

  void SetDisplayMode(int32_t width, int32_t height, int32_t bits) override {
    faults_.Check(Fault::kSetDisplayMode);
    if (!exclusive_) {
      Raise(kErrNotExclusive, "Display mode " + ModeText(width, height, bits) +
                                  " cannot be set: the window does not own the screen yet");
    }
    if (!IsSupportedDepth(bits)) {
      Raise(kErrBadDisplayMode, "Display mode " + ModeText(width, height, bits) +
                                    " is not available: colour depth must be 16, 24 or 32 bits");
    }
    if (width < 1 || height < 1 || width > Surface::kMaxSide || height > Surface::kMaxSide) {
      Raise(kErrBadDisplayMode, "Display mode " + ModeText(width, height, bits) +
                                    " is not available: width and height must be 1 to " +
                                    std::to_string(Surface::kMaxSide) + " pixels");
    }
    screen_.EnterFullScreen(width, height);
    mode_ = Mode{width, height, bits};
  }

  void RestoreDisplayMode() override {
    faults_.Check(Fault::kRestoreDisplayMode);
    screen_.LeaveFullScreen();
    mode_.reset();
  }

  std::unique_ptr<PrimarySurface> CreatePrimarySurface() override {
    faults_.Check(Fault::kCreatePrimarySurface);
    if (!mode_) {
      Raise(kErrBadDisplayMode, "The primary surface cannot be made: no display mode is set");
    }
    return std::make_unique<ScreenPrimarySurface>(*mode_, screen_, text_, faults_);
  }

  std::unique_ptr<Surface> CreateSurface(int32_t width, int32_t height) override {
    faults_.Check(Fault::kCreateSurface);
    return std::make_unique<Surface>(width, height, mode_ ? mode_->bits : kDesktopBits, &text_);
  }

 private:
  Screen& screen_;
  TextRenderer& text_;
  const Faults& faults_;
  bool exclusive_ = false;
  std::optional<Mode> mode_;
};

class ScreenDisplay final : public Display {
 public:
  ScreenDisplay(Screen& screen, TextRenderer& text, const Faults& faults)
      : screen_(screen), text_(text), faults_(faults) {}

  std::unique_ptr<DisplayDevice> Create() override {
    faults_.Check(Fault::kDirectDrawCreate);
    return std::make_unique<ScreenDisplayDevice>(screen_, text_, faults_);
  }

  Bitmap LoadBitmap(const std::string& path) override {
    // A failing loader behaves like a bad file: an empty bitmap, never an error.
    if (faults_.IsArmed(Fault::kLoadImage)) return {};
    return LoadBitmapFile(path);
  }

 private:
  Screen& screen_;
  TextRenderer& text_;
  const Faults& faults_;
};

}  // namespace

std::unique_ptr<Display> CreateDisplay(Screen& screen, TextRenderer& text, const Faults& faults) {
  return std::make_unique<ScreenDisplay>(screen, text, faults);
}

}  // namespace kraylo
