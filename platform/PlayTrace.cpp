#include "platform/PlayTrace.h"

#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvel {
namespace {

bool enabled() {
  static const bool on = [] {
    const char* value = std::getenv("ORVEL_RADIO_TRACE_PLAY");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return on;
}

}  // namespace

void PlayTrace::mark(const char* event) {
  if (!enabled()) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(stderr, "%s %.3f\n", event, now.tv_sec * 1e3 + now.tv_nsec / 1e6);
  std::fflush(stderr);
}

void PlayTrace::firstBuffer() {
  static std::atomic<bool> marked{false};
  if (enabled() && !marked.exchange(true)) mark("first-buffer");
}

}  // namespace orvel
