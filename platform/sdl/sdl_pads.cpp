#include "platform/sdl/sdl_pads.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

namespace kraylo {
namespace {

constexpr std::array<std::pair<SDL_GameControllerButton, PadButton>, 5> kButtons{{
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButton::kDpadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButton::kDpadRight},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButton::kDpadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::kDpadDown},
    {SDL_CONTROLLER_BUTTON_BACK, PadButton::kBack},
}};

constexpr std::array<std::pair<SDL_GameControllerAxis, PadAxis>, 2> kAxes{{
    {SDL_CONTROLLER_AXIS_LEFTX, PadAxis::kLeftX},
    {SDL_CONTROLLER_AXIS_LEFTY, PadAxis::kLeftY},
}};

std::optional<PadButton> ButtonOf(Uint8 sdl_button) {
  for (const auto& [sdl, button] : kButtons) {
    if (sdl == sdl_button) return button;
  }
  return std::nullopt;
}

std::optional<PadAxis> AxisOf(Uint8 sdl_axis) {
  for (const auto& [sdl, axis] : kAxes) {
    if (sdl == sdl_axis) return axis;
  }
  return std::nullopt;
}

}  // namespace

SdlPads::SdlPads() {
  // The pads count only while the window has the focus, and the pads core applies that rule.
  // SDL's own rule would drop a pad's events while the window is away, so that a button let go
  // meanwhile would still read as held when the window comes back.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    SetUnavailable(std::string("the game controller system could not be started: ") +
                   SDL_GetError());
    return;
  }
  started_ = true;
  OpenAll();
}

SdlPads::~SdlPads() {
  for (const auto& [id, controller] : open_) SDL_GameControllerClose(controller);
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

int SdlPads::AddMappings(const std::string& path) {
  std::error_code ignored;
  if (!started_ || !std::filesystem::exists(path, ignored)) return 0;
  // SDL would take a folder's size for a file's and ask for memory without end.
  if (!std::filesystem::is_regular_file(path, ignored)) {
    Raise(kErrFileAccess, "Path/File access error: the pad mappings " + path + " are not a file");
  }
  const int added = SDL_GameControllerAddMappingsFromFile(path.c_str());
  if (added < 0) {
    Raise(kErrFileAccess, "Path/File access error: the pad mappings in " + path +
                              " cannot be read: " + SDL_GetError());
  }
  // The user's own file was read when the subsystem started; read again, its mappings replace
  // those of the same pads just added.
  const char* user_file = SDL_GetHint(SDL_HINT_GAMECONTROLLERCONFIG_FILE);
  if (user_file != nullptr && std::filesystem::is_regular_file(user_file, ignored) &&
      SDL_GameControllerAddMappingsFromFile(user_file) < 0) {
    std::fprintf(stderr, "Kraylo: the pad mappings in %s cannot be read: %s\n", user_file,
                 SDL_GetError());
  }
  OpenAll();
  return added;
}

void SdlPads::Handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Open(event.cdevice.which);
      break;
    case SDL_JOYDEVICEADDED:
      // A joystick SDL learns to map later comes as a joystick first.
      Open(event.jdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      Close(event.cdevice.which);
      break;
    case SDL_JOYDEVICEREMOVED:
      Close(event.jdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (const std::optional<PadButton> button = ButtonOf(event.cbutton.button)) {
        SetButton(event.cbutton.which, *button, event.cbutton.state == SDL_PRESSED);
      }
      break;
    case SDL_CONTROLLERAXISMOTION:
      if (const std::optional<PadAxis> axis = AxisOf(event.caxis.axis)) {
        SetAxis(event.caxis.which, *axis, event.caxis.value);
      }
      break;
    default:
      break;
  }
}

void SdlPads::Open(int device_index) {
  if (!started_ || SDL_IsGameController(device_index) == SDL_FALSE) return;
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
  if (id < 0 || open_.count(id) != 0) return;
  SDL_GameController* controller = SDL_GameControllerOpen(device_index);
  if (controller == nullptr) {
    std::fprintf(stderr, "Kraylo: a game pad could not be opened: %s\n", SDL_GetError());
    return;
  }
  open_[id] = controller;
  const char* name = SDL_GameControllerName(controller);
  Connect(id, name != nullptr ? name : "a pad without a name");
  // What the pad holds already; from here on its events say what changes.
  for (const auto& [sdl, button] : kButtons) {
    SetButton(id, button, SDL_GameControllerGetButton(controller, sdl) != 0);
  }
  for (const auto& [sdl, axis] : kAxes)
    SetAxis(id, axis, SDL_GameControllerGetAxis(controller, sdl));
}

void SdlPads::Close(SDL_JoystickID id) {
  const auto found = open_.find(id);
  if (found == open_.end()) return;
  Disconnect(id);
  SDL_GameControllerClose(found->second);
  open_.erase(found);
}

void SdlPads::OpenAll() {
  for (int device_index = 0; device_index < SDL_NumJoysticks(); ++device_index) Open(device_index);
}

}  // namespace kraylo
