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

std::condition_variable& eventChanged() {
  static std::condition_variable cv;
  return cv;
}

}  // namespace

Event::Event(Reset reset, bool initiallySet) : m_reset(reset), m_set(initiallySet) {}

void Event::set() {
  {
    std::lock_guard guard(eventLock());
    m_set = true;
  }
  eventChanged().notify_all();
}

void Event::reset() {
  std::lock_guard guard(eventLock());
  m_set = false;
}

bool Event::isSet() const {
  std::lock_guard guard(eventLock());
  return m_set;
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
  for (;;) {
    for (size_t i = 0; i < count; ++i) {
      if (events[i]->m_set) {
        if (events[i]->m_reset == Reset::Auto) events[i]->m_set = false;
        return static_cast<int>(i);
      }
    }
    if (timeoutMs == kInfinite) {
      eventChanged().wait(lock);
    } else if (eventChanged().wait_until(lock, deadline) == std::cv_status::timeout) {
      // One last look: an event set right at the deadline still counts.
      for (size_t i = 0; i < count; ++i) {
        if (events[i]->m_set) {
          if (events[i]->m_reset == Reset::Auto) events[i]->m_set = false;
          return static_cast<int>(i);
        }
      }
      return kTimeout;
    }
  }
}

}  // namespace orvel
