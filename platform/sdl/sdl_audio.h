// The real machine's sound output: SDL's audio device, its callback on SDL's audio thread.
#pragma once

#include <SDL.h>

#include "platform/platform.h"

namespace kraylo {

class SdlAudio final : public AudioOutput {
 public:
  SdlAudio() = default;
  ~SdlAudio() override { Close(); }
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  std::string Open(Fill fill) override;
  void Close() override;

 private:
  static void SDLCALL Callback(void* self, Uint8* stream, int bytes);

  Fill fill_;
  SDL_AudioDeviceID device_ = 0;
  bool subsystem_ = false;  // SDL's audio subsystem is started
};

}  // namespace kraylo
