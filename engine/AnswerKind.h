#pragma once
// What a stream URL answered with: audio, a playlist of stream URLs (PLS, M3U, XSPF, ASX) or an
// HLS playlist. Decided by the content type, and by the body's first bytes when the type is
// plain text, missing, or an M3U type (an M3U that holds "#EXT-X-" tags is HLS). Stateless.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace orvel {

class AnswerKind {
 public:
  enum class Kind { kAudio, kPlaylist, kHls };

  // The first body bytes that decide: enough for the tags at an M3U's head.
  static constexpr size_t kSniffBytes = 1024;

  // The answer's content type from its header buffer (null-terminated lines); nothing when the
  // answer names none.
  static std::optional<std::string> contentTypeOf(WStringView headerBuffer);
  // Whether the body must be looked at before the kind is known.
  static bool needsBody(const std::optional<std::string>& contentType);
  // The kind from the content type and the body's first bytes (any number, maybe none).
  static Kind classify(const std::optional<std::string>& contentType, std::string_view body);
};

}  // namespace orvel
