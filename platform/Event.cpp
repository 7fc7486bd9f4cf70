#include "platform/Event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace orvel {
namespace {

std::mutex& eventLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

// One waiting thread; registered with every event it waits for while it sleeps.
struct Event::Waiter {
  std::condition_variable woken;
};

Event::Event(Reset reset, bool initiallySet) : m_reset(reset), m_set(initiallySet) {}

void Event::set() {
  std::lock_guard guard(eventLock());
  m_set = true;
  // Notified under the lock: a waiter unregisters under it too, so it still exists here.
  for (Waiter* waiter : m_waiters) waiter->woken.notify_one();
}

void Event::reset() {
  std::lock_guard guard(eventLock());
  m_set = false;
}

bool Event::isSet() const {
  std::lock_guard guard(eventLock());
  return m_set;
}

bool Event::take() {
  if (!m_set) return false;
  if (m_reset == Reset::Auto) m_set = false;
  return true;
}

bool Event::wait(int timeoutMs) {
  Event* self = this;
  return waitForAny(&self, 1, timeoutMs) == 0;
}

int Event::waitForAny(std::initializer_list<Event*> events, int timeoutMs) {
  return waitForAny(events.begin(), events.size(), timeoutMs);
}

int Event::waitForAny(Event* const* events, size_t count, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock lock(eventLock());
  const auto firstSet = [&]() -> int {
    for (size_t i = 0; i < count; ++i) {
      if (events[i]->take()) return static_cast<int>(i);
    }
    return kTimeout;
  };
  int found = firstSet();
  if (found != kTimeout || timeoutMs == 0) return found;
  Waiter waiter;
  for (size_t i = 0; i < count; ++i) events[i]->m_waiters.push_back(&waiter);
  for (;;) {
    if (timeoutMs == kInfinite) {
      waiter.woken.wait(lock);
    } else if (waiter.woken.wait_until(lock, deadline) == std::cv_status::timeout) {
      // One last look: an event set right at the deadline still counts.
      found = firstSet();
      break;
    }
    found = firstSet();
    if (found != kTimeout) break;
  }
  for (size_t i = 0; i < count; ++i) std::erase(events[i]->m_waiters, &waiter);
  return found;
}

}  // namespace orvel
