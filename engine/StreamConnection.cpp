#include "engine/StreamConnection.h"

#include <algorithm>
#include <chrono>

#include "engine/AnswerKind.h"
#include "engine/BodyReader.h"
#include "engine/IcyHeaderReader.h"
#include "engine/OpenRequest.h"
#include "engine/ReconnectAttempt.h"
#include "engine/ServerAnswer.h"
#include "resources/StringTable.h"

namespace orvel {

int ConnectionTiming::reconnectPauseBefore(int32_t attempt) const {
  int64_t pause = reconnectPauseMs;
  for (int32_t i = 1; i < attempt && pause < reconnectPauseMaxMs; ++i) pause *= 2;
  return static_cast<int>(std::min<int64_t>(pause, reconnectPauseMaxMs));
}

StreamConnection::StreamConnection(PlayerEvents* events, Timing timing)
    : m_events(events), m_timing(timing), m_queue(events) {}

StreamConnection::~StreamConnection() {
  Disconnect();
  Shutdown();
}

bool StreamConnection::OpenInternet() {
  if (m_state != kClosed) return false;
  m_state = kOpening;
  m_events->ReportNetStatus(kStrConnectingToInternet);
  m_session = std::make_unique<InternetSession>(kUserAgent);
  if (!m_session->isOpen()) {
    m_session.reset();
    m_error = kStrCannotConnectToInternet;
    m_state = kClosed;
    m_events->ReportNetStatus(kStrCannotConnectToInternet);
    return false;
  }
  m_stopReading = false;
  m_exit = false;
  m_readerThread = std::thread(&StreamConnection::readerMain, this);
  m_state = kOnline;
  m_events->ReportNetStatus(kStrOnline);
  return true;
}

void StreamConnection::Connect(ConnectRequest request) {
  switch (m_state.load()) {
    case kClosed:
      OpenInternet();
      break;
    case kConnecting:
    case kConnected:
      Disconnect();
      break;
    default:
      break;
  }
  if (m_state != kOnline) return;
  std::lock_guard guard(m_connectLock);
  // A series that ended on its own may still be returning from ConnectDone.
  if (m_connectThread.joinable()) m_connectThread.join();
  m_state = kConnecting;
  m_queue.allocate(request.prebuffer);
  m_connect = std::move(request);
  m_mayReconnect = false;
  m_verdict = false;
  m_dropDeferred = false;
  m_verdictGiven.reset();
  m_cancel = false;
  m_connectThread = std::thread(&StreamConnection::connectMain, this);
  m_connectThreadId = m_connectThread.get_id();
}

void StreamConnection::connectMain() {
  const bool ok = runAttempts();
  m_cancel = false;
  if (ok) {
    m_events->ReportStatus(kStrConnectedToServer);
    giveVerdict();
    if (m_readingHeld) startReading();
  } else {
    closeConnection();
    // A playlist that leads nowhere is no stream format the player knows.
    m_error = m_unsupported ? kStrCannotCreateDecoder : kStrConnectionError;
    if (!m_unsupported) m_events->ReportStatus(kStrConnectionError);
  }
  ConnectDone(ok, std::move(m_headerBuffer));
  m_headerBuffer.clear();
}

bool StreamConnection::runAttempts() {
  WString& url = m_connect.url;
  while (!url.empty() && url.back() == u' ') url.pop_back();
  UrlComponents start;
  if (!m_session || !crackUrl(toUtf8(url), start)) {
    m_error = kStrUrlUnknownFormat;
    return false;
  }
  // The reader is idle: the last connection's HLS source can go.
  m_hls.reset();
  for (int32_t left = m_connect.retries;; --left) {
    if (attempt(start, 0)) return true;
    closeConnection();
    if (left <= 0 || m_cancel || m_unsupported) return false;
    m_error = 0;
    m_state = kConnecting;
    m_events->ReportStatus(kStrRetry);
    std::this_thread::sleep_for(std::chrono::milliseconds(m_timing.retryPauseMs));
    // The pause is waited out; a Disconnect meanwhile still prevents the next attempt.
    if (m_cancel) return false;
  }
}

bool StreamConnection::attempt(const UrlComponents& url, int depth) {
  m_unsupported = false;
  m_bodyStart.clear();
  m_events->ReportStatus(kStrConnecting);
  // libcurl connects as part of sending, so a server that cannot be reached fails the send.
  m_events->ReportStatus(kStrRequestingServer);
  std::unique_ptr<HttpRequest> request = m_session->openRequest(url, m_connect.acceptTypes);
  if (!request) {
    m_error = kStrErrorSendingRequest;
    return false;
  }
  if (!request->send(m_connect.extraHeaders, m_timing.responseTimeoutMs)) {
    m_error = kStrConnectionError;
    return false;
  }
  m_state = kConnected;
  if (!takeResponse(*request)) return false;
  if (!m_headerBuffer.empty()) {
    const std::optional<std::string> type = AnswerKind::contentTypeOf(m_headerBuffer);
    if (AnswerKind::needsBody(type)) {
      BodyReader::readStart(*request, m_bodyStart, AnswerKind::kSniffBytes, m_timing.stallLimitMs);
    }
    switch (AnswerKind::classify(type, m_bodyStart)) {
      case AnswerKind::Kind::kPlaylist:
        return followPlaylist(*request, url, depth);
      case AnswerKind::Kind::kHls:
        return openHls(std::move(request), url);
      case AnswerKind::Kind::kAudio:
        break;
    }
  }
  m_url = url;
  {
    std::lock_guard guard(m_requestLock);
    m_request = std::move(request);
  }
  // An HTTP answer's body is read once the success is reported, so the reports keep the
  // connection's course: "Connected to server", then the first data's "Playback started".
  m_readingHeld = !m_headerBuffer.empty();
  if (m_readingHeld) return true;
  startReading();
  // Like an HTTP header block, the ICY lines must be complete within the response time, so a
  // server that trickles them cannot hold the attempt for longer (each read still ends at the
  // stall limit).
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timing.responseTimeoutMs);
  IcyHeaderReader reader(
      [this, deadline](uint8_t& byte) {
        uint32_t got = 0;
        return std::chrono::steady_clock::now() < deadline && m_queue.Read(&byte, 1, got);
      },
      m_connect.headerCapacity);
  if (reader.read(m_headerBuffer)) return true;
  m_error = kStrServerBadHeaders;
  return false;
}

bool StreamConnection::takeResponse(HttpRequest& request) {
  int status = 0;
  switch (ServerAnswer::check(request, m_connect.headerCapacity, m_headerBuffer, status)) {
    case ServerAnswer::Verdict::kAccepted:
      return true;
    case ServerAnswer::Verdict::kNoHeaders:
      m_error = kStrCannotGetHeaders;
      return false;
    case ServerAnswer::Verdict::kRejected:
      m_error = kStrServerRejectedRequest;
      return false;
    default:
      return false;
  }
}

// The body bytes that came with the answer are queued here, so the decoder can start on them
// without waiting for the reader thread to wake; the reader thread goes on from there.
void StreamConnection::startReading() {
  m_readingHeld = false;
  m_reconnectWake.reset();
  m_stopWake.reset();
  m_queue.beginConnection();
  m_queue.append(reinterpret_cast<const uint8_t*>(m_bodyStart.data()),
                 static_cast<uint32_t>(m_bodyStart.size()));
  m_bodyStart.clear();
  uint8_t piece[kNetworkReadBytes];
  for (;;) {
    const size_t got =
        m_request->takeReceived(piece, std::min(m_queue.freeSpace(), kNetworkReadBytes));
    if (got == 0) break;
    m_queue.append(piece, static_cast<uint32_t>(got));
  }
  m_resume.set();
}

// Stops the reader for the current connection (aborting its read in flight or a
// reconnection's request, and waking a reconnection pause, so this never waits for the
// network) and drops the request.
void StreamConnection::closeConnection() {
  m_mayReconnect = false;
  bool connected = false;
  {
    // Under the lock, so a reconnection either sees the stop before it sends or is aborted.
    std::lock_guard guard(m_requestLock);
    connected = m_request != nullptr;
    if (connected) {
      m_stopReading = true;
      m_request->abort();
    }
  }
  if (connected) {
    m_reconnectWake.set();
    m_stopWake.set();
    m_queue.stopProducer();
    m_queue.waitReaderIdle();
    m_stopReading = false;
    std::lock_guard guard(m_requestLock);
    m_request.reset();
  }
  m_state = kOnline;
}

void StreamConnection::StopReconnecting() {
  m_mayReconnect = false;
  {
    std::lock_guard guard(m_requestLock);
    if (m_reconnecting) m_request->abort();
  }
  m_reconnectWake.set();
}

bool StreamConnection::onConnectThread() const {
  return m_connectThreadId.load() == std::this_thread::get_id();
}

void StreamConnection::joinConnectThread() {
  if (onConnectThread()) return;
  std::lock_guard guard(m_connectLock);
  if (!m_connectThread.joinable()) return;
  m_cancel = true;
  m_connectThread.join();
  m_connectThreadId = std::thread::id{};
  m_cancel = false;
}

bool StreamConnection::Disconnect() {
  joinConnectThread();
  const State state = m_state;
  if (state == kClosed || state == kOpening || state == kOnline) return true;
  {
    std::lock_guard guard(m_requestLock);
    if (!m_request) return false;
  }
  m_events->ReportStatus(kStrClosingConnection);
  closeConnection();
  m_events->ReportStatus(kStrConnectionClosed);
  m_queue.release();
  return true;
}

int32_t StreamConnection::TakeError() { return m_error.exchange(0); }

bool StreamConnection::Shutdown() {
  switch (m_state.load()) {
    case kClosed:
      return true;
    case kOpening:
    case kConnecting:
      return false;
    case kConnected:
      Disconnect();
      break;
    default:
      break;
  }
  m_state = kClosed;
  if (!m_session) return true;
  m_exit = true;
  m_stopWake.set();
  m_queue.stopProducer();
  m_resume.set();
  if (m_readerThread.joinable()) m_readerThread.join();
  m_queue.release();
  {
    // The session's connections go with it; no request may outlive it.
    std::lock_guard guard(m_requestLock);
    m_request.reset();
  }
  m_session.reset();
  return true;
}

bool StreamConnection::prepareRead() {
  joinConnectThread();
  if (!m_session) return false;
  return m_state == kConnected || onConnectThread();
}

bool StreamConnection::readQueue(uint8_t* buffer, uint32_t size, uint32_t& got) {
  got = 0;
  return prepareRead() && m_queue.Read(buffer, size, got);
}

bool StreamConnection::readQueueChunk(const uint8_t*& data, uint32_t& length) {
  length = 0;
  return prepareRead() && m_queue.ReadChunk(data, length);
}

void StreamConnection::readerMain() {
  std::vector<uint8_t> networkBuffer(kNetworkReadBytes);
  for (;;) {
    m_resume.wait();
    if (m_exit) break;
    // Set before the resume; nobody else replaces it until this thread is idle again.
    if (m_request) serveConnection(networkBuffer.data());
    m_queue.endConnection();
  }
}

// Reads the body, and the body of each reconnection after a drop, until a stop or until the
// data has ended for good.
void StreamConnection::serveConnection(uint8_t* networkBuffer) {
  m_attempt = 0;
  m_awaitingAudio = false;
  for (;;) {
    // An HLS stream that queued its last segment is over: the decoder plays it out, and neither
    // a reconnection nor an interruption follows.
    const bool finished = m_hls ? playHls() : (readBody(*m_request, networkBuffer), false);
    if (readerShouldStop()) return;
    if (finished) {
      m_queue.setEndOfData();
      return;
    }
    const Resume resumed = reconnect();
    if (resumed == Resume::kStopped) return;
    if (resumed != Resume::kResumed) break;
  }
  m_queue.setEndOfData();
  m_events->ReportStatus(kStrConnectionInterrupted);
}

// Reads the body into the queue until it ends, fails, a read waits for the stall limit, or a
// stop is asked for (which aborts the request, so a waiting read returns at once).
void StreamConnection::readBody(HttpRequest& request, uint8_t* networkBuffer) {
  for (;;) {
    m_queue.spaceEvent().wait();
    if (readerShouldStop()) return;
    // The queue lock is held only to size the read and to append: the consumer keeps taking
    // queued bytes while this read waits for the network.
    const uint32_t free = m_queue.freeSpace();
    const uint32_t length = std::min(free, kNetworkReadBytes);
    if (length == 0) continue;
    // With enough queued for the decoder, a read may wait to gather a whole piece, so a server
    // that writes small pieces does not wake this thread for every one of them.
    const bool gather = ByteQueue::kCapacity - free >= kGatherQueuedBytes;
    size_t got = 0;
    if (!request.read(networkBuffer, length, got, m_timing.stallLimitMs, gather ? kGatherMs : 0))
      return;
    if (readerShouldStop()) return;
    deliver(networkBuffer, static_cast<uint32_t>(got));
  }
}

void StreamConnection::deliver(const uint8_t* bytes, uint32_t n) {
  if (n == 0) return;
  m_queue.append(bytes, n);
  if (!m_awaitingAudio) return;
  m_awaitingAudio = false;
  m_attempt = 0;
  m_events->ReportStatus(kStrReconnected);
}

void StreamConnection::giveVerdict() {
  std::lock_guard guard(m_requestLock);
  m_mayReconnect = m_connect.reconnects != 0;
  m_verdict = true;
  // The data of a drop that came while the ICY lines were read goes on after all; no decoder
  // reads before ConnectDone, so none has seen it end.
  if (m_dropDeferred && m_mayReconnect) m_queue.resumeData();
  m_verdictGiven.set();
}

// An answer read as "ICY 200 OK" has its lines read from the queue by the connect thread while
// this thread already reads the body. A drop then ends the data, so that a read of incomplete
// lines fails, and waits for the connect thread's verdict. False when a stop came instead. The
// reader reads m_connect.reconnects early: Connect wrote it before this connection began.
bool StreamConnection::awaitVerdict() {
  // Without reconnections a drop ends the data at once, as it always did.
  if (m_connect.reconnects == 0) return true;
  {
    std::lock_guard guard(m_requestLock);
    if (m_verdict) return true;
    m_dropDeferred = true;
    m_queue.setEndOfData();
  }
  Event::waitForAny({&m_verdictGiven, &m_reconnectWake});
  return !readerShouldStop();
}

bool StreamConnection::reconnectsLeft() const {
  return m_mayReconnect && (m_connect.reconnects == OpenRequest::kReconnectForever ||
                            m_attempt < m_connect.reconnects);
}

// Nothing within the stall limit, or the read failed (the server closed or reset): the data
// ended for a network reason. Attempts follow while any are left; the queued bytes keep
// playing meanwhile, and the decoder's reads wait rather than fail.
StreamConnection::Resume StreamConnection::reconnect() {
  if (!awaitVerdict()) return Resume::kStopped;
  while (reconnectsLeft()) {
    ++m_attempt;
    m_events->ReportReconnecting(m_attempt);
    m_reconnectWake.wait(m_timing.reconnectPauseBefore(m_attempt));
    if (readerShouldStop()) return Resume::kStopped;
    const Resume resumed = reopen();
    if (readerShouldStop()) return Resume::kStopped;
    if (resumed != Resume::kRetry) return resumed;
  }
  return Resume::kEnded;
}

StreamConnection::Resume StreamConnection::reopen() {
  if (m_hls) {
    if (!m_hls->restart()) return Resume::kRetry;
    m_queue.markSplice(0);
    m_awaitingAudio = true;
    return Resume::kResumed;
  }
  std::unique_ptr<HttpRequest> next = m_session->openRequest(m_url, m_connect.acceptTypes);
  if (!next) return Resume::kRetry;
  HttpRequest& request = *next;
  {
    std::lock_guard guard(m_requestLock);
    // A stop that came since the last look must not wait for this request's answer.
    if (readerShouldStop() || !m_mayReconnect) request.abort();
    m_request = std::move(next);
    m_reconnecting = true;
  }
  ReconnectAttempt attempt(request, m_connect, m_timing);
  const ReconnectAttempt::Outcome outcome = attempt.run();
  {
    std::lock_guard guard(m_requestLock);
    m_reconnecting = false;
  }
  switch (outcome) {
    case ReconnectAttempt::Outcome::kConnected:
      break;
    case ReconnectAttempt::Outcome::kGone:
      return Resume::kEnded;
    default:
      return Resume::kRetry;
  }
  m_queue.markSplice(Reconnected(attempt.headerBuffer()));
  m_awaitingAudio = true;
  return Resume::kResumed;
}

// The playlist is read whole; each entry that reads as a URL is tried in turn (its failure
// leaves the error of the last one tried) until one connects.
bool StreamConnection::followPlaylist(HttpRequest& request, const UrlComponents& url, int depth) {
  std::string body = std::move(m_bodyStart);
  m_bodyStart.clear();
  const BodyReader::Result read = BodyReader::readRest(
      request, body, kMaxPlaylistBytes, m_timing.stallLimitMs, m_timing.responseTimeoutMs);
  if (read == BodyReader::Result::kFailed) {
    m_error = kStrConnectionError;
    return false;
  }
  m_unsupported = true;
  if (read == BodyReader::Result::kTooLarge || depth >= kMaxPlaylistDepth || !m_playlistReader) {
    return false;
  }
  const std::string base = requestUrl(url);
  for (const std::string& entry : m_playlistReader(body)) {
    std::string resolved;
    UrlComponents parts;
    if (!resolveUrl(base, entry, resolved) || !crackUrl(resolved, parts)) continue;
    if (m_cancel) return false;
    m_events->StreamResolved(resolved);
    if (attempt(parts, depth + 1)) return true;
  }
  return false;
}

bool StreamConnection::openHls(std::unique_ptr<HttpRequest> request, const UrlComponents& url) {
  std::string text = std::move(m_bodyStart);
  m_bodyStart.clear();
  if (BodyReader::readRest(*request, text, HlsSource::kMaxPlaylistBytes, m_timing.stallLimitMs,
                           m_timing.responseTimeoutMs) != BodyReader::Result::kWhole) {
    m_error = kStrConnectionError;
    return false;
  }
  {
    // The source's requests take the place of this one, where a stop finds them.
    std::lock_guard guard(m_requestLock);
    m_request = std::move(request);
  }
  auto source =
      std::make_unique<HlsSource>(static_cast<HlsSource::Host&>(*this), m_timing.stallLimitMs);
  if (!source->open(requestUrl(url), text)) {
    m_unsupported = !m_cancel;
    return false;
  }
  m_hls = std::move(source);
  m_url = url;
  m_readingHeld = true;
  return true;
}

// Reader thread: true when the stream played out, false when it stalled or a stop came.
bool StreamConnection::playHls() {
  const HlsSource::End end = m_hls->run();
  return end == HlsSource::End::kFinished;
}

HttpRequest* StreamConnection::fetch(const std::string& url) {
  UrlComponents parts;
  if (!crackUrl(url, parts)) return nullptr;
  std::unique_ptr<HttpRequest> next = m_session->openRequest(parts, {}, true);
  if (!next) return nullptr;
  HttpRequest* request = next.get();
  std::unique_ptr<HttpRequest> previous;
  {
    std::lock_guard guard(m_requestLock);
    if (stopping()) request->abort();
    previous = std::move(m_request);
    m_request = std::move(next);
  }
  previous.reset();
  int status = 0;
  WString headers;
  return request->send("", m_timing.stallLimitMs) &&
                 ServerAnswer::check(*request, HttpRequest::kMaxHeaderBytes, headers, status) ==
                     ServerAnswer::Verdict::kAccepted
             ? request
             : nullptr;
}

bool StreamConnection::stopping() {
  return onConnectThread() ? m_cancel.load() : readerShouldStop();
}

void StreamConnection::pause(int ms) { m_stopWake.wait(ms); }

bool StreamConnection::queueAudio(const uint8_t* bytes, size_t size) {
  while (size > 0) {
    m_queue.spaceEvent().wait();
    if (readerShouldStop()) return false;
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(m_queue.freeSpace(), size));
    deliver(bytes, n);
    bytes += n;
    size -= n;
  }
  return true;
}

}  // namespace orvel
