#include "skin/SkinList.h"

#include "platform/AppKeys.h"
#include "platform/FilePath.h"
#include "platform/Registry.h"
#include "skin/SkinDescription.h"

namespace orvel {
namespace {

constexpr WStringView kInstalledPrefix = u"InstSkin";
// The sizes of the registry reads: 260 characters of name, 520 bytes of data.
constexpr size_t kMaxNameChars = 259;
constexpr size_t kMaxDataBytes = 520;
constexpr size_t kMaxPathChars = 259;

// The text of a REG_SZ value, without its terminator; nothing when it is not one.
std::optional<WString> stringOf(const RegValue& value) {
  if (value.type != kRegSz) return std::nullopt;
  WString text;
  for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
    const auto c = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

}  // namespace

SkinList::SkinList(Registry& registry, WString programDir)
    : m_registry(registry), m_programDir(std::move(programDir)) {}

bool SkinList::FitsScreen(const SkinInfo& info, int screenWidth, int screenHeight) {
  return (screenWidth == info.width && screenHeight == info.height) ||
         (screenWidth == 2 * info.width && screenHeight == 2 * info.height) ||
         (screenWidth == info.width / 2 && screenHeight == info.height / 2);
}

WString SkinList::choiceValueName(int screenWidth, int screenHeight) {
  return fromAscii("W" + std::to_string(screenWidth) + "H" + std::to_string(screenHeight));
}

void SkinList::build() {
  if (m_built) return;
  for (const RegValue& value : m_registry.values(kRadioKey)) {
    if (value.name.size() > kMaxNameChars || value.data.size() > kMaxDataBytes) continue;
    if (!WStringView(value.name).starts_with(kInstalledPrefix)) continue;
    if (auto path = stringOf(value)) m_entries.push_back(SkinListEntry{std::move(*path), {}});
  }
  for (const char16_t* builtIn :
       {u"Skins/ov_default/default.rs", u"Skins/ov_default_land/default.rs"}) {
    m_entries.push_back(SkinListEntry{joinPath(m_programDir, builtIn), {}});
  }
  for (SkinListEntry& entry : m_entries) {
    SkinDescription description(nullptr);
    WString error;
    if (description.Parse(entry.path, error) && description.info() != nullptr) {
      entry.info = std::make_unique<SkinInfo>(*description.info());
    }
  }
  m_built = true;
}

int SkinList::validCount() {
  build();
  int count = 0;
  for (const SkinListEntry& entry : m_entries) count += entry.info ? 1 : 0;
  return count;
}

const SkinListEntry* SkinList::validSkin(int i) {
  build();
  if (i < 0) return nullptr;
  for (const SkinListEntry& entry : m_entries) {
    if (entry.info && i-- == 0) return &entry;
  }
  return nullptr;
}

int SkinList::ChooseSkin(int screenWidth, int screenHeight, WString& path) {
  path.clear();
  const auto stored = m_registry.queryValue(kRadioKey, choiceValueName(screenWidth, screenHeight));
  if (stored) {
    if (auto text = stringOf(*stored); text && text->size() <= kMaxPathChars) {
      path = std::move(*text);
      return kSkinFound;
    }
  }
  build();
  const SkinListEntry* fitting = nullptr;
  int fits = 0;
  for (const SkinListEntry& entry : m_entries) {
    if (entry.info && FitsScreen(*entry.info, screenWidth, screenHeight)) {
      if (fits++ == 0) fitting = &entry;
    }
  }
  if (fits == 0) return kNoSkinFits;
  if (fits > 1) return kSeveralSkinsFit;
  path = fitting->path;
  return kSkinFound;
}

void SkinList::RememberSkin(int screenWidth, int screenHeight, const WString& path) {
  m_registry.setString(kRadioKey, choiceValueName(screenWidth, screenHeight), path);
}

}  // namespace orvel
