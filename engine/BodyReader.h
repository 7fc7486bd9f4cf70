#pragma once
// Reads a whole (short) response body: a playlist, an HLS key or segment. The body must end
// within a deadline and stay within a size limit; when the answer announced its length, a body
// that ends short of it failed. Stateless; runs on the thread that drives the request.

#include <cstddef>
#include <string>

#include "platform/internet/HttpRequest.h"

namespace orvel {

class BodyReader {
 public:
  enum class Result { kWhole, kTooLarge, kFailed };

  // Appends the rest of `request`'s body to `body` (which may hold its first bytes already).
  // Each read may wait up to `stallMs`; the whole body must come within `totalMs`.
  static Result readRest(HttpRequest& request, std::string& body, size_t limit, int stallMs,
                         int totalMs);
  // Reads up to `size` bytes of the body into `body`, fewer when it ends first, when nothing
  // came within `stallMs`, or when more did not follow the first bytes within a moment.
  static void readStart(HttpRequest& request, std::string& body, size_t size, int stallMs);
};

}  // namespace orvel
