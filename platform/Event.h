#pragma once
// Manual- and auto-reset events with "wait for any of several, with a time limit".
//
// All events of the process share one lock, so that a wait for several events sees them all at
// once. A setting wakes only the threads waiting for that event: each waiting thread registers
// itself with the events it waits for. Every operation is thread-safe; an event must outlive
// its waits.

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace orvel {

class Event {
 public:
  enum class Reset { Manual, Auto };
  static constexpr int kInfinite = -1;
  static constexpr int kTimeout = -1;  // waitForAny's answer when the time ran out

  explicit Event(Reset reset, bool initiallySet = false);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void set();
  void reset();
  bool isSet() const;

  // Waits until the event is set (an auto-reset event is cleared by the wait that sees it).
  // False when timeoutMs ran out first; kInfinite waits without limit.
  bool wait(int timeoutMs = kInfinite);

  // Waits until any of the events is set; returns the index of the first one that is set, in
  // list order, or kTimeout. Only that event is consumed when it is auto-reset.
  static int waitForAny(std::initializer_list<Event*> events, int timeoutMs = kInfinite);
  static int waitForAny(Event* const* events, size_t count, int timeoutMs = kInfinite);

 private:
  struct Waiter;

  bool take();  // called with the shared event lock held

  const Reset m_reset;
  // --- guarded by the shared event lock
  bool m_set;
  std::vector<Waiter*> m_waiters;
};

}  // namespace orvel
