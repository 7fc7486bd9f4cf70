#include "engine/TitleSchedule.h"

#include <algorithm>
#include <utility>

namespace orvel {

void TitleSchedule::clear() {
  std::lock_guard lock(m_lock);
  m_streamTrack.reset();
  m_decoderTags.reset();
  m_waiting.clear();
  m_bytesPerSecond = 0;
  m_queuedBytes = 0;
  m_playedBytes = 0;
  m_pausedAt.reset();
}

void TitleSchedule::setDecoderTags(TagInfo tags) {
  std::lock_guard lock(m_lock);
  m_decoderTags = std::move(tags);
}

void TitleSchedule::start(uint32_t bytesPerSecond, uint32_t latencyMs) {
  std::lock_guard lock(m_lock);
  m_waiting.clear();
  m_bytesPerSecond = bytesPerSecond;
  m_latency = std::chrono::milliseconds(latencyMs);
  m_queuedBytes = 0;
  m_playedBytes = 0;
  m_playedAt = Clock::now();
  m_pausedAt.reset();
}

bool TitleSchedule::stop() {
  std::lock_guard lock(m_lock);
  bool changed = false;
  while (!m_waiting.empty() && m_waiting.front().position < m_playedBytes) {
    apply(m_waiting.front().source, std::move(m_waiting.front().tags));
    m_waiting.pop_front();
    changed = true;
  }
  m_waiting.clear();
  m_bytesPerSecond = 0;
  m_pausedAt.reset();
  return changed;
}

bool TitleSchedule::hasStreamTitle() const {
  std::lock_guard lock(m_lock);
  return m_streamTrack.has_value();
}

uint64_t TitleSchedule::queued(uint32_t bytes) {
  std::lock_guard lock(m_lock);
  const uint64_t position = m_queuedBytes;
  m_queuedBytes += bytes;
  return position;
}

void TitleSchedule::played(uint32_t bytes, Clock::time_point at) {
  std::lock_guard lock(m_lock);
  m_playedBytes = std::min(m_playedBytes + bytes, m_queuedBytes);
  m_playedAt = at;
}

void TitleSchedule::pause(Clock::time_point at) {
  std::lock_guard lock(m_lock);
  if (!m_pausedAt) m_pausedAt = at;
}

void TitleSchedule::resume(Clock::time_point at) {
  std::lock_guard lock(m_lock);
  if (!m_pausedAt) return;
  // Where playback stood at the pause is where it resumes.
  m_playedAt += at - *m_pausedAt;
  m_pausedAt.reset();
}

void TitleSchedule::add(Source source, uint64_t position, TagInfo tags) {
  std::lock_guard lock(m_lock);
  // Positions only grow; a late report never jumps ahead of one already waiting.
  if (!m_waiting.empty()) position = std::max(position, m_waiting.back().position);
  m_waiting.push_back({source, position, std::move(tags)});
}

void TitleSchedule::show(Source source, TagInfo tags) {
  std::lock_guard lock(m_lock);
  apply(source, std::move(tags));
}

void TitleSchedule::apply(Source source, TagInfo tags) {
  if (source == Source::Stream) {
    m_streamTrack = std::move(tags);
  } else if (m_decoderTags) {
    m_decoderTags = std::move(tags);
  }
}

// Playback is assumed to go on at the output's rate from the last played buffer, heard the
// device's latency later, but never past what was queued: an output that starved has played
// no further.
uint64_t TitleSchedule::heardAt(Clock::time_point now) const {
  if (m_bytesPerSecond == 0) return m_playedBytes;
  const Clock::time_point until = m_pausedAt ? *m_pausedAt : now;
  const auto elapsedUs =
      std::chrono::duration_cast<std::chrono::microseconds>(until - m_playedAt - m_latency).count();
  const int64_t heard =
      static_cast<int64_t>(m_playedBytes) + elapsedUs * int64_t{m_bytesPerSecond} / 1000000;
  return std::min(static_cast<uint64_t>(std::max<int64_t>(heard, 0)), m_queuedBytes);
}

TitleSchedule::Clock::time_point TitleSchedule::dueTime(uint64_t position) const {
  if (m_bytesPerSecond == 0) return m_playedAt;
  const int64_t ahead = static_cast<int64_t>(position) - static_cast<int64_t>(m_playedBytes);
  return m_playedAt + m_latency + std::chrono::microseconds(ahead * 1000000 / m_bytesPerSecond);
}

std::optional<TitleSchedule::Clock::time_point> TitleSchedule::nextDue() const {
  std::lock_guard lock(m_lock);
  if (m_waiting.empty() || m_pausedAt) return std::nullopt;
  return dueTime(m_waiting.front().position);
}

bool TitleSchedule::advance(Clock::time_point now) {
  std::lock_guard lock(m_lock);
  if (m_pausedAt) return false;
  const uint64_t heard = heardAt(now);
  bool changed = false;
  while (!m_waiting.empty() && m_waiting.front().position <= heard) {
    apply(m_waiting.front().source, std::move(m_waiting.front().tags));
    m_waiting.pop_front();
    changed = true;
  }
  return changed;
}

bool TitleSchedule::current(TagInfo& info) const {
  std::lock_guard lock(m_lock);
  if (!m_decoderTags) return false;
  info = m_streamTrack ? *m_streamTrack : TagInfo{};
  for (auto field : {&TagInfo::album, &TagInfo::artist, &TagInfo::genre, &TagInfo::title,
                     &TagInfo::track, &TagInfo::year}) {
    if (!(info.*field) && ((*m_decoderTags).*field)) info.*field = (*m_decoderTags).*field;
  }
  return true;
}

}  // namespace orvel
