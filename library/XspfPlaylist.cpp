#include "library/XspfPlaylist.h"

#include "library/XmlScan.h"

namespace orvel {

bool XspfPlaylist::Load(const WString& path, bool append) {
  return openFile(path) && readOpened(path, append);
}

bool XspfPlaylist::Save(const WString&) { return false; }

bool XspfPlaylist::readOpened(const WString& name, bool append) {
  skipUtf8Bom();
  const std::string_view xml(reinterpret_cast<const char*>(m_file.data()) + m_readPos,
                             m_file.size() - m_readPos);
  const std::optional<XmlScan::Element> playlist = XmlScan(xml).find("playlist");
  const CategoryInfo* category = playlist ? AddCategory(CategoryInfo{name}, append) : nullptr;
  if (category) {
    for (auto track = XmlScan::find(playlist->content, "track", 0); track;
         track = XmlScan::find(playlist->content, "track", track->end)) {
      const std::string location = XmlScan::childText(track->content, "location");
      if (location.empty()) continue;
      std::string title = XmlScan::childText(track->content, "title");
      if (title.empty()) title = XmlScan::childText(track->content, "annotation");
      addEntry(category, decodeText(title.empty() ? location : title), decodeText(location),
               append);
    }
  }
  closeFile();
  return category != nullptr;
}

}  // namespace orvel
