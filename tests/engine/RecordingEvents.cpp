#include "RecordingEvents.h"

#include <algorithm>

namespace orvel::test {

void RecordingEvents::record(int32_t id) {
  {
    std::lock_guard guard(m_lock);
    m_reports.push_back(id);
  }
  m_changed.notify_all();
}

void RecordingEvents::TitleChanged() {
  TagInfo info;
  if (stream != nullptr && stream->CopyTrack(info) && info.title) titles.push_back(*info.title);
  record(kTitleChanged);
}

std::vector<int32_t> RecordingEvents::reports() const {
  std::lock_guard guard(m_lock);
  return m_reports;
}

size_t RecordingEvents::count(int32_t id) const {
  std::lock_guard guard(m_lock);
  return static_cast<size_t>(std::count(m_reports.begin(), m_reports.end(), id));
}

void RecordingEvents::clear() {
  std::lock_guard guard(m_lock);
  m_reports.clear();
}

bool RecordingEvents::waitFor(int32_t id, size_t times, int timeoutMs) const {
  std::unique_lock lock(m_lock);
  return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    return static_cast<size_t>(std::count(m_reports.begin(), m_reports.end(), id)) >= times;
  });
}

bool RecordingEvents::waitConnected(int timeoutMs) const {
  std::unique_lock lock(m_lock);
  m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    return std::find_if(m_reports.begin(), m_reports.end(), [](int32_t id) {
             return id == kConnectedOk || id == kConnectFailed;
           }) != m_reports.end();
  });
  return std::find(m_reports.begin(), m_reports.end(), kConnectedOk) != m_reports.end();
}

}  // namespace orvel::test
