#include "platform/internet/HttpRequest.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
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

}  // namespace

HttpRequest::HttpRequest(std::string url, std::string userAgent, std::string accept)
    : m_url(std::move(url)),
      m_userAgent(std::move(userAgent)),
      m_accept(std::move(accept)),
      m_body(kBodyBufferBytes) {}

HttpRequest::~HttpRequest() {
  abort();
  if (m_transfer.joinable()) m_transfer.join();
}

bool HttpRequest::send(const std::string& extraHeaders, int responseTimeoutMs) {
  if (m_transfer.joinable()) return false;
  m_transfer = std::thread(&HttpRequest::runTransfer, this, extraHeaders);
  std::unique_lock lock(m_lock);
  const bool answered = m_changed.wait_for(lock, std::chrono::milliseconds(responseTimeoutMs), [&] {
    return m_headersDone || m_finished || m_aborted;
  });
  if (answered && m_headersDone && !m_aborted) return true;
  lock.unlock();
  abort();
  return false;
}

std::vector<std::string> HttpRequest::rawHeaderLines() const {
  std::lock_guard guard(m_lock);
  return m_lines;
}

bool HttpRequest::read(uint8_t* buffer, size_t size, size_t& got) {
  got = 0;
  std::unique_lock lock(m_lock);
  m_changed.wait(lock, [&] { return m_bodyCount > 0 || m_finished || m_aborted; });
  if (m_aborted || m_bodyCount == 0) return false;
  got = std::min(size, m_bodyCount);
  const size_t first = std::min(got, m_body.size() - m_bodyStart);
  std::memcpy(buffer, m_body.data() + m_bodyStart, first);
  std::memcpy(buffer + first, m_body.data(), got - first);
  m_bodyStart = (m_bodyStart + got) % m_body.size();
  m_bodyCount -= got;
  lock.unlock();
  m_changed.notify_all();
  return true;
}

void HttpRequest::abort() {
  {
    std::lock_guard guard(m_lock);
    m_aborted = true;
    if (m_multi != nullptr) curl_multi_wakeup(static_cast<CURLM*>(m_multi));
  }
  m_changed.notify_all();
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
  std::unique_lock lock(m_lock);
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
  lock.unlock();
  m_changed.notify_all();
  return 1;
}

size_t HttpRequest::takeBody(const char* data, size_t length) {
  std::unique_lock lock(m_lock);
  if (!m_headersDone) {
    // Body bytes without a header block: the server does not speak HTTP/1.x (ICY).
    m_headersDone = true;
    if (m_lines.empty()) m_lines.push_back("HTTP/0.9 200 OK");
  }
  size_t done = 0;
  while (done < length) {
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_bodyCount < m_body.size() || m_aborted; });
    if (m_aborted) return 0;
    const size_t end = (m_bodyStart + m_bodyCount) % m_body.size();
    const size_t room = std::min(m_body.size() - m_bodyCount, m_body.size() - end);
    const size_t piece = std::min(room, length - done);
    std::memcpy(m_body.data() + end, data + done, piece);
    m_bodyCount += piece;
    done += piece;
  }
  lock.unlock();
  m_changed.notify_all();
  return length;
}

void HttpRequest::runTransfer(const std::string& extraHeaders) {
  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  curl_slist* headers = headerList(m_accept, extraHeaders);
  if (easy != nullptr && multi != nullptr) {
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
    curl_multi_add_handle(multi, easy);
    {
      std::lock_guard guard(m_lock);
      m_multi = multi;
    }
    int running = 1;
    while (running > 0) {
      {
        std::lock_guard guard(m_lock);
        if (m_aborted) break;
      }
      if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) break;
      curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
  }
  {
    std::lock_guard guard(m_lock);
    m_multi = nullptr;
    m_finished = true;
  }
  m_changed.notify_all();
  if (multi != nullptr && easy != nullptr) curl_multi_remove_handle(multi, easy);
  if (easy != nullptr) curl_easy_cleanup(easy);
  if (multi != nullptr) curl_multi_cleanup(multi);
  curl_slist_free_all(headers);
}

}  // namespace orvel
