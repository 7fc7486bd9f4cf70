#pragma once
// Decides when a stream's waiting reads are cut short for the Player: while a Stop or Close
// runs (so that closing the output never waits for a server that sends a byte now and then),
// and while a Play or an Open runs with a Stop, Close or shut-down issued behind it (both decode
// on the command thread, which the queued command would otherwise wait for: an Open's decoder
// reads the stream's first frames). Reads are never cut while nothing but commands without a
// Stop or Close behind them run.
//
// Threads: issued on whichever thread issues the command; dropped, started and finished on the
// command thread; stopping anywhere. One lock guards the count and the flags; the cut callback
// runs under it, so it must take no lock but its own innermost ones.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

namespace orvel {

class StopRequests {
 public:
  enum class Command { Stop, Play, Open, Other };  // Stop also stands for Close

  // `cutReads(true)` starts cutting reads short, `cutReads(false)` ends it; called on changes.
  explicit StopRequests(std::function<void(bool)> cutReads);

  // A Stop or Close (or the shut-down) was issued (before it is queued).
  void issued();
  // A Stop or Close that was issued will not run (dropped from the queue or never queued).
  void dropped();
  // The command thread begins and ends a command.
  void started(Command command);
  void finished(Command command);
  // True while a Stop or Close runs.
  bool stopping() const { return m_stopping.load(); }
  // True while reads are cut short.
  bool cutting() const { return m_cut.load(); }

 private:
  void apply();

  const std::function<void(bool)> m_cutReads;
  std::atomic<bool> m_stopping{false};  // written under m_lock
  std::atomic<bool> m_cut{false};       // written under m_lock
  std::mutex m_lock;
  // --- guarded by m_lock
  int32_t m_pending = 0;    // issued and not yet finished or dropped
  bool m_decoding = false;  // a Play or an Open runs
};

}  // namespace orvel
