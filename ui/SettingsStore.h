#pragma once
// The program's five settings, read from the registry once at start-up and written back once
// at exit.
//
// A setting is named by the store's own constants (kUsePrebuffering, kRecDir, kFirstTime,
// kReconnect, kNotify), compared by address, so callers always use the constants. The UI thread
// owns the store; the player's thread reads "RecDir" when a recording starts, so every access takes
// the store's lock.

#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/Text.h"

namespace orvel {

class Registry;

class SettingsStore {
 public:
  static const char16_t* const kUsePrebuffering;  // number, default 1
  static const char16_t* const kRecDir;           // text, default empty (main memory)
  static const char16_t* const kFirstTime;        // number, default 1
  static const char16_t* const kReconnect;        // number, default 1: reconnect dropped streams
  static const char16_t* const kNotify;           // number, default 1: desktop notifications
  // Registry strings are read into 260 characters: 259 and a terminator.
  static constexpr size_t kMaxTextChars = 259;

  explicit SettingsStore(Registry& registry);
  virtual ~SettingsStore();

  // Stores a copy of the text; false for a name that is not a text setting's constant.
  virtual bool SetText(const char16_t* name, WStringView text);
  // The current text, or the default when none was set; false for an unknown name or no out.
  virtual bool GetText(const char16_t* name, WString* text) const;
  // False for a name that is not a number setting's constant.
  virtual bool SetNumber(const char16_t* name, uint32_t value);
  // The current number (0 before anything was set); false for an unknown name or no out.
  virtual bool GetNumber(const char16_t* name, uint32_t* value) const;

  // Reads the five settings from the key; a missing key or value gives the default.
  // False only for a missing path.
  bool Load(const char16_t* keyPath);
  // Writes the five settings to the key (created when missing) in one rewrite. A failed write
  // leaves the old values and is not reported. False only for a missing path.
  bool Save(const char16_t* keyPath);

 private:
  enum class Type { Text, Number };
  struct Entry {
    Type type;
    const char16_t* name;
    uint32_t defaultNumber;
    std::optional<WString> text;  // none until set
    uint32_t number = 0;
  };
  static constexpr size_t kEntryCount = 5;

  Entry* find(const char16_t* name, Type type);
  const Entry* find(const char16_t* name, Type type) const;

  Registry& m_registry;
  mutable std::mutex m_lock;
  Entry m_entries[kEntryCount];  // guarded by m_lock
};

}  // namespace orvel
