#pragma once
// A thread's message queue: the stand-in for thread messages. Any thread posts; the owning
// thread takes messages in order. Thread-safe.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/MessageTarget.h"

namespace orvel {

class MessageQueue : public MessageTarget {
 public:
  static constexpr int kInfinite = -1;

  bool post(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  // Blocks until a message arrives.
  Message get();
  // Waits at most timeoutMs (kInfinite: no limit); nothing when it ran out.
  std::optional<Message> get(int timeoutMs);
  // Takes the first message without waiting.
  std::optional<Message> peek();
  // Takes the first message whose number lies in [first, last], waiting at most timeoutMs.
  std::optional<Message> getInRange(uint32_t first, uint32_t last, int timeoutMs);
  // Drops every queued message whose number lies in [first, last]; returns how many.
  size_t removeRange(uint32_t first, uint32_t last);
  size_t size() const;

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::deque<Message> m_messages;  // guarded by m_mutex
};

}  // namespace orvel
