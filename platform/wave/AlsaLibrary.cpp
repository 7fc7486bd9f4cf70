#include "platform/wave/AlsaLibrary.h"

#include <dlfcn.h>

namespace orvel {
namespace {

template <typename Function>
bool bind(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  return function != nullptr;
}

}  // namespace

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
      bind(handle, "snd_pcm_open", pcm_open) && bind(handle, "snd_pcm_close", pcm_close) &&
      bind(handle, "snd_pcm_set_params", pcm_set_params) &&
      bind(handle, "snd_pcm_prepare", pcm_prepare) && bind(handle, "snd_pcm_drop", pcm_drop) &&
      bind(handle, "snd_pcm_pause", pcm_pause) && bind(handle, "snd_pcm_state", pcm_state) &&
      bind(handle, "snd_pcm_writei", pcm_writei) && bind(handle, "snd_pcm_recover", pcm_recover) &&
      bind(handle, "snd_pcm_poll_descriptors_count", pcm_poll_descriptors_count) &&
      bind(handle, "snd_pcm_poll_descriptors", pcm_poll_descriptors) &&
      bind(handle, "snd_pcm_hw_params_malloc", pcm_hw_params_malloc) &&
      bind(handle, "snd_pcm_hw_params_free", pcm_hw_params_free) &&
      bind(handle, "snd_pcm_hw_params_any", pcm_hw_params_any) &&
      bind(handle, "snd_pcm_hw_params_set_rate_resample", pcm_hw_params_set_rate_resample) &&
      bind(handle, "snd_pcm_hw_params_set_access", pcm_hw_params_set_access) &&
      bind(handle, "snd_pcm_hw_params_set_format", pcm_hw_params_set_format) &&
      bind(handle, "snd_pcm_hw_params_set_channels", pcm_hw_params_set_channels) &&
      bind(handle, "snd_pcm_hw_params_test_rate", pcm_hw_params_test_rate);
  // A library without one of them is of no use; it stays loaded (unloading ALSA is unsafe).
  return complete;
}

}  // namespace orvel
