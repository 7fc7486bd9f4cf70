#pragma once
// One HTTP or HTTPS GET on libcurl, driven by the thread that waits for it: send drives the
// transfer until the header block is there, each read until body bytes are there. There is no
// transfer thread of its own, so a packet from the server wakes one thread, not two. Between
// reads nothing is received and TCP slows the server down.
//
// A response whose first line is not an HTTP status line (a server answering "ICY 200 OK") is
// taken as HTTP/0.9: the status line reported is "HTTP/0.9 200 OK" with no header lines, and
// the body starts with the server's first byte, so the caller parses the ICY lines itself.
//
// Threads: send, rawHeaderLines, read and takeReceived are called by one thread at a time (the
// connection's connect thread, then its read worker); abort may be called from any thread at any
// time.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace orvel {

class HttpRequest {
 public:
  static constexpr int kDefaultResponseTimeoutMs = 30000;
  // Received body bytes held for the reader; beyond them libcurl holds back the rest.
  static constexpr size_t kBodyBufferBytes = 65536;
  static constexpr size_t kMaxHeaderBytes = 65536;
  static constexpr long kMaxRedirects = 5;

  // `url` as requestUrl gives it; `accept` the value of the Accept header ("" for none).
  // `share` (a CURLSH*, may be null) lends the request a connection an earlier request left
  // open, and keeps its connection for a later one; such a connection's socket is not tracked,
  // so a gathering read takes what comes.
  HttpRequest(std::string url, std::string userAgent, std::string accept, void* share = nullptr);
  ~HttpRequest();
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  // Sends the request with the extra header lines ("Name:value", separated by "\r\n") and
  // blocks until the final response's header lines have arrived (redirects followed, at most
  // five). False when the server cannot be reached, the answer is no HTTP, the header block
  // exceeds kMaxHeaderBytes, nothing came within responseTimeoutMs, or the request was aborted.
  bool send(const std::string& extraHeaders, int responseTimeoutMs = kDefaultResponseTimeoutMs);

  // After a successful send: the status line first, then each header line, without CRLF.
  std::vector<std::string> rawHeaderLines() const;

  // Blocks until body bytes are there and copies up to `size` of them; `got` is their number.
  // False at the end of the body, on a transfer failure, after abort, and when nothing came
  // within `timeoutMs` (negative: no limit; the transfer then stays usable).
  // With `gatherMs` > 0 the read first waits up to that long (within `timeoutMs`) for `size`
  // bytes to gather, and the socket wakes this thread only once they are all there: a server
  // that writes small pieces then costs one wake-up per `size` bytes, not one per piece.
  bool read(uint8_t* buffer, size_t size, size_t& got, int timeoutMs = -1, int gatherMs = 0);
  // Copies up to `size` of the body bytes already received (those that came with the header
  // block, say) without waiting or receiving more; returns their number.
  size_t takeReceived(uint8_t* buffer, size_t size);

  // Ends the transfer: a blocked send or read returns false at once, later ones fail.
  void abort();
  // After a failed send: whether it failed because the redirects went on beyond the limit
  // (a loop), which no later attempt would change.
  bool redirectsRefused() const { return m_redirectsRefused; }

 private:
  using Clock = std::chrono::steady_clock;

  static size_t onHeader(char* data, size_t size, size_t count, void* self);
  static size_t onBody(char* data, size_t size, size_t count, void* self);
  size_t takeHeaderLine(std::string line);
  size_t takeBody(const char* data, size_t length);
  bool start(const std::string& extraHeaders);
  // Runs the transfer until `ready` holds (true) or it ends, fails, is aborted or the deadline
  // passes (false). Sleeps in poll between the server's packets.
  template <typename Ready>
  bool driveUntil(Ready ready, Clock::time_point deadline);
  bool resume();
  void finish(void* multi);  // CURLM*: the transfer ended; notes why
  size_t heldBytes() const { return m_body.size() - m_bodyStart; }
  // Sets the bytes the connection's socket must hold before it reports itself readable.
  void setWakeBytes(size_t bytes);

  const std::string m_url;
  const std::string m_userAgent;
  const std::string m_accept;
  void* const m_share;  // CURLSH*, not owned

  // --- owned by the thread that drives the transfer (send, then read)
  void* m_easy = nullptr;            // CURL*
  void* m_headers = nullptr;         // curl_slist*
  std::vector<std::string> m_lines;  // header lines of the current response
  size_t m_headerBytes = 0;
  bool m_headersDone = false;   // the final response's header block (or an HTTP/0.9 body) began
  bool m_finished = false;      // libcurl is done with the transfer
  bool m_paused = false;        // the body buffer was full: libcurl holds the next bytes
  std::vector<uint8_t> m_body;  // received body bytes not read yet, from m_bodyStart
  size_t m_bodyStart = 0;
  std::vector<int> m_sockets;  // the transfer's open sockets (one, unless a redirect left one)
  size_t m_wakeBytes = 1;      // their receive low-water mark as last set

  bool m_redirectsRefused = false;  // the transfer ended at the redirect limit

  std::atomic<bool> m_aborted{false};
  std::mutex m_multiLock;   // keeps m_multi alive while abort wakes it
  void* m_multi = nullptr;  // CURLM*, guarded by m_multiLock
};

}  // namespace orvel
