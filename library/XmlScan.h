#pragma once
// Just enough XML for the playlists that come as XML (XSPF, ASX): elements found by name
// (without case, any namespace prefix), their attributes and their text, with the character
// references and the five predefined entities decoded and CDATA sections taken as text.
// Comments and processing instructions are passed over. Malformed input yields nothing more
// than what was found before the fault; it never reads outside the text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

class XmlScan {
 public:
  struct Element {
    std::string_view tag;      // the open tag, "<" to ">" (a self-closing one included)
    std::string_view content;  // between the open and the close tag; empty when self-closing
    size_t end = 0;            // the offset just past the element
  };

  explicit XmlScan(std::string_view xml) : m_xml(xml) {}

  // The next element of that name starting at or after `from`, searched at any depth. An
  // element without its close tag (a text cut short) is not found, nor any after it.
  std::optional<Element> find(std::string_view name, size_t from = 0) const;
  // The same, in a part of the text (an element's content).
  static std::optional<Element> find(std::string_view xml, std::string_view name, size_t from);

  // The attribute's decoded value from an open tag; nothing when it is not there.
  static std::optional<std::string> attribute(std::string_view tag, std::string_view name);
  // An element's text: CDATA taken as is, entities decoded, blanks around it removed, nested
  // tags dropped.
  static std::string text(std::string_view content);
  // The first child element's text of that name in the content, or "".
  static std::string childText(std::string_view content, std::string_view name);

 private:
  static std::string decode(std::string_view raw);
  static bool nameAt(std::string_view xml, size_t at, std::string_view name);
  static size_t tagEnd(std::string_view xml, size_t open);

  std::string_view m_xml;
};

}  // namespace orvel
