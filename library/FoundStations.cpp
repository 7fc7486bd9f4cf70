#include "library/FoundStations.h"

namespace orvel {
namespace {

WString field(const std::string& utf8) {
  WString text = fromUtf8(utf8);
  if (text.size() > FoundStations::kMaxFieldLength) text.resize(FoundStations::kMaxFieldLength);
  return text;
}

const CategoryInfo* categoryNamed(RadioLibrary& library, const WString& name) {
  for (const CategoryInfo* category : library.allCategories()) {
    if (equalsNoCase(category->name, name)) return category;
  }
  return library.AddCategory(CategoryInfo{name}, false);
}

}  // namespace

StreamInfo FoundStations::streamOf(const DirectoryStation& station) {
  StreamInfo info;
  info.url = fromUtf8(station.url);
  info.bitrate = station.bitrateKbps > 0 ? fromAscii(std::to_string(station.bitrateKbps)) : u"";
  info.format = field(station.codec);
  std::string comment = station.countryCode;
  if (!comment.empty() && !station.tags.empty()) comment += "; ";
  info.comment = field(comment + station.tags);
  info.origin = kOriginUser;
  return info;
}

FoundStations::Result FoundStations::add(RadioLibrary& library, const DirectoryStation& station,
                                         const WString& categoryName, const StreamInfo** stream) {
  const StreamInfo info = streamOf(station);
  for (const StreamInfo* existing : library.allStreams()) {
    if (existing->url == info.url) {
      if (stream) *stream = existing;
      return Result::AlreadyThere;
    }
  }
  const CategoryInfo* category = categoryNamed(library, categoryName);
  const RadioInfo* radio = library.AddRadio(category, RadioInfo{field(station.name), u""}, false);
  const StreamInfo* added = library.AddStream(radio, info, false);
  library.SetSelectedStream(radio, added);
  if (stream) *stream = added;
  return Result::Added;
}

}  // namespace orvel
