#pragma once
// Something that engine code posts messages to: a window of the UI, or a queue in headless
// tools and tests. post() never blocks and never calls back into the poster; it may be called
// from any thread.

#include <cstdint>

namespace orvel {

struct Message {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  // False when the target is gone (the message is dropped).
  virtual bool post(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace orvel
