#pragma once
// Keeps the track information in step with the sound: a title read from the stream (or the
// tags of a new Ogg link) is shown when the wave output plays the audio it belongs to, not when
// its bytes arrive or are decoded, which may be many seconds earlier.
//
// Positions count the bytes handed to the wave output since Play. The decoding thread reports
// each block it queues and each buffer the device has played; the time a buffer was played
// back plus the output's byte rate tell where playback is between two reports.
//
// Threads: the decoding thread (the wave output's, or the player thread during Play) reports
// and adds; the player thread asks for the next due time and advances; any thread reads the
// current track. One lock, taken last: nothing is taken under it.
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "audio/TagInfo.h"

namespace orvel {

class TitleSchedule {
 public:
  using Clock = std::chrono::steady_clock;
  enum class Source { Stream, Decoder };

  // No decoder: nothing shows, nothing waits.
  void clear();
  // A decoder was opened with these tags.
  void setDecoderTags(TagInfo tags);
  // Play: nothing queued or played yet at `bytesPerSecond`, through a device that is heard
  // `latencyMs` after it hands a buffer back; titles still waiting are dropped (they belonged
  // to audio that was not played), what shows stays.
  void start(uint32_t bytesPerSecond, uint32_t latencyMs = 0);
  // Playback ended: the titles of what was played show, the others will not be heard. True
  // when what shows changed.
  bool stop();
  // Whether the stream has given a title since the open.
  bool hasStreamTitle() const;
  // The decoding thread queues a block of `bytes`; returns the position of its first byte.
  uint64_t queued(uint32_t bytes);
  // A buffer of `bytes` came back from the device at `at`: it has been played.
  void played(uint32_t bytes, Clock::time_point at);
  // Playback paused and resumed: the time in between does not count.
  void pause(Clock::time_point at);
  void resume(Clock::time_point at);
  // Shows `tags` once playback reaches `position`.
  void add(Source source, uint64_t position, TagInfo tags);
  // Shows `tags` at once.
  void show(Source source, TagInfo tags);
  // When the next waiting title is due; nothing when none waits or playback is paused.
  std::optional<Clock::time_point> nextDue() const;
  // Shows every title due at `now`; true when what shows changed.
  bool advance(Clock::time_point now);
  // The stream's title completed from the decoder's tags; false without a decoder.
  bool current(TagInfo& info) const;

 private:
  struct Entry {
    Source source;
    uint64_t position;
    TagInfo tags;
  };
  uint64_t heardAt(Clock::time_point now) const;
  Clock::time_point dueTime(uint64_t position) const;
  void apply(Source source, TagInfo tags);

  mutable std::mutex m_lock;
  // --- guarded by m_lock
  std::optional<TagInfo> m_streamTrack;
  std::optional<TagInfo> m_decoderTags;  // present exactly while there is a decoder
  std::deque<Entry> m_waiting;           // in order of position
  uint32_t m_bytesPerSecond = 0;
  Clock::duration m_latency{};
  uint64_t m_queuedBytes = 0;
  uint64_t m_playedBytes = 0;
  Clock::time_point m_playedAt{};
  std::optional<Clock::time_point> m_pausedAt;
};

}  // namespace orvel
