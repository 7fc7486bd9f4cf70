#include "library/PlsPlaylist.h"

#include <strings.h>

#include <cstdlib>

namespace orvel {
namespace {

constexpr size_t kShortestKey = 4;

// The entry count read like atoi (blanks, an optional sign, digits); a negative one is 0.
long long entryCount(const std::string& value) {
  const long long count = std::strtoll(value.c_str(), nullptr, 10);
  return count < 0 ? 0 : count;
}

}  // namespace

bool PlsPlaylist::Load(const WString& path, bool append) {
  return openFile(path) && readOpened(path, append);
}

bool PlsPlaylist::readOpened(const WString& name, bool append) {
  m_givenBack.reset();
  skipUtf8Bom();
  std::string line;
  bool accepted = readLine(line) && ::strcasecmp(line.c_str(), "[playlist]") == 0;
  std::optional<KeyLine> count;
  if (accepted) count = readKeyLine();
  accepted = accepted && count && ::strcasecmp(count->key.c_str(), "numberofentries") == 0 &&
             entryCount(count->value) > 0;
  const CategoryInfo* category = accepted ? AddCategory(CategoryInfo{name}, append) : nullptr;
  if (category) {
    for (long long entry = entryCount(count->value); entry > 0; --entry) {
      if (!readEntry(category, append)) break;
    }
  }
  closeFile();
  return category != nullptr;
}

bool PlsPlaylist::Save(const WString&) { return false; }

std::optional<PlsPlaylist::KeyLine> PlsPlaylist::readKeyLine() {
  if (m_givenBack) {
    std::optional<KeyLine> line = std::move(m_givenBack);
    m_givenBack.reset();
    return line;
  }
  std::string line;
  if (!readLine(line)) return std::nullopt;
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return KeyLine{line.substr(0, equals), line.substr(equals + 1)};
}

bool PlsPlaylist::isKey(const std::optional<KeyLine>& line, std::string_view prefix) {
  return line && line->key.size() >= kShortestKey && line->key.size() >= prefix.size() &&
         ::strncasecmp(line->key.c_str(), prefix.data(), prefix.size()) == 0;
}

bool PlsPlaylist::readEntry(const CategoryInfo* category, bool append) {
  const std::optional<KeyLine> file = readKeyLine();
  if (!isKey(file, "file")) return false;
  const WString url = decodeText(file->value);
  std::optional<KeyLine> title = readKeyLine();
  if (!isKey(title, "title")) {
    if (isKey(title, "file")) m_givenBack = std::move(title);
    addEntry(category, WString(), url, append);
    return true;
  }
  readKeyLine();  // the Length line; its value is not used, and any other line is consumed
  addEntry(category, decodeText(title->value), url, append);
  return true;
}

}  // namespace orvel
