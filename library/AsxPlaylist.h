#pragma once
// ASX playlists are accepted but not read: Load succeeds without even opening the file and adds
// nothing, so importing one reports success and changes nothing.

#include "library/PlaylistFile.h"

namespace orvel {

class AsxPlaylist : public PlaylistFile {
 public:
  // Always true; adds nothing.
  bool Load(const WString& path, bool append) override;
  // Playlists are never written: always false.
  bool Save(const WString& path) override;
};

}  // namespace orvel
