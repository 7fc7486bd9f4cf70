#include "tests/library/LibraryFiles.h"

#include "platform/AtomicFile.h"

namespace orvel::test {

std::string rrdBytes(WStringView text) {
  std::string bytes("\xFF\xFE");
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

WString rrdText(const std::string& path) {
  const auto bytes = readWholeFile(path);
  if (!bytes || bytes->size() < 2 || (*bytes)[0] != 0xFF || (*bytes)[1] != 0xFE) {
    return u"<unreadable>";
  }
  WString text;
  for (size_t i = 2; i + 1 < bytes->size(); i += 2) {
    text.push_back(static_cast<char16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8)));
  }
  return text;
}

std::string streamPaths(const RadioLibrary& library) {
  std::string out;
  for (const StreamInfo* stream : library.allStreams()) {
    if (!out.empty()) out += ";";
    out += toUtf8(stream->radio->category->name) + "/" + toUtf8(stream->radio->title) + "/" +
           toUtf8(stream->url);
  }
  return out;
}

std::string categoryNames(const RadioLibrary& library) {
  std::string out;
  for (int i = 0; const CategoryInfo* category = library.GetCategory(i); ++i) {
    if (i > 0) out += ";";
    out += toUtf8(category->name);
  }
  return out;
}

}  // namespace orvel::test
