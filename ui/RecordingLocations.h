#pragma once
// The choices of "Location for recordings:": main memory, then the mounted removable volumes
// by name, except the desktop's network folder, which is not a place to record to. Pure
// functions of their inputs; any thread.

#include <functional>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace orvel {

class RecordingLocations {
 public:
  using FolderExists = std::function<bool(const std::string& path)>;

  // The network folder for the system's language (its English name, "German"): the language's
  // own name ("/Netzwerk") when a folder of that name exists, else "/Network".
  static WString networkFolder(WStringView languageName, const FolderExists& folderExists);
  // The network folder for this system, settled at the first call.
  static const WString& systemNetworkFolder();

  // The names of the volumes (the last component of each mount point), less the one named
  // like the network folder without its "/" (compared without case).
  static std::vector<WString> cardNames(const std::vector<std::string>& mountPoints,
                                        WStringView networkFolder);

  // The position to select in [main memory, cards...]: that of the last card whose name occurs
  // anywhere in recDir, else 0 (main memory).
  static int selectedIndex(const std::vector<WString>& cards, WStringView recDir);
};

}  // namespace orvel
