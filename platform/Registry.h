#pragma once
// The settings store of the platform ("registry"): keys and typed values kept in one
// human-readable text file.
//
// Every operation reads the file afresh under a shared file lock; every change rewrites it
// atomically under an exclusive one, so several processes (a running instance, a second start,
// a tool) never lose each other's writes. A file that is not a registry file is read as empty
// and kept aside as "<file>.corrupt" before the first change replaces it.
// All operations are thread-safe and block only on the lock and the disk.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryTree.h"

namespace orvel {

class Registry {
 public:
  // The file: $XDG_CONFIG_HOME/orvel-radio/registry (default ~/.config/orvel-radio/registry).
  static std::string defaultPath();
  // The process-wide store at defaultPath(), made at the first call.
  static Registry& global();

  explicit Registry(std::string filePath);

  const std::string& filePath() const { return m_path; }

  bool keyExists(WStringView keyPath) const;
  // Creates the key (and the keys above it) when missing.
  bool createKey(WStringView keyPath);
  // Removes the key with its values and subkeys.
  bool deleteKey(WStringView keyPath);

  std::optional<RegValue> queryValue(WStringView keyPath, WStringView name) const;
  // Creates the key when missing; replaces a value of the same name in place.
  bool setValue(WStringView keyPath, WStringView name, uint32_t type, const void* data,
                size_t size);
  bool deleteValue(WStringView keyPath, WStringView name);
  // Sets several values of one key in one rewrite: all of them reach the file, or none.
  bool setValues(WStringView keyPath, const std::vector<RegValue>& newValues);

  // Enumeration in creation order; empty when the key does not exist.
  std::vector<RegValue> values(WStringView keyPath) const;
  std::vector<WString> subkeys(WStringView keyPath) const;

  // Conveniences over setValue: REG_SZ with its terminator, and REG_DWORD of 4 bytes.
  bool setString(WStringView keyPath, WStringView name, WStringView text);
  bool setDword(WStringView keyPath, WStringView name, uint32_t value);

 private:
  // Reads the file into tree; false when the file exists but is not a registry file.
  bool load(RegistryTree& tree) const;
  template <typename Change>
  bool modify(Change change);

  const std::string m_path;
  const std::string m_lockPath;
  mutable std::mutex m_mutex;  // serialises this process's threads; the file lock does the rest
};

}  // namespace orvel
