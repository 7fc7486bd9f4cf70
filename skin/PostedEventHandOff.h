#pragma once
// Qt hands an event posted by another thread to the receiving thread under a lock that
// ThreadSanitizer cannot see (Qt is not built with it). A poster calls posted() once the event
// is made, a receiver calls receiving() before it touches an event: this release and acquire
// pair on one counter shows the sanitizer the hand-off, and so everything the poster did before.
// Costs one atomic operation per event.

#include <atomic>
#include <cstdint>

namespace orvel {

class PostedEventHandOff {
 public:
  static void posted() { counter().fetch_add(1, std::memory_order_release); }
  static void receiving() { counter().load(std::memory_order_acquire); }

 private:
  static std::atomic<uint32_t>& counter() {
    static std::atomic<uint32_t> count{0};
    return count;
  }
};

}  // namespace orvel
