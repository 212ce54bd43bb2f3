// The game pads over SDL's game controller API: pads are opened when SDL reports them (those
// plugged in before start included) and closed when unplugged, and their D-pad, Back button and
// left stick feed the shared pads core.
#pragma once

#include <SDL.h>

#include <map>
#include <string>

#include "platform/devices/pads_core.h"

namespace kraylo {

class SdlPads final : public PadsCore {
 public:
  // Starts SDL's game controller subsystem (SDL's own mapping table and the user's own files
  // come with it) and opens the pads plugged in already. Where the subsystem cannot start, the
  // pads say why and none is ever opened.
  SdlPads();
  ~SdlPads() override;
  SdlPads(const SdlPads&) = delete;
  SdlPads& operator=(const SdlPads&) = delete;

  int AddMappings(const std::string& path) override;

  // Takes the pad events among SDL's events; any other event is left alone.
  void Handle(const SDL_Event& event);

 private:
  // Opens the joystick at `device_index` when SDL knows it as a game controller and it is not
  // open already.
  void Open(int device_index);
  void Close(SDL_JoystickID id);
  void OpenAll();

  bool started_ = false;
  std::map<SDL_JoystickID, SDL_GameController*> open_;
};

}  // namespace kraylo
