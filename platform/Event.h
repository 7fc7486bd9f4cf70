#pragma once
// Manual- and auto-reset events with "wait for any of several, with a time limit".
//
// All events of the process share one lock and one condition variable: waits for several
// events then need no per-event bookkeeping, and the program has only a handful of threads.
// Every operation is thread-safe.

#include <cstddef>
#include <initializer_list>

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
  const Reset m_reset;
  bool m_set;  // guarded by the shared event lock
};

}  // namespace orvel
