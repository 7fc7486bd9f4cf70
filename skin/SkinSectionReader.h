#pragma once
// Reads the typed values of one section of a skin description and records the section's error
// text ("Name : <section>\nSection : <key>") when a required value is missing. Used by
// SkinDescription::Parse only.

#include <QRgb>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Text.h"

namespace orvel {

class SkinIniFile;

class SkinSectionReader {
 public:
  // Longest string value and longest image path, in characters.
  static constexpr size_t kMaxTextChars = 259;

  // An integer as _wtol reads it; nothing when absent, when it reads as -1, or when it reads
  // as 0 without being exactly "0".
  static std::optional<int32_t> parseInteger(const std::string& text);

  // error receives the text of this section's first missing required key.
  SkinSectionReader(const SkinIniFile& file, const char* section, const WString& skinFolder,
                    std::string& error);

  std::optional<int32_t> integer(const char* key) const;
  std::optional<WString> text(const char* key) const;
  // The three keys TextColorR, TextColorG, TextColorB, each cut to 8 bits; nothing when one
  // is missing.
  std::optional<QRgb> colour() const;
  // The image named by key "File": its full path, empty for an empty value; nothing when the
  // key is missing or names a file that does not exist.
  std::optional<WString> imagePath() const;

  // The same values, but a missing one records the section's error and gives false.
  bool require(const char* key, int32_t& out);
  bool require(const char* key, WString& out);
  bool requireImage(WString& out);

 private:
  void fail(const char* key);

  const SkinIniFile& m_file;
  const char* m_section;
  const WString& m_folder;
  std::string& m_error;
};

}  // namespace orvel
