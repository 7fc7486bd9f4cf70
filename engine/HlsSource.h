#pragma once
// An HLS stream as one run of elementary audio: picks the media playlist (a master playlist's
// audio variant), starts three target durations from a live playlist's edge, fetches each
// segment whole (decrypting AES-128), reads it with the segment reader for its container and
// hands the audio on, with the titles of its ID3 frames and EXTINF lines placed at the audio
// they belong to. A live playlist is reloaded every target duration, after half of one when it
// had not changed; segments that fell off its window meanwhile are skipped.
//
// A segment that fails is fetched once more, then skipped. The run ends when an ENDLIST
// playlist has played out, when a stop comes, or like a stall: the playlist did not change for
// three target durations, or could not be fetched for the stall limit.
//
// Threads: open on the connect thread, run and restart on the reader thread, never two at once;
// the source owns its state. The Host's calls come on the calling thread.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/M3u8Playlist.h"
#include "engine/hls/SegmentDecryptor.h"
#include "engine/hls/SegmentDemuxer.h"
#include "platform/internet/HttpRequest.h"

namespace orvel {

class HlsSource {
 public:
  // What the source needs from its stream.
  class Host {
   public:
    virtual ~Host() = default;
    // Sends a GET for `url` that a stop aborts, and waits for its answer; null when it failed,
    // the server refused it, or the source is to stop. Valid until the next call.
    virtual HttpRequest* fetch(const std::string& url) = 0;
    virtual bool stopping() = 0;
    // Waits up to `ms`, less when a stop comes.
    virtual void pause(int ms) = 0;
    // Queues elementary audio, waiting for space; false when a stop came.
    virtual bool queueAudio(const uint8_t* bytes, size_t size) = 0;
    // The audio queued from now on does not continue what came before.
    virtual void discontinuity() = 0;
    // `text` (UTF-8) belongs to the audio from byte `position` of the run on.
    virtual void title(uint64_t position, std::string text) = 0;
  };

  enum class End { kStopped, kFinished, kStalled };

  static constexpr size_t kMaxPlaylistBytes = 1048576;
  static constexpr size_t kMaxSegmentBytes = 16777216;

  // `stallMs` limits each fetch and the time a playlist may stay out of reach.
  HlsSource(Host& host, int stallMs);
  ~HlsSource();
  HlsSource(const HlsSource&) = delete;
  HlsSource& operator=(const HlsSource&) = delete;

  // Takes the playlist that `url` answered with (a master playlist leads to its media
  // playlist, fetched now). False when no media playlist with segments came of it.
  bool open(const std::string& url, std::string_view text);
  // Plays the segments until the run ends.
  End run();
  // After a stall: fetches the playlist afresh and goes on with the next segment when it still
  // holds it, else starts again at its live edge.
  bool restart();

 private:
  using Clock = std::chrono::steady_clock;

  bool fetchText(const std::string& url, std::string& text);
  bool takeMedia(const std::string& url, std::string_view text);
  const M3u8Playlist::Segment* nextSegment();
  bool reload();
  bool playSegment(const M3u8Playlist::Segment& segment);
  bool fetchSegment(const M3u8Playlist::Segment& segment, std::string& data);
  bool decrypt(const M3u8Playlist::Segment& segment, std::string& data);
  bool prepareDemuxer(const M3u8Playlist::Segment& segment, const std::string& data);
  bool demux(const std::string& data);
  void placeTitle(uint64_t position, std::string text);
  int targetMs() const;

  Host& m_host;
  const int m_stallMs;
  std::string m_firstUrl;  // the URL the stream was opened with
  std::string m_mediaUrl;
  std::string m_mediaText;
  M3u8Playlist m_playlist;
  uint64_t m_nextSequence = 0;
  bool m_changed = false;    // the last load of the media playlist found it changed
  bool m_gap = false;        // segments were missed: the next audio does not continue
  bool m_started = false;    // a segment's audio has been handed on
  uint64_t m_delivered = 0;  // elementary bytes handed on in this run
  std::unique_ptr<SegmentDemuxer> m_demuxer;
  uint64_t m_demuxerBase = 0;  // m_delivered when m_demuxer was made
  std::string m_mapUrl;        // the initialization section m_demuxer has
  SegmentDecryptor m_decryptor;
  std::string m_keyUrl;  // where m_key came from; empty before the first key
  SegmentDecryptor::Block m_key{};
  std::string m_lastTitle;
  Clock::time_point m_lastChange;   // the media playlist last changed
  Clock::time_point m_lastFetched;  // the media playlist last came
};

}  // namespace orvel
