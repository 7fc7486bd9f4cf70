#include "library/PlaylistUrls.h"

#include <strings.h>

#include <memory>

#include "library/AsxPlaylist.h"
#include "library/PlsPlaylist.h"
#include "library/XspfPlaylist.h"

namespace orvel {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool containsNoCase(std::string_view text, std::string_view part) {
  for (size_t at = 0; at + part.size() <= text.size(); ++at) {
    if (::strncasecmp(text.data() + at, part.data(), part.size()) == 0) return true;
  }
  return false;
}

// Null for M3U, whose lines are read as they are.
std::unique_ptr<PlaylistFile> readerFor(std::string_view text) {
  if (text.size() >= 10 && ::strncasecmp(text.data(), "[playlist]", 10) == 0) {
    return std::make_unique<PlsPlaylist>();
  }
  if (text.substr(0, 1) == "<") {
    if (containsNoCase(text, "<asx")) return std::make_unique<AsxPlaylist>();
    return std::make_unique<XspfPlaylist>();
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> PlaylistUrls::read(std::string_view body) {
  const std::string_view text = trimmed(body);
  if (text.size() >= 11 && ::strncasecmp(text.data(), "[reference]", 11) == 0) {
    return referenceLines(text);
  }
  std::unique_ptr<PlaylistFile> reader = readerFor(text);
  if (!reader) return plainLines(body);
  std::vector<std::string> urls;
  // Appended records go to the head of their lists: the streams come newest first.
  if (reader->LoadText(body, WString(), true)) {
    const std::vector<const StreamInfo*> streams = reader->allStreams();
    for (auto it = streams.rbegin(); it != streams.rend(); ++it) {
      const std::string url(trimmed(toUtf8((*it)->url)));
      if (!url.empty() && url.front() != '#') urls.push_back(url);
    }
  }
  return urls;
}

std::vector<std::string> PlaylistUrls::plainLines(std::string_view body) {
  std::vector<std::string> urls;
  while (!body.empty()) {
    const size_t end = body.find('\n');
    const std::string_view line = trimmed(body.substr(0, end));
    if (!line.empty() && line.front() != '#') urls.emplace_back(line);
    body.remove_prefix(end == std::string_view::npos ? body.size() : end + 1);
  }
  return urls;
}

std::vector<std::string> PlaylistUrls::referenceLines(std::string_view body) {
  std::vector<std::string> urls;
  for (const std::string& line : plainLines(body)) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos && ::strncasecmp(line.c_str(), "ref", 3) == 0) {
      const std::string_view url = trimmed(std::string_view(line).substr(equals + 1));
      if (!url.empty()) urls.emplace_back(url);
    }
  }
  return urls;
}

}  // namespace orvel
