#include "ui/RecordingLocations.h"

#include <QLocale>
#include <filesystem>
#include <system_error>

#include "platform/FilePath.h"

namespace orvel {

namespace {

constexpr WStringView kDefaultNetworkFolder = u"/Network";

struct LocalName {
  WStringView language;
  WStringView folder;
};

constexpr LocalName kLocalNames[] = {
    {u"German", u"/Netzwerk"},
    {u"French", u"/R\u00e9seau"},
    {u"Italian", u"/Rete"},
    {u"Spanish", u"/Red"},
    {u"Portuguese", u"/Rede"},
    {u"Chinese", u"/\u7db2\u8def"},
    {u"Japanese", u"/\uff88\uff6f\uff84\uff9c\uff70\uff78"},
};

}  // namespace

WString RecordingLocations::networkFolder(WStringView languageName,
                                          const FolderExists& folderExists) {
  for (const LocalName& name : kLocalNames) {
    if (equalsNoCase(languageName, name.language)) {
      if (folderExists(toUtf8(name.folder))) return WString(name.folder);
      break;
    }
  }
  return WString(kDefaultNetworkFolder);
}

const WString& RecordingLocations::systemNetworkFolder() {
  static const WString folder =
      networkFolder(QLocale::languageToString(QLocale::system().language()).toStdU16String(),
                    [](const std::string& path) {
                      std::error_code error;
                      return std::filesystem::is_directory(path, error);
                    });
  return folder;
}

std::vector<WString> RecordingLocations::cardNames(const std::vector<std::string>& mountPoints,
                                                   WStringView networkFolder) {
  const WStringView networkName =
      networkFolder.starts_with(u'/') ? networkFolder.substr(1) : networkFolder;
  std::vector<WString> names;
  for (const std::string& mount : mountPoints) {
    WString name = lastPathComponent(fromUtf8(mount));
    if (name.empty() || equalsNoCase(name, networkName)) continue;
    names.push_back(std::move(name));
  }
  return names;
}

int RecordingLocations::selectedIndex(const std::vector<WString>& cards, WStringView recDir) {
  int selected = 0;
  for (size_t i = 0; i < cards.size(); ++i) {
    if (recDir.find(cards[i]) != WStringView::npos) selected = static_cast<int>(i) + 1;
  }
  return selected;
}

}  // namespace orvel
