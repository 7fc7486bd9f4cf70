#pragma once
// One attempt to reopen a stream whose connection dropped: the request for the same URL, the
// check of its answer and, when the server answers "ICY 200 OK", its header lines read from the
// start of the body, so that the body is left at its first audio byte. Runs on the reader
// thread while the decoder plays what is still queued; an abort of the request (a stop) ends
// it at once. It tells answers that mean the stream is gone (a client error such as 404 or
// "ICY 401", a redirect loop) from failures that another attempt may overcome.

#include <cstdint>

#include "engine/StreamConnection.h"
#include "platform/Text.h"
#include "platform/internet/HttpRequest.h"

namespace orvel {

class ReconnectAttempt {
 public:
  enum class Outcome { kConnected, kFailed, kGone };

  // `request` is made but not sent; not owned.
  ReconnectAttempt(HttpRequest& request, const ConnectRequest& connect,
                   const ConnectionTiming& timing);

  Outcome run();
  // After kConnected: the new connection's header lines (the HTTP header or the ICY lines).
  const WString& headerBuffer() const { return m_headerBuffer; }

 private:
  Outcome readIcyLines();

  HttpRequest& m_request;
  const ConnectRequest& m_connect;
  const ConnectionTiming& m_timing;
  WString m_headerBuffer;
};

}  // namespace orvel
