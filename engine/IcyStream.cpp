#include "engine/IcyStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/FormatSniffer.h"
#include "platform/Text.h"

namespace orvel {
namespace {

// The first two accept types take a content type by its subtype, which may be any part of
// theirs; the others name whole content types, in any case.
constexpr size_t kSubtypeTypes = 2;
constexpr const char* kFormats[] = {"mp3", "ogg", "aac", "aac", "aac", "opus", "flac", "flac"};
// The first look ahead asks for this many bytes, each further one for twice as many.
constexpr size_t kFirstLookBytes = 64;

}  // namespace

IcyStream::IcyStream(PlayerEvents* events, Timing timing)
    : StreamConnection(events, timing),
      m_splitter([this](std::string_view raw) {
        storeTitle(decodeAnsi(raw), m_position + m_splitter.audioBeforeBlock());
      }),
      m_output(kOutputBufferBytes) {}

// The connect thread calls back into this object, so it must end before the members go.
IcyStream::~IcyStream() {
  Disconnect();
  Shutdown();
}

const std::vector<std::string>& IcyStream::acceptTypes() {
  static const std::vector<std::string> types = {"*/mpeg",     "*/ogg",       "audio/aac",
                                                 "audio/aacp", "audio/x-aac", "audio/opus",
                                                 "audio/flac", "audio/x-flac"};
  return types;
}

void IcyStream::Connect(const OpenRequest& request) {
  m_position = 0;
  m_ahead.clear();
  m_aheadAt = 0;
  m_splitter.reset(0);
  {
    // Before the connection's reader thread may find a title.
    std::lock_guard guard(m_trackLock);
    m_track.reset();
    m_titles.clear();
  }
  ConnectRequest connect;
  connect.url = request.url;
  connect.acceptTypes = acceptTypes();
  connect.extraHeaders = "icy-metadata:1";
  connect.headerCapacity = kHeaderCapacity;
  connect.prebuffer = request.prebuffer;
  connect.retries = request.retries;
  connect.reconnects = request.reconnects;
  StreamConnection::Connect(std::move(connect));
}

void IcyStream::ConnectDone(bool ok, WString headerBuffer) {
  if (ok) {
    int32_t metaint = 0;
    StreamHeaders headers = StreamHeaders::parse(headerBuffer, metaint);
    {
      std::lock_guard guard(m_headersLock);
      m_headers = std::move(headers);
      m_detected.reset();
    }
    {
      std::lock_guard guard(m_trackLock);
      if (!m_track) m_track.emplace();
    }
    m_splitter.reset(metaint);
  }
  events()->ConnectFinished(ok);
}

int32_t IcyStream::Reconnected(const WString& headerBuffer) {
  int32_t metaint = 0;
  StreamHeaders::parse(headerBuffer, metaint);
  return metaint;
}

std::optional<StreamHeaders> IcyStream::GetStreamHeaders() const {
  std::lock_guard guard(m_headersLock);
  return m_headers;
}

bool IcyStream::CopyTrack(TagInfo& info) {
  std::lock_guard guard(m_trackLock);
  if (!m_track) return false;
  info = *m_track;
  return true;
}

std::vector<IcyStream::PlacedTitle> IcyStream::TakeTitles() {
  std::lock_guard guard(m_trackLock);
  return std::exchange(m_titles, {});
}

bool IcyStream::FormatName(std::string& name) const {
  {
    std::lock_guard guard(m_headersLock);
    if (m_detected) {
      name = *m_detected;
      return true;
    }
  }
  return typedFormat(name);
}

bool IcyStream::typedFormat(std::string& name) const {
  WString type;
  {
    std::lock_guard guard(m_headersLock);
    if (!m_headers || !m_headers->contentType) return false;
    type = *m_headers->contentType;
  }
  const size_t slash = type.find(u'/');
  if (slash == WString::npos) return false;
  const WString subtype = type.substr(slash + 1);
  for (size_t i = 0; i < acceptTypes().size(); ++i) {
    const WString accepted = fromAscii(acceptTypes()[i]);
    if (i < kSubtypeTypes ? accepted.find(subtype) != WString::npos
                          : equalsNoCase(accepted, type)) {
      name = kFormats[i];
      return true;
    }
  }
  return false;
}

bool IcyStream::DetectFormat(std::string& name) {
  std::string typed;
  const bool hasType = typedFormat(typed);
  std::string sniffed;
  FormatSniffer::Verdict verdict = FormatSniffer::Verdict::kNeedMore;
  for (size_t size = kFirstLookBytes; verdict == FormatSniffer::Verdict::kNeedMore; size *= 2) {
    const bool more = readAhead(size);
    verdict = FormatSniffer::sniff(m_ahead.data(), m_ahead.size(), sniffed);
    if (!more || size >= FormatSniffer::kWindowBytes) break;
  }
  if (verdict == FormatSniffer::Verdict::kFound) {
    name = sniffed;
  } else if (hasType) {
    name = typed;
  } else {
    return false;
  }
  std::lock_guard guard(m_headersLock);
  m_detected = name;
  return true;
}

// Reads audio ahead until `size` bytes are held; false when the data ended (or reads were
// interrupted) first. A splice on the way is taken as usual: nothing is recorded before the
// decoder opens, and the bytes read ahead are handed out in order.
bool IcyStream::readAhead(size_t size) {
  m_ahead.erase(m_ahead.begin(), m_ahead.begin() + static_cast<std::ptrdiff_t>(m_aheadAt));
  m_aheadAt = 0;
  while (m_ahead.size() < size) {
    const size_t held = m_ahead.size();
    m_ahead.resize(size);
    uint32_t got = 0;
    const bool ok = readQueue(m_ahead.data() + held, static_cast<uint32_t>(size - held), got);
    if (ok) checkSplice();
    const uint32_t audio =
        ok ? m_splitter.split(m_ahead.data() + held, got, m_ahead.data() + held) : 0;
    m_position += audio;
    m_ahead.resize(held + audio);
    if (!ok) return false;
  }
  return true;
}

int64_t IcyStream::GetPosition() {
  return static_cast<int64_t>(m_position) - static_cast<int64_t>(m_ahead.size() - m_aheadAt);
}

int32_t IcyStream::Read(void* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return 0;
  auto* bytes = static_cast<uint8_t*>(buffer);
  if (m_aheadAt < m_ahead.size()) {
    const size_t n = std::min(static_cast<size_t>(size), m_ahead.size() - m_aheadAt);
    std::memcpy(bytes, m_ahead.data() + m_aheadAt, n);
    m_aheadAt += n;
    return static_cast<int32_t>(n);
  }
  for (;;) {
    uint32_t got = 0;
    if (!readQueue(bytes, static_cast<uint32_t>(size), got)) return 0;
    checkSplice();
    const uint32_t audio = m_splitter.split(bytes, got, bytes);
    m_position += audio;
    if (audio > 0) return static_cast<int32_t>(audio);
  }
}

int32_t IcyStream::ReadChunk(const uint8_t** data, uint32_t* spare) {
  (void)spare;
  if (data == nullptr) return 0;
  if (m_aheadAt < m_ahead.size()) {
    // The pointer stays valid until the next call, which finds every held byte handed out.
    *data = m_ahead.data() + m_aheadAt;
    const size_t n = m_ahead.size() - m_aheadAt;
    m_aheadAt = m_ahead.size();
    return static_cast<int32_t>(n);
  }
  for (;;) {
    const uint8_t* chunk = nullptr;
    uint32_t length = 0;
    if (!readQueueChunk(chunk, length)) return 0;
    checkSplice();
    if (m_splitter.metaint() > 0) {
      if (length > m_output.size()) m_output.resize(length);
      length = m_splitter.split(chunk, length, m_output.data());
      chunk = m_output.data();
    }
    m_position += length;
    if (length > 0) {
      *data = chunk;
      return static_cast<int32_t>(length);
    }
  }
}

// A read never crosses a splice, so everything it got belongs to the new connection.
void IcyStream::checkSplice() {
  int32_t metaint = 0;
  if (!takeSplice(metaint)) return;
  m_splitter.reset(metaint);
  Spliced();
}

void IcyStream::TitleFound(uint64_t position, std::string text) {
  storeTitle(fromUtf8(text), static_cast<uint32_t>(position));
}

void IcyStream::storeTitle(WString title, uint32_t position) {
  if (title.size() > kMaxTitleChars) {
    size_t keep = kMaxTitleChars;
    // Never keep half of a surrogate pair.
    if (title[keep - 1] >= 0xD800 && title[keep - 1] <= 0xDBFF) --keep;
    title.resize(keep);
  }
  {
    std::lock_guard guard(m_trackLock);
    if (!m_track) m_track.emplace();
    m_track->title = title;
    if (m_titles.size() == kMaxHeldTitles) m_titles.erase(m_titles.begin());
    m_titles.push_back({position, std::move(title)});
  }
  events()->TitleChanged();
}

}  // namespace orvel
