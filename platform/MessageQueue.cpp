#include "platform/MessageQueue.h"

#include <chrono>

namespace orvel {

bool MessageQueue::post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  {
    std::lock_guard guard(m_mutex);
    m_messages.push_back(Message{message, wParam, lParam});
  }
  m_arrived.notify_all();
  return true;
}

Message MessageQueue::get() { return *getInRange(0, UINT32_MAX, kInfinite); }

std::optional<Message> MessageQueue::get(int timeoutMs) {
  return getInRange(0, UINT32_MAX, timeoutMs);
}

std::optional<Message> MessageQueue::peek() { return getInRange(0, UINT32_MAX, 0); }

std::optional<Message> MessageQueue::getInRange(uint32_t first, uint32_t last, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock lock(m_mutex);
  bool timedOut = timeoutMs == 0;
  for (;;) {
    for (auto it = m_messages.begin(); it != m_messages.end(); ++it) {
      if (it->message >= first && it->message <= last) {
        const Message m = *it;
        m_messages.erase(it);
        return m;
      }
    }
    if (timedOut) return std::nullopt;
    if (timeoutMs == kInfinite) {
      m_arrived.wait(lock);
    } else {
      // A message that arrives right at the deadline is still taken by the last look above.
      timedOut = m_arrived.wait_until(lock, deadline) == std::cv_status::timeout;
    }
  }
}

size_t MessageQueue::removeRange(uint32_t first, uint32_t last) {
  std::lock_guard guard(m_mutex);
  const size_t before = m_messages.size();
  std::erase_if(m_messages, [&](const Message& m) { return m.message >= first && m.message <= last; });
  return before - m_messages.size();
}

size_t MessageQueue::size() const {
  std::lock_guard guard(m_mutex);
  return m_messages.size();
}

}  // namespace orvel
