#include "platform/internet/HttpRequest.h"

#include <curl/curl.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace orvel {
namespace {

int statusCodeOf(const std::string& statusLine) {
  const size_t space = statusLine.find(' ');
  if (space == std::string::npos) return 0;
  return std::atoi(statusLine.c_str() + space + 1);
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
  const size_t length = std::strlen(prefix);
  return text.size() >= length && strncasecmp(text.c_str(), prefix, length) == 0;
}

// A block that curl answers itself: an interim 1xx or a redirect that it follows.
bool isIntermediateResponse(const std::vector<std::string>& lines) {
  if (lines.empty()) return false;
  const int code = statusCodeOf(lines.front());
  if (code / 100 == 1) return true;
  if (code / 100 != 3) return false;
  return std::any_of(lines.begin() + 1, lines.end(),
                     [](const std::string& line) { return startsWithNoCase(line, "location:"); });
}

curl_slist* headerList(const std::string& accept, const std::string& extraHeaders) {
  curl_slist* list = nullptr;
  if (!accept.empty()) list = curl_slist_append(list, ("Accept: " + accept).c_str());
  size_t start = 0;
  while (start < extraHeaders.size()) {
    size_t end = extraHeaders.find("\r\n", start);
    if (end == std::string::npos) end = extraHeaders.size();
    if (end > start)
      list = curl_slist_append(list, extraHeaders.substr(start, end - start).c_str());
    start = end + 2;
  }
  return list;
}

// libcurl's sockets are tracked so that a read can set their wake-up mark.
int onSocketOpened(void* sockets, curl_socket_t socket, curlsocktype /*purpose*/) {
  static_cast<std::vector<int>*>(sockets)->push_back(socket);
  return CURL_SOCKOPT_OK;
}

int onSocketClosing(void* sockets, curl_socket_t socket) {
  std::erase(*static_cast<std::vector<int>*>(sockets), socket);
  return ::close(socket);
}

}  // namespace

HttpRequest::HttpRequest(std::string url, std::string userAgent, std::string accept, void* share)
    : m_url(std::move(url)),
      m_userAgent(std::move(userAgent)),
      m_accept(std::move(accept)),
      m_share(share) {}

HttpRequest::~HttpRequest() {
  CURLM* multi = nullptr;
  {
    std::lock_guard guard(m_multiLock);
    multi = static_cast<CURLM*>(m_multi);
    m_multi = nullptr;
  }
  CURL* easy = static_cast<CURL*>(m_easy);
  if (multi != nullptr && easy != nullptr) curl_multi_remove_handle(multi, easy);
  if (easy != nullptr) curl_easy_cleanup(easy);
  if (multi != nullptr) curl_multi_cleanup(multi);
  curl_slist_free_all(static_cast<curl_slist*>(m_headers));
}

bool HttpRequest::send(const std::string& extraHeaders, int responseTimeoutMs) {
  if (m_easy != nullptr || !start(extraHeaders)) return false;
  const auto deadline = Clock::now() + std::chrono::milliseconds(responseTimeoutMs);
  return driveUntil([this] { return m_headersDone; }, deadline) && !m_aborted;
}

std::vector<std::string> HttpRequest::rawHeaderLines() const { return m_lines; }

bool HttpRequest::read(uint8_t* buffer, size_t size, size_t& got, int timeoutMs, int gatherMs) {
  got = 0;
  if (m_easy == nullptr || m_aborted) return false;
  if (heldBytes() == 0 && m_paused && !resume()) return false;
  const auto now = Clock::now();
  const auto deadline =
      timeoutMs < 0 ? Clock::time_point::max() : now + std::chrono::milliseconds(timeoutMs);
  if (gatherMs > 0 && heldBytes() < size && !m_paused) {
    // The mark stays from read to read and comes down only when a gathering falls short, so
    // that the bytes which did come are taken at once.
    setWakeBytes(size);
    const auto gatherEnd = std::min(deadline, now + std::chrono::milliseconds(gatherMs));
    if (!driveUntil([&] { return heldBytes() >= size; }, gatherEnd)) setWakeBytes(1);
  }
  if (!driveUntil([this] { return heldBytes() > 0; }, deadline)) return false;
  got = takeReceived(buffer, size);
  return true;
}

// Idle connections that a redirect left open take the mark too, which does them no harm.
void HttpRequest::setWakeBytes(size_t bytes) {
  if (bytes == m_wakeBytes || m_sockets.empty()) return;
  const int value = static_cast<int>(bytes);
  for (int socket : m_sockets) ::setsockopt(socket, SOL_SOCKET, SO_RCVLOWAT, &value, sizeof value);
  m_wakeBytes = bytes;
}

size_t HttpRequest::takeReceived(uint8_t* buffer, size_t size) {
  const size_t got = std::min(size, m_body.size() - m_bodyStart);
  if (got == 0) return 0;
  std::memcpy(buffer, m_body.data() + m_bodyStart, got);
  m_bodyStart += got;
  if (m_bodyStart == m_body.size()) {
    m_body.clear();
    m_bodyStart = 0;
  }
  return got;
}

void HttpRequest::abort() {
  m_aborted = true;
  std::lock_guard guard(m_multiLock);
  if (m_multi != nullptr) curl_multi_wakeup(static_cast<CURLM*>(m_multi));
}

bool HttpRequest::start(const std::string& extraHeaders) {
  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  curl_slist* headers = headerList(m_accept, extraHeaders);
  m_easy = easy;
  m_headers = headers;
  {
    std::lock_guard guard(m_multiLock);
    m_multi = multi;
  }
  if (easy == nullptr || multi == nullptr) return false;
  curl_easy_setopt(easy, CURLOPT_URL, m_url.c_str());
  curl_easy_setopt(easy, CURLOPT_USERAGENT, m_userAgent.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_HTTP09_ALLOWED, 1L);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpRequest::onHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpRequest::onBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  if (m_share != nullptr) {
    // A shared connection outlives this request, so its socket callbacks must not point here.
    curl_easy_setopt(easy, CURLOPT_SHARE, static_cast<CURLSH*>(m_share));
  } else {
    curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, &onSocketOpened);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTDATA, &m_sockets);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &onSocketClosing);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, &m_sockets);
  }
  return curl_multi_add_handle(multi, easy) == CURLM_OK;
}

template <typename Ready>
bool HttpRequest::driveUntil(Ready ready, Clock::time_point deadline) {
  CURLM* multi = static_cast<CURLM*>(m_multi);  // only this thread and the destructor set it
  for (;;) {
    if (ready()) return true;
    if (m_aborted || m_finished) return false;
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) finish(multi);
    if (ready()) return true;
    if (m_aborted || m_finished) return false;
    const auto now = Clock::now();
    if (now >= deadline) return false;
    // libcurl shortens the wait itself when one of its own timers is due sooner.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    const int waitMs = static_cast<int>(std::clamp<int64_t>(left.count(), 1, 1000));
    curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
  }
}

void HttpRequest::finish(void* multi) {
  m_finished = true;
  int left = 0;
  while (const CURLMsg* message = curl_multi_info_read(static_cast<CURLM*>(multi), &left)) {
    if (message->msg == CURLMSG_DONE && message->data.result == CURLE_TOO_MANY_REDIRECTS) {
      m_redirectsRefused = true;
    }
  }
}

// Hands libcurl's held-back bytes over (which may pause the transfer again at once).
bool HttpRequest::resume() {
  m_paused = false;
  return curl_easy_pause(static_cast<CURL*>(m_easy), CURLPAUSE_CONT) == CURLE_OK;
}

size_t HttpRequest::onHeader(char* data, size_t size, size_t count, void* self) {
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  const size_t taken = static_cast<HttpRequest*>(self)->takeHeaderLine(std::move(line));
  return taken == 0 ? 0 : size * count;
}

size_t HttpRequest::onBody(char* data, size_t size, size_t count, void* self) {
  return static_cast<HttpRequest*>(self)->takeBody(data, size * count);
}

// Returns 0 to make libcurl fail the transfer.
size_t HttpRequest::takeHeaderLine(std::string line) {
  m_headerBytes += line.size() + 2;
  if (m_aborted || m_headerBytes > kMaxHeaderBytes) return 0;
  if (!line.empty()) {
    m_lines.push_back(std::move(line));
    return 1;
  }
  if (isIntermediateResponse(m_lines)) {
    m_lines.clear();
    return 1;
  }
  m_headersDone = true;
  return 1;
}

size_t HttpRequest::takeBody(const char* data, size_t length) {
  if (m_aborted) return 0;
  if (!m_headersDone) {
    // Body bytes without a header block: the server does not speak HTTP/1.x (ICY).
    m_headersDone = true;
    if (m_lines.empty()) m_lines.push_back("HTTP/0.9 200 OK");
  }
  // An empty buffer takes any piece, so a piece larger than the limit cannot stall the
  // transfer; otherwise libcurl keeps the piece until the reader has caught up.
  const size_t held = m_body.size() - m_bodyStart;
  if (held > 0 && held + length > kBodyBufferBytes) {
    m_paused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  m_body.insert(m_body.end(), data, data + length);
  return length;
}

}  // namespace orvel
