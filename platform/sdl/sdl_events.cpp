#include "platform/sdl/sdl_events.h"

#include "platform/devices/key_map.h"
#include "platform/sdl/sdl_screen.h"

namespace kraylo {
namespace {

std::optional<InputEvent> TranslateWindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      return InputEvent::Close();
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      return InputEvent::FocusGained();
    case SDL_WINDOWEVENT_FOCUS_LOST:
      return InputEvent::FocusLost();
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
      return InputEvent::Expose();
    default:
      return std::nullopt;
  }
}

// A mouse position of the window as a position in the shown picture.
void Place(InputEvent& input, const SdlScreen& screen, int32_t x, int32_t y) {
  screen.MapMouse(static_cast<float>(x), static_cast<float>(y), input.x, input.y);
}

}  // namespace

int16_t ShiftOf(Uint16 modifiers) {
  int16_t shift = 0;
  if ((modifiers & KMOD_SHIFT) != 0) shift |= kShiftShift;
  if ((modifiers & KMOD_CTRL) != 0) shift |= kShiftCtrl;
  if ((modifiers & KMOD_ALT) != 0) shift |= kShiftAlt;
  return shift;
}

int16_t MouseButtonOf(Uint8 sdl_button) {
  switch (sdl_button) {
    case SDL_BUTTON_LEFT:
      return kMouseLeft;
    case SDL_BUTTON_RIGHT:
      return kMouseRight;
    case SDL_BUTTON_MIDDLE:
      return kMouseMiddle;
    default:
      return 0;
  }
}

int16_t MouseButtonsOf(Uint32 sdl_mask) {
  int16_t buttons = 0;
  for (Uint8 button : {Uint8{SDL_BUTTON_LEFT}, Uint8{SDL_BUTTON_RIGHT}, Uint8{SDL_BUTTON_MIDDLE}}) {
    if ((sdl_mask & SDL_BUTTON(button)) != 0)
      buttons = static_cast<int16_t>(buttons | MouseButtonOf(button));
  }
  return buttons;
}

std::optional<InputEvent> TranslateEvent(const SDL_Event& event, Uint32 window_id,
                                         const SdlScreen& screen) {
  switch (event.type) {
    case SDL_QUIT:
      return InputEvent::Close();
    case SDL_WINDOWEVENT:
      if (event.window.windowID != window_id) return std::nullopt;
      return TranslateWindowEvent(event.window);
    case SDL_KEYDOWN: {
      const SDL_Keysym& key = event.key.keysym;
      const int16_t code = WindowKeyCodeOf(key.sym, key.scancode);
      if (code == 0) return std::nullopt;
      InputEvent input = InputEvent::KeyDown(code, ShiftOf(key.mod));
      input.repeat = event.key.repeat != 0;
      return input;
    }
    case SDL_TEXTINPUT:
      return InputEvent::Text(event.text.text);
    case SDL_MOUSEMOTION: {
      InputEvent input = InputEvent::MouseMove(0, 0, MouseButtonsOf(event.motion.state));
      input.shift = ShiftOf(static_cast<Uint16>(SDL_GetModState()));
      Place(input, screen, event.motion.x, event.motion.y);
      return input;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const int16_t button = MouseButtonOf(event.button.button);
      if (button == 0) return std::nullopt;
      InputEvent input = event.type == SDL_MOUSEBUTTONDOWN ? InputEvent::MouseDown(button, 0, 0)
                                                           : InputEvent::MouseUp(button, 0, 0);
      input.shift = ShiftOf(static_cast<Uint16>(SDL_GetModState()));
      Place(input, screen, event.button.x, event.button.y);
      return input;
    }
    case SDL_MOUSEWHEEL: {
      const bool flipped = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED;
      const int notches = flipped ? -event.wheel.y : event.wheel.y;
      if (notches == 0) return std::nullopt;
      InputEvent input = InputEvent::Wheel(notches, 0, 0);
      Place(input, screen, event.wheel.mouseX, event.wheel.mouseY);
      return input;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace kraylo
