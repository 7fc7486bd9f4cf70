#include "engine/AnswerKind.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/Text.h"

namespace orvel {
namespace {

std::string_view trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool isM3uType(std::string_view type) {
  return type == "audio/x-mpegurl" || type == "audio/mpegurl";
}

bool isHlsTagged(std::string_view body) { return body.find("#EXT-X-") != std::string_view::npos; }

// The starts of the playlist texts a server may label as plain text or not at all.
bool looksLikePlaylist(std::string_view body) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (body.substr(0, kBom.size()) == kBom) body.remove_prefix(kBom.size());
  const std::string head = lowerAscii(trim(body).substr(0, 16));
  static constexpr std::array<std::string_view, 8> kStarts = {
      "[playlist]", "#extm3u", "<?xml", "<asx", "<playlist", "[reference]", "http://", "https://"};
  return std::any_of(kStarts.begin(), kStarts.end(),
                     [&head](std::string_view start) { return head.starts_with(start); });
}

}  // namespace

std::optional<std::string> AnswerKind::contentTypeOf(WStringView headerBuffer) {
  size_t at = 0;
  while (at < headerBuffer.size() && headerBuffer[at] != u'\0') {
    size_t end = headerBuffer.find(u'\0', at);
    if (end == WStringView::npos) end = headerBuffer.size();
    const std::string line = toUtf8(headerBuffer.substr(at, end - at));
    at = end + 1;
    const size_t colon = line.find(':');
    if (colon == std::string::npos || lowerAscii(trim(line.substr(0, colon))) != "content-type") {
      continue;
    }
    std::string_view value = std::string_view(line).substr(colon + 1);
    value = trim(value.substr(0, value.find(';')));
    if (!value.empty()) return lowerAscii(value);
  }
  return std::nullopt;
}

bool AnswerKind::needsBody(const std::optional<std::string>& contentType) {
  return !contentType || *contentType == "text/plain" || isM3uType(*contentType);
}

AnswerKind::Kind AnswerKind::classify(const std::optional<std::string>& contentType,
                                      std::string_view body) {
  if (contentType) {
    const std::string& type = *contentType;
    if (type == "application/vnd.apple.mpegurl" || type == "application/x-mpegurl") {
      return Kind::kHls;
    }
    if (isM3uType(type)) return isHlsTagged(body) ? Kind::kHls : Kind::kPlaylist;
    if (type == "audio/x-scpls" || type == "video/x-ms-asf" || type == "application/xspf+xml") {
      return Kind::kPlaylist;
    }
    if (type != "text/plain") return Kind::kAudio;
  }
  if (!looksLikePlaylist(body)) return Kind::kAudio;
  return isHlsTagged(body) ? Kind::kHls : Kind::kPlaylist;
}

}  // namespace orvel
