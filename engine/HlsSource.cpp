#include "engine/HlsSource.h"

#include <algorithm>

#include "engine/BodyReader.h"
#include "platform/internet/Url.h"

namespace orvel {
namespace {

constexpr int kDefaultTargetMs = 6000;
constexpr int kMinTargetMs = 500;
// A segment is a few seconds of audio; its fetch may take this long before it counts as failed.
constexpr int kSegmentTotalMs = 60000;
constexpr int kStaleTargets = 3;

std::string resolveAgainst(const std::string& base, const std::string& uri) {
  std::string resolved;
  return resolveUrl(base, uri, resolved) ? resolved : uri;
}

}  // namespace

HlsSource::HlsSource(Host& host, int stallMs) : m_host(host), m_stallMs(stallMs) {}

HlsSource::~HlsSource() = default;

bool HlsSource::open(const std::string& url, std::string_view text) {
  m_firstUrl = url;
  const std::optional<M3u8Playlist> playlist = M3u8Playlist::parse(text);
  if (!playlist) return false;
  if (!playlist->master) return takeMedia(url, text);
  const std::string chosen = playlist->chooseMedia();
  if (chosen.empty()) return false;
  const std::string mediaUrl = resolveAgainst(url, chosen);
  std::string mediaText;
  return fetchText(mediaUrl, mediaText) && takeMedia(mediaUrl, mediaText);
}

bool HlsSource::restart() {
  const uint64_t next = m_nextSequence;
  std::string text;
  if (!fetchText(m_firstUrl, text) || !open(m_firstUrl, text)) return false;
  // A playlist that still holds the next segment goes on from it rather than playing again
  // what was heard.
  const std::vector<M3u8Playlist::Segment>& segments = m_playlist.segments;
  if (m_started && next >= segments.front().sequence && next <= segments.back().sequence + 1) {
    m_nextSequence = next;
  }
  m_demuxer.reset();
  m_mapUrl.clear();
  return true;
}

bool HlsSource::takeMedia(const std::string& url, std::string_view text) {
  std::optional<M3u8Playlist> playlist = M3u8Playlist::parse(text);
  if (!playlist || playlist->master || playlist->segments.empty()) return false;
  m_mediaUrl = url;
  m_mediaText = text;
  m_playlist = std::move(*playlist);
  const size_t start = m_playlist.endList ? 0 : m_playlist.liveStart();
  m_nextSequence = m_playlist.segments[start].sequence;
  m_lastChange = m_lastFetched = Clock::now();
  m_changed = true;
  return true;
}

bool HlsSource::fetchText(const std::string& url, std::string& text) {
  HttpRequest* request = m_host.fetch(url);
  text.clear();
  return request != nullptr &&
         BodyReader::readRest(*request, text, kMaxPlaylistBytes, m_stallMs, m_stallMs) ==
             BodyReader::Result::kWhole &&
         !m_host.stopping();
}

int HlsSource::targetMs() const {
  if (m_playlist.targetDuration <= 0) return kDefaultTargetMs;
  return std::max(kMinTargetMs, static_cast<int>(m_playlist.targetDuration * 1000));
}

HlsSource::End HlsSource::run() {
  for (;;) {
    if (m_host.stopping()) return End::kStopped;
    if (const M3u8Playlist::Segment* segment = nextSegment()) {
      const M3u8Playlist::Segment playing = *segment;
      if (!playSegment(playing)) return End::kStopped;
      continue;
    }
    if (m_playlist.endList) return End::kFinished;
    const auto reloadAt =
        m_lastFetched + std::chrono::milliseconds(m_changed ? targetMs() : targetMs() / 2);
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(reloadAt - Clock::now());
    if (wait.count() > 0) m_host.pause(static_cast<int>(wait.count()));
    if (m_host.stopping()) return End::kStopped;
    const bool reloaded = reload();
    const auto now = Clock::now();
    if (!reloaded && now - m_lastFetched >= std::chrono::milliseconds(m_stallMs)) {
      return End::kStalled;
    }
    if (now - m_lastChange >= std::chrono::milliseconds(kStaleTargets * targetMs())) {
      return End::kStalled;
    }
  }
}

// The first segment not played yet; when the window moved past it, the next one it holds.
const M3u8Playlist::Segment* HlsSource::nextSegment() {
  for (const M3u8Playlist::Segment& segment : m_playlist.segments) {
    if (segment.sequence < m_nextSequence) continue;
    if (segment.sequence > m_nextSequence && m_started) m_gap = true;
    return &segment;
  }
  return nullptr;
}

bool HlsSource::reload() {
  std::string text;
  if (!fetchText(m_mediaUrl, text)) {
    // A failed reload is tried again after half a target duration.
    m_changed = false;
    return false;
  }
  std::optional<M3u8Playlist> playlist = M3u8Playlist::parse(text);
  if (!playlist || playlist->master) return false;
  m_lastFetched = Clock::now();
  m_changed = text != m_mediaText;
  if (!m_changed) return true;
  m_lastChange = m_lastFetched;
  m_mediaText = std::move(text);
  m_playlist = std::move(*playlist);
  return true;
}

// False only when a stop came; a segment that cannot be read is skipped.
bool HlsSource::playSegment(const M3u8Playlist::Segment& segment) {
  m_nextSequence = segment.sequence + 1;
  std::string data;
  if (!fetchSegment(segment, data) || !decrypt(segment, data)) {
    m_gap = true;
    return !m_host.stopping();
  }
  if ((segment.discontinuity || m_gap) && m_started) {
    m_host.discontinuity();
    m_demuxer.reset();
    m_mapUrl.clear();
  }
  m_gap = false;
  if (!prepareDemuxer(segment, data)) return !m_host.stopping();
  if (!segment.title.empty()) placeTitle(m_delivered, segment.title);
  return demux(data);
}

bool HlsSource::fetchSegment(const M3u8Playlist::Segment& segment, std::string& data) {
  const std::string url = resolveAgainst(m_mediaUrl, segment.uri);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (m_host.stopping()) return false;
    HttpRequest* request = m_host.fetch(url);
    data.clear();
    if (request != nullptr &&
        BodyReader::readRest(*request, data, kMaxSegmentBytes, m_stallMs, kSegmentTotalMs) ==
            BodyReader::Result::kWhole &&
        !m_host.stopping()) {
      return true;
    }
  }
  return false;
}

bool HlsSource::decrypt(const M3u8Playlist::Segment& segment, std::string& data) {
  using Method = M3u8Playlist::Key::Method;
  if (segment.key.method == Method::kNone) return true;
  if (segment.key.method != Method::kAes128 || segment.key.uri.empty()) return false;
  const std::string keyUrl = resolveAgainst(m_mediaUrl, segment.key.uri);
  // Keys rarely change; a station that rotates them names a new URI.
  if (keyUrl != m_keyUrl) {
    std::string key;
    if (!fetchText(keyUrl, key) || key.size() != SegmentDecryptor::Block().size()) return false;
    std::copy(key.begin(), key.end(), m_key.begin());
    m_keyUrl = keyUrl;
  }
  const SegmentDecryptor::Block iv =
      segment.key.iv ? *segment.key.iv : SegmentDecryptor::sequenceIv(segment.sequence);
  std::vector<uint8_t> clear;
  if (!m_decryptor.start(m_key, iv) ||
      !m_decryptor.update(reinterpret_cast<const uint8_t*>(data.data()), data.size(), clear) ||
      !m_decryptor.finish(clear)) {
    return false;
  }
  data.assign(clear.begin(), clear.end());
  return true;
}

bool HlsSource::prepareDemuxer(const M3u8Playlist::Segment& segment, const std::string& data) {
  const std::string mapUrl = segment.map.empty() ? "" : resolveAgainst(m_mediaUrl, segment.map);
  if (!mapUrl.empty() && mapUrl != m_mapUrl) {
    std::string init;
    if (!fetchText(mapUrl, init)) return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(init.data());
    m_demuxer = SegmentDemuxer::create(SegmentDemuxer::detect(bytes, init.size()));
    m_demuxerBase = m_delivered;
    if (!m_demuxer || !m_demuxer->setInit(bytes, init.size())) {
      m_demuxer.reset();
      return false;
    }
    m_mapUrl = mapUrl;
    return true;
  }
  if (m_demuxer) return true;
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
  m_demuxer = SegmentDemuxer::create(SegmentDemuxer::detect(bytes, data.size()));
  m_demuxerBase = m_delivered;
  return m_demuxer != nullptr;
}

bool HlsSource::demux(const std::string& data) {
  std::vector<uint8_t> audio;
  // A segment the reader cannot follow to its end still gives what came before the fault, and
  // the reader is ready for the next segment either way.
  m_demuxer->feed(reinterpret_cast<const uint8_t*>(data.data()), data.size(), audio);
  m_demuxer->endSegment(audio);
  for (SegmentDemuxer::Title& title : m_demuxer->takeTitles()) {
    placeTitle(m_demuxerBase + title.offset, std::move(title.text));
  }
  if (audio.empty()) return true;
  if (!m_host.queueAudio(audio.data(), audio.size())) return false;
  m_delivered += audio.size();
  m_started = true;
  return true;
}

void HlsSource::placeTitle(uint64_t position, std::string text) {
  // Stations repeat the title in every segment; only a change is news.
  if (text.empty() || text == m_lastTitle) return;
  m_lastTitle = text;
  m_host.title(position, std::move(text));
}

}  // namespace orvel
