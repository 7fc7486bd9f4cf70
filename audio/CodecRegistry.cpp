#include "audio/CodecRegistry.h"

#include <fnmatch.h>

#include <filesystem>

#include "audio/BuiltinCodecs.h"
#include "audio/LibraryCodecProvider.h"
#include "platform/ProgramDirectory.h"

namespace orvel {
namespace {

constexpr size_t kNameLimit = 64;

std::unique_ptr<CodecRegistry>& sharedSlot() {
  static std::unique_ptr<CodecRegistry> registry;
  return registry;
}

}  // namespace

CodecRegistry::CodecRegistry(std::string pattern, std::optional<std::string> folder)
    : m_pattern(std::move(pattern)), m_folder(std::move(folder)) {}

CodecRegistry::~CodecRegistry() = default;

CodecRegistry& CodecRegistry::shared() {
  if (!sharedSlot()) createShared(kLibraryPattern);
  return *sharedSlot();
}

void CodecRegistry::createShared(const std::string& pattern) {
  sharedSlot() = std::make_unique<CodecRegistry>(pattern);
}

void CodecRegistry::destroyShared() { sharedSlot().reset(); }

CodecProvider* CodecRegistry::createProvider(ProviderSource source, const std::string& path) {
  switch (source) {
    case ProviderSource::kBuiltin:
      return BuiltinCodecs::createProvider(*this);
    case ProviderSource::kLibrary:
      return LibraryCodecProvider::load(*this, path);
    case ProviderSource::kEndOfScan:
      break;
  }
  return nullptr;
}

void CodecRegistry::registerEntry(CodecProvider* provider, WStringView name, WStringView shortName,
                                  std::vector<WString> extensions, uint32_t capabilities) {
  CodecEntry entry;
  entry.provider = provider;
  entry.name = WString(name.substr(0, kNameLimit));
  for (char16_t c : shortName) {
    entry.shortName.push_back(c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c);
  }
  entry.extensions = std::move(extensions);
  entry.capabilities = capabilities;
  m_entries.push_back(std::move(entry));
}

void CodecRegistry::scan() {
  m_scanned = true;
  if (CodecProvider* builtin = createProvider(ProviderSource::kBuiltin, {})) {
    m_providers.emplace_back(builtin);
  }
  const std::string folder = m_folder.value_or(ProgramDirectory::executableDir());
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = item.path().filename().string();
    if (name.empty() || name[0] == '.' || item.is_directory(error)) continue;
    if (fnmatch(m_pattern.c_str(), name.c_str(), 0) != 0) continue;
    if (CodecProvider* provider = createProvider(ProviderSource::kLibrary, item.path())) {
      m_providers.emplace_back(provider);
    }
  }
  if (CodecProvider* last = createProvider(ProviderSource::kEndOfScan, {})) {
    m_providers.emplace_back(last);
  }
}

const CodecEntry* CodecRegistry::FindEntry(WStringView name, bool wantEncoder) {
  const WStringView extension = formatExtension(name);
  if (!m_scanned) scan();
  const uint32_t wanted = wantEncoder ? kCodecCanEncode : kCodecCanDecode;
  for (const CodecEntry& entry : m_entries) {
    if ((entry.capabilities & wanted) == 0) continue;
    if (equalsNoCase(entry.shortName, name)) return &entry;
    for (const WString& candidate : entry.extensions) {
      if (equalsNoCase(candidate, extension)) return &entry;
    }
  }
  return nullptr;
}

void CodecRegistry::Prepare() {
  if (!m_scanned) scan();
  for (const auto& provider : m_providers) {
    if (provider->prepare != nullptr) provider->prepare();
  }
}

bool CodecRegistry::CreateDecoder(AudioDecoder** out, WStringView name) {
  if (out == nullptr) return false;
  *out = nullptr;
  const CodecEntry* entry = FindEntry(name, false);
  return entry != nullptr && entry->provider->makeDecoder(out, name, *entry);
}

bool CodecRegistry::CreateFilter(AudioFilter** out, WStringView name) {
  if (out == nullptr) return false;
  *out = nullptr;
  for (const auto& provider : m_providers) {
    if (provider->createFilter != nullptr && provider->createFilter(out, name)) return true;
  }
  return false;
}

}  // namespace orvel
