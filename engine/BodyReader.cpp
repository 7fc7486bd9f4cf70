#include "engine/BodyReader.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <vector>

namespace orvel {
namespace {

constexpr size_t kPieceBytes = 16384;
// After the first bytes, readStart waits this long for more: a playlist comes in one burst, and
// a stream that pauses must not hold its connection up.
constexpr int kFollowMs = 250;

std::optional<size_t> announcedLength(const HttpRequest& request) {
  const std::vector<std::string> lines = request.rawHeaderLines();
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    constexpr std::string_view kName = "content-length:";
    if (line.size() <= kName.size()) continue;
    std::string name = line.substr(0, kName.size());
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name == kName) return std::strtoull(line.c_str() + kName.size(), nullptr, 10);
  }
  return std::nullopt;
}

}  // namespace

BodyReader::Result BodyReader::readRest(HttpRequest& request, std::string& body, size_t limit,
                                        int stallMs, int totalMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(totalMs);
  uint8_t piece[kPieceBytes];
  for (;;) {
    if (body.size() > limit) return Result::kTooLarge;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return Result::kFailed;
    size_t got = 0;
    if (!request.read(piece, sizeof piece, got,
                      static_cast<int>(std::min<int64_t>(left, stallMs)))) {
      break;
    }
    body.append(reinterpret_cast<const char*>(piece), got);
  }
  if (body.size() > limit) return Result::kTooLarge;
  // A read ends the same way at the body's end and on a failure: the announced length tells.
  const std::optional<size_t> length = announcedLength(request);
  return length && body.size() < *length ? Result::kFailed : Result::kWhole;
}

void BodyReader::readStart(HttpRequest& request, std::string& body, size_t size, int stallMs) {
  uint8_t piece[kPieceBytes];
  while (body.size() < size) {
    size_t got = 0;
    const size_t want = std::min(sizeof piece, size - body.size());
    if (!request.read(piece, want, got, body.empty() ? stallMs : std::min(stallMs, kFollowMs))) {
      return;
    }
    body.append(reinterpret_cast<const char*>(piece), got);
  }
}

}  // namespace orvel
