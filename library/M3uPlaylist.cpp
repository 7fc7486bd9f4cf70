#include "library/M3uPlaylist.h"

namespace orvel {

bool M3uPlaylist::Load(const WString& path, bool append) {
  return openFile(path) && readOpened(path, append);
}

bool M3uPlaylist::readOpened(const WString& name, bool append) {
  skipUtf8Bom();
  const CategoryInfo* category = AddCategory(CategoryInfo{name}, append);
  std::string line;
  if (!category || !readLine(line)) {
    closeFile();
    return false;
  }
  if (line == "#EXTM3U") {
    readExtended(category, append);
  } else {
    readPlain(category, std::move(line), append);
  }
  closeFile();
  return true;
}

bool M3uPlaylist::Save(const WString&) { return false; }

void M3uPlaylist::readExtended(const CategoryInfo* category, bool append) {
  std::string line;
  std::string url;
  while (readLine(line)) {
    if (line.find("#EXTINF:") == std::string::npos) continue;
    const size_t comma = line.find(',');
    if (comma == std::string::npos) continue;
    // A failed URL line is not the end yet: the next read decides.
    if (!readLine(url)) continue;
    addEntry(category, decodeText(std::string_view(line).substr(comma + 1)), decodeText(url),
             append);
  }
}

void M3uPlaylist::readPlain(const CategoryInfo* category, std::string line, bool append) {
  do {
    const WString url = decodeText(line);
    addEntry(category, url, url, append);
  } while (readLine(line));
}

}  // namespace orvel
