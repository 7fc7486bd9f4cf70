#pragma once
// The reader of skin description files: sections of "key=value" lines, looked up by a 32-bit
// hash of their names. UI thread only; nothing blocks beyond reading the file once in Open.
//
// Grammar: lines end with CR LF (a CR ends the line's content, everything up to the next LF is
// dropped; a lone LF is an ordinary character). A header "[name]" follows any number of empty
// lines; its key lines follow up to the first empty line. Reading stops quietly at the first
// line that breaks these rules (a line over 259 characters, a key line without "=", a non-header
// where a header is expected); what was read before stays available.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

class SkinIniFile {
 public:
  // The longest line content; a longer line stops the reading.
  static constexpr size_t kMaxLineChars = 259;

  // h = h * 5 + c over the bytes taken as signed, modulo 2^32.
  static uint32_t hashName(std::string_view name);

  // Reads the whole file. False only when the file cannot be opened.
  bool Open(const std::string& fsPath);
  // Reads from text already in memory (the same grammar as a file).
  void OpenText(std::string_view text);

  // The value of key in section; the last occurrence of each wins. Nothing when absent.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  size_t sectionCount() const { return m_sections.size(); }

 private:
  struct Key {
    uint32_t hash;
    std::string value;
  };
  struct Section {
    uint32_t hash;
    std::vector<Key> keys;
  };

  const Section* findSection(uint32_t hash) const;

  std::vector<Section> m_sections;
};

}  // namespace orvel
