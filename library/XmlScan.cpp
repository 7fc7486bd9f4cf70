#include "library/XmlScan.h"

#include <strings.h>

#include <cstdlib>

namespace orvel {
namespace {

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == ':';
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The code point of "&#...;" or "&#x...;" (without '&' and ';'); 0 when it is none.
char32_t characterReference(std::string_view body) {
  if (body.size() < 2 || body[0] != '#') return 0;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string digits(body.substr(hex ? 2 : 1));
  if (digits.empty() || digits.size() > 8) return 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
  if (*end != '\0' || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return 0;
  }
  return static_cast<char32_t>(value);
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::optional<XmlScan::Element> XmlScan::find(std::string_view name, size_t from) const {
  return find(m_xml, name, from);
}

std::optional<XmlScan::Element> XmlScan::find(std::string_view xml, std::string_view name,
                                              size_t from) {
  for (size_t open = xml.find('<', from); open != std::string_view::npos;
       open = xml.find('<', open + 1)) {
    if (xml.substr(open, 4) == "<!--") {
      const size_t close = xml.find("-->", open + 4);
      if (close == std::string_view::npos) return std::nullopt;
      open = close + 2;
      continue;
    }
    if (!nameAt(xml, open + 1, name)) continue;
    const size_t end = tagEnd(xml, open);
    if (end == std::string_view::npos) return std::nullopt;
    Element element;
    element.tag = xml.substr(open, end - open);
    if (xml[end - 2] == '/') {
      element.end = end;
      return element;
    }
    // The close tag of the same name; elements of one name are not nested in our playlists.
    size_t close = end;
    while ((close = xml.find("</", close)) != std::string_view::npos &&
           !nameAt(xml, close + 2, name)) {
      close += 2;
    }
    const size_t closeEnd = close == std::string_view::npos ? close : xml.find('>', close);
    if (closeEnd == std::string_view::npos) return std::nullopt;
    element.content = xml.substr(end, close - end);
    element.end = closeEnd + 1;
    return element;
  }
  return std::nullopt;
}

bool XmlScan::nameAt(std::string_view xml, size_t at, std::string_view name) {
  size_t end = at;
  while (end < xml.size() && isNameChar(xml[end])) ++end;
  std::string_view found = xml.substr(at, end - at);
  const size_t colon = found.rfind(':');
  if (colon != std::string_view::npos) found.remove_prefix(colon + 1);
  return found.size() == name.size() && ::strncasecmp(found.data(), name.data(), name.size()) == 0;
}

size_t XmlScan::tagEnd(std::string_view xml, size_t open) {
  char quote = 0;
  for (size_t at = open + 1; at < xml.size(); ++at) {
    const char c = xml[at];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return at + 1;
    }
  }
  return std::string_view::npos;
}

std::optional<std::string> XmlScan::attribute(std::string_view tag, std::string_view name) {
  size_t at = 1;
  while (at < tag.size() && isNameChar(tag[at])) ++at;  // the element's own name
  while (at < tag.size()) {
    while (at < tag.size() && !isNameChar(tag[at])) ++at;
    const size_t nameStart = at;
    while (at < tag.size() && isNameChar(tag[at])) ++at;
    const bool wanted = nameAt(tag, nameStart, name);
    while (at < tag.size() && isBlank(tag[at])) ++at;
    if (at >= tag.size() || tag[at] != '=') continue;
    ++at;
    while (at < tag.size() && isBlank(tag[at])) ++at;
    if (at >= tag.size() || (tag[at] != '"' && tag[at] != '\'')) continue;
    const size_t close = tag.find(tag[at], at + 1);
    if (close == std::string_view::npos) return std::nullopt;
    if (wanted) return decode(tag.substr(at + 1, close - at - 1));
    at = close + 1;
  }
  return std::nullopt;
}

std::string XmlScan::text(std::string_view content) {
  std::string out;
  size_t at = 0;
  while (at < content.size()) {
    const size_t open = content.find('<', at);
    out += decode(content.substr(at, open == std::string_view::npos ? open : open - at));
    if (open == std::string_view::npos) break;
    if (content.substr(open, 9) == "<![CDATA[") {
      const size_t close = content.find("]]>", open + 9);
      out += content.substr(open + 9, close == std::string_view::npos ? close : close - open - 9);
      at = close == std::string_view::npos ? content.size() : close + 3;
    } else {
      const size_t end = tagEnd(content, open);
      at = end == std::string_view::npos ? content.size() : end;
    }
  }
  return std::string(trim(out));
}

std::string XmlScan::childText(std::string_view content, std::string_view name) {
  const std::optional<Element> child = find(content, name, 0);
  return child ? text(child->content) : std::string();
}

std::string XmlScan::decode(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t at = 0; at < raw.size(); ++at) {
    const size_t semicolon = raw[at] == '&' ? raw.find(';', at) : std::string_view::npos;
    if (semicolon == std::string_view::npos || semicolon - at > 12) {
      out += raw[at];
      continue;
    }
    const std::string_view body = raw.substr(at + 1, semicolon - at - 1);
    char32_t c = characterReference(body);
    if (body == "amp") c = '&';
    if (body == "lt") c = '<';
    if (body == "gt") c = '>';
    if (body == "quot") c = '"';
    if (body == "apos") c = '\'';
    if (c == 0) {
      out += raw[at];
      continue;
    }
    appendUtf8(out, c);
    at = semicolon;
  }
  return out;
}

}  // namespace orvel
