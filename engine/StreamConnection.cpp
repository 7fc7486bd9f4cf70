#include "engine/StreamConnection.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "engine/IcyHeaderReader.h"
#include "resources/StringTable.h"

namespace orvel {
namespace {

int statusCodeOf(const std::string& statusLine) {
  const size_t space = statusLine.find(' ');
  return space == std::string::npos ? 0 : std::atoi(statusLine.c_str() + space + 1);
}

}  // namespace

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
  m_cancel = false;
  m_connectThread = std::thread(&StreamConnection::connectMain, this);
  m_connectThreadId = m_connectThread.get_id();
}

void StreamConnection::connectMain() {
  const bool ok = runAttempts();
  m_cancel = false;
  if (ok) {
    m_events->ReportStatus(kStrConnectedToServer);
    if (m_readingHeld) startReading();
  } else {
    closeConnection();
    m_error = kStrConnectionError;
    m_events->ReportStatus(kStrConnectionError);
  }
  ConnectDone(ok, std::move(m_headerBuffer));
  m_headerBuffer.clear();
}

bool StreamConnection::runAttempts() {
  WString& url = m_connect.url;
  while (!url.empty() && url.back() == u' ') url.pop_back();
  UrlComponents parts;
  if (!m_session || !crackUrl(toUtf8(url), parts)) {
    m_error = kStrUrlUnknownFormat;
    return false;
  }
  for (int32_t left = m_connect.retries;; --left) {
    if (attempt(parts)) return true;
    closeConnection();
    if (left <= 0 || m_cancel) return false;
    m_error = 0;
    m_state = kConnecting;
    m_events->ReportStatus(kStrRetry);
    std::this_thread::sleep_for(std::chrono::milliseconds(m_timing.retryPauseMs));
    // The pause is waited out; a Disconnect meanwhile still prevents the next attempt.
    if (m_cancel) return false;
  }
}

bool StreamConnection::attempt(const UrlComponents& url) {
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
  m_request = std::move(request);
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

// Checks the status and copies the header lines into the header buffer. An answer without
// header lines (HTTP/0.9, which is how a "ICY 200 OK" server looks) leaves the buffer empty:
// its lines are then read from the body.
bool StreamConnection::takeResponse(HttpRequest& request) {
  const std::vector<std::string> lines = request.rawHeaderLines();
  if (lines.empty()) {
    m_error = kStrCannotGetHeaders;
    return false;
  }
  WString buffer;
  for (size_t i = 1; i < lines.size(); ++i) {
    buffer += decodeAnsi(lines[i]);
    buffer.push_back(u'\0');
    if (buffer.size() + 1 > m_connect.headerCapacity) return false;
  }
  if (statusCodeOf(lines.front()) / 100 != 2) {
    m_error = kStrServerRejectedRequest;
    return false;
  }
  if (lines.size() > 1) buffer.push_back(u'\0');
  m_headerBuffer = std::move(buffer);
  return true;
}

// The body bytes that came with the answer are queued here, so the decoder can start on them
// without waiting for the reader thread to wake; the reader thread goes on from there.
void StreamConnection::startReading() {
  m_readingHeld = false;
  m_queue.beginConnection();
  uint8_t piece[kNetworkReadBytes];
  for (;;) {
    const size_t got =
        m_request->takeReceived(piece, std::min(m_queue.freeSpace(), kNetworkReadBytes));
    if (got == 0) break;
    m_queue.append(piece, static_cast<uint32_t>(got));
  }
  m_resume.set();
}

// Stops the reader for the current connection (aborting its read in flight, so this never
// waits for the network) and drops the request.
void StreamConnection::closeConnection() {
  if (m_request) {
    m_stopReading = true;
    m_request->abort();
    m_queue.stopProducer();
    m_queue.waitReaderIdle();
    m_stopReading = false;
    m_request.reset();
  }
  m_state = kOnline;
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
  if (!m_request) return false;
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
  m_queue.stopProducer();
  m_resume.set();
  if (m_readerThread.joinable()) m_readerThread.join();
  m_queue.release();
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
    if (m_request) serveConnection(*m_request, networkBuffer.data());
    m_queue.endConnection();
  }
}

// Reads the body into the queue until it ends, fails, a read waits for the stall limit, or a
// stop is asked for (which aborts the request, so a waiting read returns at once).
void StreamConnection::serveConnection(HttpRequest& request, uint8_t* networkBuffer) {
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
      break;
    if (readerShouldStop()) return;
    m_queue.append(networkBuffer, static_cast<uint32_t>(got));
  }
  if (readerShouldStop()) return;
  // Nothing within the stall limit, or the read failed (the server closed): either way the
  // connection's data has ended.
  m_queue.setEndOfData();
  m_events->ReportStatus(kStrConnectionInterrupted);
}

}  // namespace orvel
