#include "engine/StopRequests.h"

#include <utility>

namespace orvel {

StopRequests::StopRequests(std::function<void(bool)> cutReads) : m_cutReads(std::move(cutReads)) {}

void StopRequests::issued() {
  std::lock_guard lock(m_lock);
  ++m_pending;
  apply();
}

void StopRequests::dropped() {
  std::lock_guard lock(m_lock);
  if (m_pending > 0) --m_pending;
  apply();
}

void StopRequests::started(Command command) {
  std::lock_guard lock(m_lock);
  if (command == Command::Play || command == Command::Open) m_decoding = true;
  if (command == Command::Stop) m_stopping = true;
  apply();
}

void StopRequests::finished(Command command) {
  std::lock_guard lock(m_lock);
  if (command == Command::Play || command == Command::Open) m_decoding = false;
  if (command == Command::Stop) {
    m_stopping = false;
    if (m_pending > 0) --m_pending;
  }
  apply();
}

// Called with m_lock held.
void StopRequests::apply() {
  const bool cut = m_pending > 0 && (m_decoding || m_stopping.load());
  if (cut == m_cut.load()) return;
  m_cut = cut;
  if (m_cutReads) m_cutReads(cut);
}

}  // namespace orvel
