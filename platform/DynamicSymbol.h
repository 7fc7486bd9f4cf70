#pragma once
// Binds a function of a library opened with dlopen to a typed pointer. Any thread.

#include <dlfcn.h>

namespace orvel {

// Sets `function` to the library's `name`; false (and null) when the library lacks it.
template <typename Function>
bool bindSymbol(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  return function != nullptr;
}

}  // namespace orvel
