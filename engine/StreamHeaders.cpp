#include "engine/StreamHeaders.h"

#include <limits>

namespace orvel {
namespace {

// A decimal number of at most int32 range; anything else (negative, junk, overflow) is 0, which
// switches metadata removal off rather than letting a hostile value steer it.
int32_t parseMetaint(WStringView value) {
  int64_t number = 0;
  size_t i = 0;
  while (i < value.size() && value[i] == u' ') ++i;
  if (i == value.size()) return 0;
  for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
    number = number * 10 + (value[i] - u'0');
    if (number > std::numeric_limits<int32_t>::max()) return 0;
  }
  return static_cast<int32_t>(number);
}

bool setOnce(std::optional<WString>& field, WStringView name, WStringView value,
             std::initializer_list<const char16_t*> names) {
  if (field) return false;
  for (const char16_t* candidate : names) {
    if (equalsNoCase(name, candidate)) {
      field = WString(value);
      return true;
    }
  }
  return false;
}

}  // namespace

StreamHeaders StreamHeaders::parse(WStringView headerBuffer, int32_t& metaint) {
  StreamHeaders headers;
  metaint = 0;
  size_t start = 0;
  while (start < headerBuffer.size()) {
    size_t end = headerBuffer.find(u'\0', start);
    if (end == WStringView::npos) end = headerBuffer.size();
    const WStringView line = headerBuffer.substr(start, end - start);
    if (line.empty()) break;
    start = end + 1;

    const size_t colon = line.find(u':');
    const WStringView name = line.substr(0, colon);
    WStringView value = line;
    if (colon != WStringView::npos) {
      value = line.substr(colon + 1);
      while (!value.empty() && value.front() == u' ') value.remove_prefix(1);
    }
    // A line without ":" is name and value at once and names no field.
    const bool taken = colon != WStringView::npos &&
                       (setOnce(headers.server, name, value, {u"Server"}) ||
                        setOnce(headers.contentType, name, value, {u"Content-Type"}) ||
                        setOnce(headers.name, name, value, {u"icy-name", u"x-audiocast-name"}) ||
                        setOnce(headers.url, name, value, {u"icy-url", u"x-audiocast-url"}) ||
                        setOnce(headers.genre, name, value, {u"icy-genre", u"x-audiocast-genre"}) ||
                        setOnce(headers.bitrate, name, value, {u"icy-br", u"x-audiocast-bitrate"}));
    if (!taken && colon != WStringView::npos && equalsNoCase(name, u"icy-metaint")) {
      metaint = parseMetaint(value);
    }
  }
  if (!headers.contentType) headers.contentType = u"audio/mpeg";
  return headers;
}

}  // namespace orvel
