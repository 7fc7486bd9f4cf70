#pragma once
// The check of a stream server's answer, shared by the first connection (connect thread) and
// the reconnections (reader thread): its status, its header lines as a header buffer
// (null-terminated wide lines ending with an empty line), and whether a refusal means the
// stream is gone for good. Stateless.

#include <cstdint>
#include <string>

#include "platform/Text.h"
#include "platform/internet/HttpRequest.h"

namespace orvel {

class ServerAnswer {
 public:
  enum class Verdict { kAccepted, kNoHeaders, kTooLong, kRejected };

  // Checks the answer `request` got. kAccepted fills `headerBuffer`, which an answer without
  // header lines (HTTP/0.9, which is how an "ICY 200 OK" server looks) leaves empty: its lines
  // are then read from the body. `capacity` counts wide characters, terminators included.
  static Verdict check(const HttpRequest& request, uint32_t capacity, WString& headerBuffer,
                       int& status);
  // The number after the first blank of a status line ("HTTP/1.1 404 ...", "ICY 401 ..."); 0
  // when there is none.
  static int statusCodeOf(const std::string& statusLine);
  // Client errors say the stream is not there for us (401, 403, 404, 410, ...) and asking again
  // will not change that; a timeout (408) or too many requests (429) may pass.
  static bool isGone(int status);
};

}  // namespace orvel
