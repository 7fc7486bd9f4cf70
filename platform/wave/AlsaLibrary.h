#pragma once
// libasound, loaded the first time the alsa device is used rather than at start, so a player
// on the null or wav device never maps it. The functions the alsa device calls, by their ALSA
// names without the "snd_" prefix. Thread-safe; the library stays loaded until exit.

#include <alsa/asoundlib.h>

namespace orvel {

class AlsaLibrary {
 public:
  static constexpr const char* kFileName = "libasound.so.2";

  // The loaded library; null when it cannot be loaded or lacks one of the functions.
  static const AlsaLibrary* get();

  // --- immutable once get() has handed the library out
  decltype(&::snd_pcm_open) pcm_open = nullptr;
  decltype(&::snd_pcm_close) pcm_close = nullptr;
  decltype(&::snd_pcm_set_params) pcm_set_params = nullptr;
  decltype(&::snd_pcm_prepare) pcm_prepare = nullptr;
  decltype(&::snd_pcm_drop) pcm_drop = nullptr;
  decltype(&::snd_pcm_pause) pcm_pause = nullptr;
  decltype(&::snd_pcm_state) pcm_state = nullptr;
  decltype(&::snd_pcm_writei) pcm_writei = nullptr;
  decltype(&::snd_pcm_recover) pcm_recover = nullptr;
  decltype(&::snd_pcm_poll_descriptors_count) pcm_poll_descriptors_count = nullptr;
  decltype(&::snd_pcm_poll_descriptors) pcm_poll_descriptors = nullptr;
  decltype(&::snd_pcm_hw_params_malloc) pcm_hw_params_malloc = nullptr;
  decltype(&::snd_pcm_hw_params_free) pcm_hw_params_free = nullptr;
  decltype(&::snd_pcm_hw_params_any) pcm_hw_params_any = nullptr;
  decltype(&::snd_pcm_hw_params_set_rate_resample) pcm_hw_params_set_rate_resample = nullptr;
  decltype(&::snd_pcm_hw_params_set_access) pcm_hw_params_set_access = nullptr;
  decltype(&::snd_pcm_hw_params_set_format) pcm_hw_params_set_format = nullptr;
  decltype(&::snd_pcm_hw_params_set_channels) pcm_hw_params_set_channels = nullptr;
  decltype(&::snd_pcm_hw_params_test_rate) pcm_hw_params_test_rate = nullptr;

 private:
  bool load();
};

}  // namespace orvel
