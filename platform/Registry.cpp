#include "platform/Registry.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "platform/FileLock.h"

namespace orvel {
namespace {

std::string configHome() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config";
}

void makeFolders(const std::string& filePath) {
  for (size_t i = 1; i < filePath.size(); ++i) {
    if (filePath[i] == '/') ::mkdir(filePath.substr(0, i).c_str(), 0755);
  }
}

}  // namespace

std::string Registry::defaultPath() { return configHome() + "/orvel-radio/registry"; }

Registry& Registry::global() {
  static Registry registry(defaultPath());
  return registry;
}

Registry::Registry(std::string filePath) : m_path(std::move(filePath)), m_lockPath(m_path + ".lock") {}

bool Registry::load(RegistryTree& tree) const {
  const auto bytes = readWholeFile(m_path);
  if (!bytes) return true;  // no file yet: an empty registry
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  size_t skipped = 0;
  if (!tree.parse(text, &skipped)) {
    tree = RegistryTree();
    return false;
  }
  if (skipped > 0) {
    std::fprintf(stderr, "orvel-radio: %zu unreadable line(s) in %s were ignored\n", skipped,
                 m_path.c_str());
  }
  return true;
}

template <typename Change>
bool Registry::modify(Change change) {
  std::lock_guard guard(m_mutex);
  makeFolders(m_path);
  FileLock lock(m_lockPath, FileLock::Mode::Exclusive);
  RegistryTree tree;
  if (!load(tree)) {
    std::fprintf(stderr, "orvel-radio: %s is not a registry file; kept as %s.corrupt\n",
                 m_path.c_str(), m_path.c_str());
    std::rename(m_path.c_str(), (m_path + ".corrupt").c_str());
  }
  if (!change(tree)) return false;
  removeStaleTemporaries(m_path);
  return writeFileAtomically(m_path, tree.serialize());
}

bool Registry::keyExists(WStringView keyPath) const {
  std::lock_guard guard(m_mutex);
  FileLock lock(m_lockPath, FileLock::Mode::Shared);
  RegistryTree tree;
  load(tree);
  const RegKey* key = tree.find(keyPath);
  return key != nullptr && key != &tree.root();
}

bool Registry::createKey(WStringView keyPath) {
  return modify([&](RegistryTree& tree) {
    RegKey* key = tree.findOrCreate(keyPath);
    return key != nullptr && key != &tree.root();
  });
}

bool Registry::deleteKey(WStringView keyPath) {
  return modify([&](RegistryTree& tree) { return tree.remove(keyPath); });
}

std::optional<RegValue> Registry::queryValue(WStringView keyPath, WStringView name) const {
  std::lock_guard guard(m_mutex);
  FileLock lock(m_lockPath, FileLock::Mode::Shared);
  RegistryTree tree;
  load(tree);
  const RegKey* key = tree.find(keyPath);
  if (key == nullptr || key == &tree.root()) return std::nullopt;
  const RegValue* value = key->findValue(name);
  if (value == nullptr) return std::nullopt;
  return *value;
}

bool Registry::setValue(WStringView keyPath, WStringView name, uint32_t type, const void* data,
                        size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  return setValues(keyPath, {RegValue{WString(name), type, Bytes(bytes, bytes + size)}});
}

bool Registry::setValues(WStringView keyPath, const std::vector<RegValue>& newValues) {
  return modify([&](RegistryTree& tree) {
    RegKey* key = tree.findOrCreate(keyPath);
    if (key == nullptr || key == &tree.root()) return false;
    for (const RegValue& newValue : newValues) {
      if (RegValue* value = key->findValue(newValue.name)) {
        value->type = newValue.type;
        value->data = newValue.data;
      } else {
        key->values.push_back(newValue);
      }
    }
    return true;
  });
}

bool Registry::deleteValue(WStringView keyPath, WStringView name) {
  return modify([&](RegistryTree& tree) {
    RegKey* key = tree.find(keyPath);
    if (key == nullptr || key == &tree.root()) return false;
    for (auto it = key->values.begin(); it != key->values.end(); ++it) {
      if (equalsNoCase(it->name, name)) {
        key->values.erase(it);
        return true;
      }
    }
    return false;
  });
}

std::vector<RegValue> Registry::values(WStringView keyPath) const {
  std::lock_guard guard(m_mutex);
  FileLock lock(m_lockPath, FileLock::Mode::Shared);
  RegistryTree tree;
  load(tree);
  const RegKey* key = tree.find(keyPath);
  if (key == nullptr || key == &tree.root()) return {};
  return key->values;
}

std::vector<WString> Registry::subkeys(WStringView keyPath) const {
  std::lock_guard guard(m_mutex);
  FileLock lock(m_lockPath, FileLock::Mode::Shared);
  RegistryTree tree;
  load(tree);
  const RegKey* key = tree.find(keyPath);
  std::vector<WString> names;
  if (key == nullptr || key == &tree.root()) return names;
  for (const auto& sub : key->subkeys) names.push_back(sub->name);
  return names;
}

bool Registry::setString(WStringView keyPath, WStringView name, WStringView text) {
  return setValues(keyPath, {RegValue::text(name, text)});
}

bool Registry::setDword(WStringView keyPath, WStringView name, uint32_t value) {
  return setValues(keyPath, {RegValue::dword(name, value)});
}

}  // namespace orvel
