#pragma once
// ASX playlists are accepted but not read from files: Load succeeds without even opening the
// file and adds nothing, so importing one reports success and changes nothing.
//
// The body of a playlist URL (LoadText) is read: each <entry>'s <ref href> becomes a radio with
// that stream, titled by the entry's <title> (else the URL), so a station's "listen" link that
// answers with ASX plays.

#include "library/PlaylistFile.h"

namespace orvel {

class AsxPlaylist : public PlaylistFile {
 public:
  // Always true; adds nothing.
  bool Load(const WString& path, bool append) override;
  // Playlists are never written: always false.
  bool Save(const WString& path) override;

 protected:
  // False when the text holds no <asx> element.
  bool readOpened(const WString& name, bool append) override;
};

}  // namespace orvel
