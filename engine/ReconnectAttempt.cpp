#include "engine/ReconnectAttempt.h"

#include <chrono>

#include "engine/IcyHeaderReader.h"
#include "engine/ServerAnswer.h"

namespace orvel {

ReconnectAttempt::ReconnectAttempt(HttpRequest& request, const ConnectRequest& connect,
                                   const ConnectionTiming& timing)
    : m_request(request), m_connect(connect), m_timing(timing) {}

ReconnectAttempt::Outcome ReconnectAttempt::run() {
  if (!m_request.send(m_connect.extraHeaders, m_timing.responseTimeoutMs)) {
    return m_request.redirectsRefused() ? Outcome::kGone : Outcome::kFailed;
  }
  int status = 0;
  switch (ServerAnswer::check(m_request, m_connect.headerCapacity, m_headerBuffer, status)) {
    case ServerAnswer::Verdict::kAccepted:
      break;
    case ServerAnswer::Verdict::kRejected:
      return ServerAnswer::isGone(status) ? Outcome::kGone : Outcome::kFailed;
    default:
      return Outcome::kFailed;
  }
  return m_headerBuffer.empty() ? readIcyLines() : Outcome::kConnected;
}

// The lines are taken from the request a byte at a time (it holds what came, so this costs no
// system call per byte): the queue still holds the old connection's audio, and the new body's
// audio must start exactly behind the empty line. As on the first connection, the lines must
// be complete within the response time.
ReconnectAttempt::Outcome ReconnectAttempt::readIcyLines() {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timing.responseTimeoutMs);
  IcyHeaderReader reader(
      [this, deadline](uint8_t& byte) {
        size_t got = 0;
        return std::chrono::steady_clock::now() < deadline &&
               m_request.read(&byte, 1, got, m_timing.stallLimitMs) && got == 1;
      },
      m_connect.headerCapacity);
  if (reader.read(m_headerBuffer)) return Outcome::kConnected;
  const std::string& status = reader.statusLine();
  if (status.rfind("ICY ", 0) == 0 && ServerAnswer::isGone(ServerAnswer::statusCodeOf(status))) {
    return Outcome::kGone;
  }
  return Outcome::kFailed;
}

}  // namespace orvel
