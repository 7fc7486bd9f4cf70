#include "engine/ServerAnswer.h"

#include <cstdlib>
#include <vector>

namespace orvel {

ServerAnswer::Verdict ServerAnswer::check(const HttpRequest& request, uint32_t capacity,
                                          WString& headerBuffer, int& status) {
  const std::vector<std::string> lines = request.rawHeaderLines();
  status = 0;
  if (lines.empty()) return Verdict::kNoHeaders;
  status = statusCodeOf(lines.front());
  WString buffer;
  for (size_t i = 1; i < lines.size(); ++i) {
    buffer += decodeAnsi(lines[i]);
    buffer.push_back(u'\0');
    if (buffer.size() + 1 > capacity) return Verdict::kTooLong;
  }
  if (status / 100 != 2) return Verdict::kRejected;
  if (lines.size() > 1) buffer.push_back(u'\0');
  headerBuffer = std::move(buffer);
  return Verdict::kAccepted;
}

int ServerAnswer::statusCodeOf(const std::string& statusLine) {
  const size_t space = statusLine.find(' ');
  return space == std::string::npos ? 0 : std::atoi(statusLine.c_str() + space + 1);
}

bool ServerAnswer::isGone(int status) {
  return status / 100 == 4 && status != 408 && status != 429;
}

}  // namespace orvel
