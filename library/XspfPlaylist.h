#pragma once
// XSPF playlists (the XML shared playlist format Icecast's directory and many stations
// publish): each <track> with a <location> becomes a radio with that stream, titled by the
// track's <title>, else its <annotation>, else the URL. The category is named after the file's
// path. Values are UTF-8 text cut to 259 characters, like the other playlists' lines.

#include "library/PlaylistFile.h"

namespace orvel {

class XspfPlaylist : public PlaylistFile {
 public:
  // False when the file cannot be read or holds no <playlist> element.
  bool Load(const WString& path, bool append) override;
  // Playlists are never written: always false.
  bool Save(const WString& path) override;

 protected:
  bool readOpened(const WString& name, bool append) override;
};

}  // namespace orvel
