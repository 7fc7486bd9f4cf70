#pragma once
// The library file format (".rrd"): UTF-16LE text after the mark FF FE, one line per stream.
//
// A line holds eight fields: the radio's title, the stream's URL, the category's name, the
// stream's comment, bitrate and format, the radio's short title, each in double quotes with inner
// quotes doubled and followed by a comma, then the letter "a" when the stream is its radio's
// selected one. Lines end with a line feed alone and are written in the reverse order of the
// stream list, so a file read with the append flag is written back in its own order.
//
// Reading is forgiving, one code unit at a time: carriage returns and NUL code units are
// skipped anywhere, a line feed ends the line even inside quotes, a value keeps its first 259
// characters and drops the rest, blank lines are skipped, and a line cut off by the end of the
// file is dropped. Missing fields of a short line are empty. Two quotes at the very start of a
// quoted value are one quote, so a value that begins with a quote reads back as written.

#include <array>

#include "library/PlaylistFile.h"

namespace orvel {

class RrdFile : public PlaylistFile {
 public:
  // False when the file cannot be read or does not start with FF FE (an empty file included).
  // Every stream read gets the origin kOriginUser; the marked ones become selected.
  bool Load(const WString& path, bool append) override;
  // Writes every stream as a line; false (and the old file untouched) when it cannot be written.
  bool Save(const WString& path) override;

  // The file's bytes as Save writes them.
  Bytes serialize() const;

 private:
  enum class FieldEnd { kComma, kLineFeed, kEndOfFile };
  static constexpr size_t kFieldCount = 8;
  using Fields = std::array<WString, kFieldCount>;

  // Next UTF-16 code unit, or -1 at the end (a lone last byte counts as the end).
  int readUnit();
  int peekUnit() const;
  FieldEnd readField(WString& value);
  // False at the end of the file (a line cut off there is dropped).
  bool readRecord(Fields& fields);
  void skipBlankLines();
  void addRecord(const Fields& fields, bool append);
};

}  // namespace orvel
