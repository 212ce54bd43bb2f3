#include "platform/sdl/sdl_audio.h"

#include <cstdint>
#include <string>

namespace kraylo {

std::string SdlAudio::Open(Fill fill) {
  Close();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    return std::string("the sound system could not be started (") + SDL_GetError() + ")";
  }
  subsystem_ = true;
  fill_ = std::move(fill);
  SDL_AudioSpec wanted{};
  wanted.freq = kAudioRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = kAudioBufferFrames;
  wanted.callback = &SdlAudio::Callback;
  wanted.userdata = this;
  // No changes allowed: SDL converts to whatever the device takes, and our buffers stay ours.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device_ == 0) {
    const std::string why = SDL_GetError();
    Close();
    return "no audio device could be opened (" + why + ")";
  }
  SDL_PauseAudioDevice(device_, 0);
  return "";
}

void SdlAudio::Close() {
  // Closing waits for a running callback, so fill_ is not in use once it returns.
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
  if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  subsystem_ = false;
  fill_ = nullptr;
}

void SDLCALL SdlAudio::Callback(void* self, Uint8* stream, int bytes) {
  auto* audio = static_cast<SdlAudio*>(self);
  // SDL hands a buffer in the format asked for: aligned 16-bit samples.
  std::span<int16_t> samples(reinterpret_cast<int16_t*>(stream),
                             static_cast<size_t>(bytes) / sizeof(int16_t));
  try {
    audio->fill_(samples);
  } catch (...) {
    // Nothing may leave SDL's thread: a failed buffer is a silent one.
    std::fill(samples.begin(), samples.end(), int16_t{0});
  }
}

}  // namespace kraylo
