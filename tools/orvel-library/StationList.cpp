#include "tools/orvel-library/StationList.h"

#include <vector>

namespace orvel {
namespace {

constexpr std::string_view kSelectedMark = " *";

std::string_view trimmed(std::string_view line) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  return line;
}

std::vector<WString> splitFields(std::string_view text) {
  std::vector<WString> fields;
  for (size_t start = 0;;) {
    const size_t end = text.find('|', start);
    fields.push_back(fromUtf8(trimmed(text.substr(start, end - start))));
    if (end == std::string_view::npos) return fields;
    start = end + 1;
  }
}

bool takeKeyword(std::string_view& line, std::string_view keyword) {
  if (line.substr(0, keyword.size() + 1) != std::string(keyword) + " ") return false;
  line.remove_prefix(keyword.size() + 1);
  return true;
}

}  // namespace

bool StationList::read(std::string_view text, RadioLibrary& into, std::string& error) {
  const CategoryInfo* category = nullptr;
  const RadioInfo* radio = nullptr;
  int lineNumber = 0;
  for (size_t start = 0; start <= text.size(); ++lineNumber) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == '#') continue;
    const std::string where = "line " + std::to_string(lineNumber + 1) + ": ";
    if (takeKeyword(line, "category")) {
      category = into.AddCategory(CategoryInfo{fromUtf8(line)}, false);
      radio = nullptr;
    } else if (takeKeyword(line, "radio")) {
      const std::vector<WString> fields = splitFields(line);
      if (!category || fields.size() != 2) {
        error = where + "a radio needs a category above it and TITLE | SHORT";
        return false;
      }
      radio = into.AddRadio(category, RadioInfo{fields[0], fields[1]}, false);
    } else if (takeKeyword(line, "stream")) {
      const bool selected = line.ends_with(kSelectedMark);
      if (selected) line.remove_suffix(kSelectedMark.size());
      const std::vector<WString> fields = splitFields(line);
      if (!radio || fields.size() != 4) {
        error = where + "a stream needs a radio above it and URL | BITRATE | FORMAT | COMMENT";
        return false;
      }
      StreamInfo info;
      info.url = fields[0];
      info.bitrate = fields[1];
      info.format = fields[2];
      info.comment = fields[3];
      const StreamInfo* stream = into.AddStream(radio, info, false);
      if (selected) into.SetSelectedStream(radio, stream);
    } else {
      error = where + "expected category, radio or stream";
      return false;
    }
  }
  return true;
}

}  // namespace orvel
