#include "library/AsxPlaylist.h"

#include "library/XmlScan.h"

namespace orvel {

bool AsxPlaylist::Load(const WString&, bool) { return true; }

bool AsxPlaylist::Save(const WString&) { return false; }

bool AsxPlaylist::readOpened(const WString& name, bool append) {
  skipUtf8Bom();
  const std::string_view xml(reinterpret_cast<const char*>(m_file.data()) + m_readPos,
                             m_file.size() - m_readPos);
  const std::optional<XmlScan::Element> asx = XmlScan(xml).find("asx");
  const CategoryInfo* category = asx ? AddCategory(CategoryInfo{name}, append) : nullptr;
  if (category) {
    for (auto entry = XmlScan::find(asx->content, "entry", 0); entry;
         entry = XmlScan::find(asx->content, "entry", entry->end)) {
      const std::string title = XmlScan::childText(entry->content, "title");
      for (auto ref = XmlScan::find(entry->content, "ref", 0); ref;
           ref = XmlScan::find(entry->content, "ref", ref->end)) {
        const std::optional<std::string> url = XmlScan::attribute(ref->tag, "href");
        if (!url || url->empty()) continue;
        addEntry(category, decodeText(title.empty() ? *url : title), decodeText(*url), append);
      }
    }
  }
  closeFile();
  return category != nullptr;
}

}  // namespace orvel
