#pragma once
// M3U playlists, plain (one URL per line) and extended ("#EXTM3U" first, then "#EXTINF:" lines
// whose text after the first comma is the title, each followed by its URL line).
//
// Every entry becomes a radio with one selected stream, in one category named after the file's
// path. An empty line, an overlong line (259 bytes or more) or the end of the file ends the
// list. A plain file has no comment lines: every line is a URL and its own title. A UTF-8
// byte-order mark in front of the first line is skipped.

#include "library/PlaylistFile.h"

namespace orvel {

class M3uPlaylist : public PlaylistFile {
 public:
  // False when the file cannot be read or its first line is empty or overlong.
  bool Load(const WString& path, bool append) override;
  // Playlists are never written: always false.
  bool Save(const WString& path) override;

 protected:
  bool readOpened(const WString& name, bool append) override;

 private:
  void readExtended(const CategoryInfo* category, bool append);
  void readPlain(const CategoryInfo* category, std::string line, bool append);
};

}  // namespace orvel
