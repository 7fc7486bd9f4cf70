#pragma once
// The registry's content in memory: keys with ordered values and subkeys, and the text form
// of the registry file. Pure data; no locking, no files.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Text.h"

namespace orvel {

enum RegType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

struct RegValue {
  WString name;  // empty: the key's default value
  uint32_t type = kRegNone;
  Bytes data;

  // A REG_SZ holding the text and its terminator (an empty text is 2 bytes).
  static RegValue text(WStringView name, WStringView text);
  // A REG_DWORD of 4 bytes, little endian.
  static RegValue dword(WStringView name, uint32_t value);
};

struct RegKey {
  WString name;
  std::vector<RegValue> values;               // in creation order
  std::vector<std::unique_ptr<RegKey>> subkeys;  // in creation order

  // Names compare without case, as the registry does.
  RegKey* findSubkey(WStringView subkeyName) const;
  RegValue* findValue(WStringView valueName);
  const RegValue* findValue(WStringView valueName) const;
};

class RegistryTree {
 public:
  RegistryTree();

  // Splits "\Software\Orvel\Radio" into its components (empty components are dropped, so
  // leading and trailing backslashes do not matter). Nothing when a component holds a
  // character that the file cannot carry in a key name.
  static std::optional<std::vector<WString>> splitKeyPath(WStringView keyPath);

  RegKey* find(WStringView keyPath) const;
  RegKey* findOrCreate(WStringView keyPath);
  bool remove(WStringView keyPath);
  const RegKey& root() const { return *m_root; }

  // The file's text form. parse() keeps what it can read; it returns false when the text is not
  // a registry file at all (no signature), and counts the lines it had to skip.
  std::string serialize() const;
  bool parse(std::string_view text, size_t* skippedLines);

 private:
  std::unique_ptr<RegKey> m_root;
};

}  // namespace orvel
