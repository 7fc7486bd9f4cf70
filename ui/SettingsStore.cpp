#include "ui/SettingsStore.h"

#include <vector>

#include "platform/Registry.h"

namespace orvel {

const char16_t* const SettingsStore::kUsePrebuffering = u"UsePrebuffering";
const char16_t* const SettingsStore::kRecDir = u"RecDir";
const char16_t* const SettingsStore::kFirstTime = u"FirstTime";
const char16_t* const SettingsStore::kReconnect = u"Reconnect";
const char16_t* const SettingsStore::kNotify = u"Notify";

namespace {

// A text value as the program reads it: at most 259 characters, ending at the first null.
WString textFromRegistry(const RegValue& value) {
  WString text;
  const size_t units = std::min(value.data.size() / 2, SettingsStore::kMaxTextChars);
  for (size_t i = 0; i < units; ++i) {
    const auto c = static_cast<char16_t>(value.data[2 * i] | (value.data[2 * i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

}  // namespace

SettingsStore::SettingsStore(Registry& registry)
    : m_registry(registry),
      m_entries{{Type::Number, kUsePrebuffering, 1, std::nullopt},
                {Type::Text, kRecDir, 0, std::nullopt},
                {Type::Number, kFirstTime, 1, std::nullopt},
                {Type::Number, kReconnect, 1, std::nullopt},
                {Type::Number, kNotify, 1, std::nullopt}} {}

SettingsStore::~SettingsStore() = default;

SettingsStore::Entry* SettingsStore::find(const char16_t* name, Type type) {
  for (Entry& entry : m_entries) {
    if (entry.name == name) return entry.type == type ? &entry : nullptr;
  }
  return nullptr;
}

const SettingsStore::Entry* SettingsStore::find(const char16_t* name, Type type) const {
  return const_cast<SettingsStore*>(this)->find(name, type);
}

bool SettingsStore::SetText(const char16_t* name, WStringView text) {
  std::lock_guard guard(m_lock);
  Entry* entry = find(name, Type::Text);
  if (entry == nullptr) return false;
  entry->text = WString(text.substr(0, kMaxTextChars));
  return true;
}

bool SettingsStore::GetText(const char16_t* name, WString* text) const {
  std::lock_guard guard(m_lock);
  const Entry* entry = find(name, Type::Text);
  if (entry == nullptr || text == nullptr) return false;
  *text = entry->text.value_or(WString());
  return true;
}

bool SettingsStore::SetNumber(const char16_t* name, uint32_t value) {
  std::lock_guard guard(m_lock);
  Entry* entry = find(name, Type::Number);
  if (entry == nullptr) return false;
  entry->number = value;
  return true;
}

bool SettingsStore::GetNumber(const char16_t* name, uint32_t* value) const {
  std::lock_guard guard(m_lock);
  const Entry* entry = find(name, Type::Number);
  if (entry == nullptr || value == nullptr) return false;
  *value = entry->number;
  return true;
}

bool SettingsStore::Load(const char16_t* keyPath) {
  if (keyPath == nullptr) return false;
  std::lock_guard guard(m_lock);
  for (Entry& entry : m_entries) {
    const auto value = m_registry.queryValue(keyPath, entry.name);
    if (entry.type == Type::Number) {
      const bool usable = value && value->data.size() == 4;
      entry.number = usable ? uint32_t(value->data[0]) | uint32_t(value->data[1]) << 8 |
                                  uint32_t(value->data[2]) << 16 | uint32_t(value->data[3]) << 24
                            : entry.defaultNumber;
    } else {
      // Only string values are text: a number or a blob read as a folder name would be garbage.
      const bool usable = value && (value->type == kRegSz || value->type == kRegExpandSz);
      entry.text = usable ? textFromRegistry(*value) : WString();
    }
  }
  return true;
}

bool SettingsStore::Save(const char16_t* keyPath) {
  if (keyPath == nullptr) return false;
  std::vector<RegValue> values;
  {
    std::lock_guard guard(m_lock);
    for (const Entry& entry : m_entries) {
      values.push_back(entry.type == Type::Number
                           ? RegValue::dword(entry.name, entry.number)
                           : RegValue::text(entry.name, entry.text.value_or(WString())));
    }
  }
  m_registry.setValues(keyPath, values);
  return true;
}

}  // namespace orvel
