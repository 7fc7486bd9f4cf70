#pragma once
// The skins installed on this machine and the choice of one for a screen size.
//
// Candidates are every string value of the program's registry key whose name begins with
// "InstSkin" (an installer writes them), then the two built-in skins of the program directory.
// The choice for each screen size is kept in the value "W<width>H<height>". A skin fits a
// screen of its design size, of twice it, or of half it. UI thread only; the registry and the
// description files are read once, on first need, so a new SkinList sees later changes.

#include <string>
#include <vector>

#include "platform/Text.h"
#include "skin/SkinListEntry.h"

namespace orvel {

class Registry;

class SkinList {
 public:
  enum Answer { kChoiceFailed = -1, kSkinFound = 0, kNoSkinFits = 1, kSeveralSkinsFit = 2 };

  // programDir: the folder that holds "Skins/". The registry is not owned.
  SkinList(Registry& registry, WString programDir);

  static bool FitsScreen(const SkinInfo& info, int screenWidth, int screenHeight);
  // The registry value that holds the choice for a screen size: "W240H320".
  static WString choiceValueName(int screenWidth, int screenHeight);

  int validCount();
  // The i-th valid skin, or nullptr when i is out of range.
  const SkinListEntry* validSkin(int i);

  // The description file for the screen in path: the stored choice unchanged (kSkinFound,
  // without reading the list), else the one fitting skin (kSkinFound), else kNoSkinFits or
  // kSeveralSkinsFit with path empty.
  int ChooseSkin(int screenWidth, int screenHeight, WString& path);
  // Stores path as the choice for the screen size; failures are silent.
  void RememberSkin(int screenWidth, int screenHeight, const WString& path);

 private:
  void build();

  Registry& m_registry;
  WString m_programDir;
  std::vector<SkinListEntry> m_entries;
  bool m_built = false;
};

}  // namespace orvel
