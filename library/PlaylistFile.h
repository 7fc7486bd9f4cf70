#pragma once
// The base of the file formats: a RadioLibrary that reads itself from a file and writes itself
// back. The readers take the whole file into memory when they open it and read it from there,
// one byte (playlists) or one UTF-16 code unit (library files) at a time.
//
// Threads: like RadioLibrary, used from one thread at a time; Load and Save block on the disk.

#include <cstddef>
#include <string>
#include <string_view>

#include "library/RadioLibrary.h"
#include "platform/AtomicFile.h"

namespace orvel {

class PlaylistFile : public RadioLibrary {
 public:
  // Files above this size are refused as unreadable: no library or playlist comes near it.
  static constexpr size_t kMaxFileBytes = 16u * 1024u * 1024u;
  // Values and lines hold at most this many characters (bytes for playlist lines).
  static constexpr size_t kMaxTextLength = 259;

  // Reads the file into the container; the append flag goes to every Add... call. False when
  // the file cannot be read or is not of this format; what the lines hold never fails it.
  virtual bool Load(const WString& path, bool append) = 0;
  // Writes the container to the file, atomically. Only the library file format writes; the
  // playlist formats fail.
  virtual bool Save(const WString& path) = 0;
  // Reads playlist text already in memory (the body of a playlist URL) as Load reads a file;
  // the category is named `name`. False for the formats that only read files, and when the text
  // is not of this format.
  bool LoadText(std::string_view text, const WString& name, bool append);

 protected:
  // Reads the content taken into memory by openFile or LoadText, then closes it. The formats
  // that read playlists from memory override it.
  virtual bool readOpened(const WString& name, bool append);
  // Takes the whole file into memory; false when it cannot be read or is too large.
  bool openFile(const WString& path);
  void closeFile();
  // Skips a UTF-8 byte-order mark at the very start of the file.
  void skipUtf8Bom();
  // Reads one 8-bit line: carriage returns are skipped, a line feed or the end of the file ends
  // it. False for an empty line, and when kMaxTextLength bytes came without a line feed (the
  // rest of that line stays to be read).
  bool readLine(std::string& line);
  // 8-bit playlist text as a value: decoded by the program's one 8-bit rule, at most
  // kMaxTextLength characters.
  static WString decodeText(std::string_view bytes);
  // Adds a radio of that title with one stream of that URL, and selects the stream.
  void addEntry(const CategoryInfo* category, const WString& title, const WString& url,
                bool append);

  Bytes m_file;          // the open file's content
  size_t m_readPos = 0;  // the next byte to read
};

}  // namespace orvel
