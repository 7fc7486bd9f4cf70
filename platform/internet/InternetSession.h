#pragma once
// The program's one internet session: the user agent and the process-wide libcurl set-up.
// Proxies come from the environment (http_proxy, https_proxy, no_proxy), as libcurl reads them.
// Requests made for reuse share one cache of connections and DNS answers (libcurl's share,
// guarded by a lock per kind of data), so the many short requests of an HLS stream use one
// connection rather than one each. Created and destroyed by the stream connection's owner
// thread, after every request it made is gone; openRequest may be called from any thread.

#include <memory>
#include <string>
#include <vector>

#include "platform/internet/HttpRequest.h"
#include "platform/internet/Url.h"

namespace orvel {

class InternetSession {
 public:
  explicit InternetSession(std::string userAgent);
  ~InternetSession();
  InternetSession(const InternetSession&) = delete;
  InternetSession& operator=(const InternetSession&) = delete;

  // False when libcurl could not be set up; no request can then be made.
  bool isOpen() const { return m_open; }

  // A GET request for the URL with an "Accept:" header made of the accept types; nothing is
  // sent yet. With `reuse`, its connection comes from and returns to the shared cache. Null
  // when the session is not open.
  std::unique_ptr<HttpRequest> openRequest(const UrlComponents& url,
                                           const std::vector<std::string>& acceptTypes,
                                           bool reuse = false) const;

  // libcurl's share handle with its locks.
  struct Share;

 private:
  const std::string m_userAgent;
  bool m_open = false;             // immutable after construction
  std::unique_ptr<Share> m_share;  // immutable after construction; locks itself
};

}  // namespace orvel
