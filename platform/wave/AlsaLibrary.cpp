#include "platform/wave/AlsaLibrary.h"

#include <dlfcn.h>

#include "platform/DynamicSymbol.h"

namespace orvel {

const AlsaLibrary* AlsaLibrary::get() {
  static const AlsaLibrary* const library = [] {
    static AlsaLibrary loaded;
    return loaded.load() ? &loaded : nullptr;
  }();
  return library;
}

bool AlsaLibrary::load() {
  void* handle = dlopen(kFileName, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  const bool complete =
      bindSymbol(handle, "snd_pcm_open", pcm_open) &&
      bindSymbol(handle, "snd_pcm_close", pcm_close) &&
      bindSymbol(handle, "snd_pcm_set_params", pcm_set_params) &&
      bindSymbol(handle, "snd_pcm_prepare", pcm_prepare) &&
      bindSymbol(handle, "snd_pcm_drop", pcm_drop) &&
      bindSymbol(handle, "snd_pcm_pause", pcm_pause) &&
      bindSymbol(handle, "snd_pcm_state", pcm_state) &&
      bindSymbol(handle, "snd_pcm_writei", pcm_writei) &&
      bindSymbol(handle, "snd_pcm_recover", pcm_recover) &&
      bindSymbol(handle, "snd_pcm_poll_descriptors_count", pcm_poll_descriptors_count) &&
      bindSymbol(handle, "snd_pcm_poll_descriptors", pcm_poll_descriptors) &&
      bindSymbol(handle, "snd_pcm_hw_params_malloc", pcm_hw_params_malloc) &&
      bindSymbol(handle, "snd_pcm_hw_params_free", pcm_hw_params_free) &&
      bindSymbol(handle, "snd_pcm_hw_params_any", pcm_hw_params_any) &&
      bindSymbol(handle, "snd_pcm_hw_params_set_rate_resample", pcm_hw_params_set_rate_resample) &&
      bindSymbol(handle, "snd_pcm_hw_params_set_access", pcm_hw_params_set_access) &&
      bindSymbol(handle, "snd_pcm_hw_params_set_format", pcm_hw_params_set_format) &&
      bindSymbol(handle, "snd_pcm_hw_params_set_channels", pcm_hw_params_set_channels) &&
      bindSymbol(handle, "snd_pcm_hw_params_test_rate", pcm_hw_params_test_rate);
  // A library without one of them is of no use; it stays loaded (unloading ALSA is unsafe).
  return complete;
}

}  // namespace orvel
