#pragma once
// PLS playlists: "[playlist]" (any case) first, "NumberOfEntries=N" (any case, N > 0) second,
// then per entry the key lines File, Title and Length in this order.
//
// Keys are matched without case and only by their beginning ("File1", "FILE" and "file22" are
// all File lines); the number in a key is not looked at. An entry whose group stops after its
// File line gets an empty title, and a File line that stopped it starts the next entry; a group
// that stops after its Title line consumes the line that stopped it, so a file without Length
// lines yields its first entry only. A group without a File line ends the list, as do an empty
// line, a line without "=", a key shorter than 4 characters and the end of the file. Entries
// become radios with one selected stream in one category named after the file's path.

#include <optional>

#include "library/PlaylistFile.h"

namespace orvel {

class PlsPlaylist : public PlaylistFile {
 public:
  // False when the file cannot be read, lacks the "[playlist]" line, or its second line is not
  // a positive NumberOfEntries.
  bool Load(const WString& path, bool append) override;
  // Playlists are never written: always false.
  bool Save(const WString& path) override;

 protected:
  bool readOpened(const WString& name, bool append) override;

 private:
  struct KeyLine {
    std::string key;
    std::string value;
  };
  // The next key line (the one given back first, if any); nothing when the read fails or the
  // line has no "=".
  std::optional<KeyLine> readKeyLine();
  // True when the key line is present and its key is at least 4 characters long and begins
  // with the prefix, compared without case.
  static bool isKey(const std::optional<KeyLine>& line, std::string_view prefix);
  // Reads one entry; false when it has no File line, which ends the list.
  bool readEntry(const CategoryInfo* category, bool append);

  std::optional<KeyLine> m_givenBack;  // a File line that ended the previous entry's group
};

}  // namespace orvel
