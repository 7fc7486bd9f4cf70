#include "skin/SkinStartup.h"

#include <sys/stat.h>

#include <QCursor>
#include <QGuiApplication>
#include <filesystem>

#include "platform/AppKeys.h"
#include "platform/FilePath.h"
#include "platform/MessageBoxHost.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"
#include "skin/ImageDecoder.h"
#include "skin/SkinDescription.h"
#include "skin/SkinList.h"

namespace fs = std::filesystem;

namespace orvel {
namespace {

// Deletes a file, or a folder with everything in it, depth first. A part that cannot be
// deleted stays, and so does every folder above it. A missing path counts as deleted.
bool deleteTree(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (ec || !fs::exists(status)) return true;
  if (!fs::is_directory(status)) {
    ::chmod(path.c_str(), S_IRUSR | S_IWUSR);
    return fs::remove(path, ec) && !ec;
  }
  bool complete = true;
  for (const auto& entry : fs::directory_iterator(path, ec)) {
    complete = deleteTree(entry.path()) && complete;
  }
  if (ec || !complete) return false;
  return fs::remove(path, ec) && !ec;
}

// Message boxes are shown without the wait cursor that start-up shows meanwhile.
class NormalCursor {
 public:
  NormalCursor() : m_wasWaiting(QGuiApplication::overrideCursor() != nullptr) {
    if (m_wasWaiting) QGuiApplication::restoreOverrideCursor();
  }
  ~NormalCursor() {
    if (m_wasWaiting) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  }
  NormalCursor(const NormalCursor&) = delete;
  NormalCursor& operator=(const NormalCursor&) = delete;

 private:
  bool m_wasWaiting;
};

// The installed skins an installer registers, and the folders they come in.
struct InstalledSkin {
  const char16_t* value;
  const char* folder;
};
constexpr InstalledSkin kInstalledSkins[] = {{u"InstSkin01", "ov_default_vga"},
                                             {u"InstSkin02", "ov_default_vga_land"}};

void showBox(const WString& text, MessageBoxHost::Icon icon) {
  MessageBoxHost::current().show(text, kProgramTitle, icon, MessageBoxHost::Buttons::Ok);
}

}  // namespace

SkinStartup::SkinStartup(Registry& registry, WString programDir)
    : m_registry(registry), m_programDir(std::move(programDir)) {}

SkinStartup::~SkinStartup() = default;

WString SkinStartup::defaultSkinPath() const {
  return joinPath(m_programDir, u"Skins/ov_default/default.rs");
}

bool SkinStartup::firstRunCleanup(uint32_t firstTime, int screenWidth, int screenHeight) {
  if (firstTime == 0) return false;
  // Every desktop can turn the player window, so landscape skins are always kept.
  const fs::path skins = toFsPath(joinPath(m_programDir, u"Skins"));
  if (screenWidth == 240 || screenHeight == 240) {
    deleteTree(skins / "ov_default_vga");
    deleteTree(skins / "ov_default_vga_land");
    for (const InstalledSkin& skin : kInstalledSkins) m_registry.deleteValue(kRadioKey, skin.value);
  } else {
    deleteTree(skins / "ov_default");
    deleteTree(skins / "ov_default_land");
  }
  return true;
}

void SkinStartup::restoreInstalledSkins() {
  const fs::path skins = toFsPath(joinPath(m_programDir, u"Skins"));
  for (const InstalledSkin& skin : kInstalledSkins) {
    if (m_registry.queryValue(kRadioKey, skin.value)) continue;
    std::error_code ec;
    const fs::path file = skins / skin.folder / "default.rs";
    if (fs::is_regular_file(file, ec))
      m_registry.setString(kRadioKey, skin.value, fromFsPath(file.string()));
  }
}

bool SkinStartup::run(int screenWidth, int screenHeight, const ChooseSkinDialog& chooseSkin) {
  restoreInstalledSkins();
  m_decoder = std::make_unique<ImageDecoder>();
  m_description = std::make_unique<SkinDescription>(m_decoder.get());
  m_description->setScreenWidth(screenWidth);
  SkinList list(m_registry, m_programDir);
  WString path;
  int answer = list.ChooseSkin(screenWidth, screenHeight, path);
  if (answer == SkinList::kSeveralSkinsFit) {
    {
      NormalCursor normal;
      showBox(StringTable::load(kStrNoSkinAssigned), MessageBoxHost::Icon::Information);
      if (chooseSkin) chooseSkin(list, screenWidth, screenHeight);
    }
    list.ChooseSkin(screenWidth, screenHeight, path);
    answer = SkinList::kSkinFound;
  }
  if (answer != SkinList::kSkinFound) {
    showBox(StringTable::load(kStrNoSkinForScreen), MessageBoxHost::Icon::Stop);
    return false;
  }
  return parseChosen(list, screenWidth, screenHeight, path);
}

bool SkinStartup::parseChosen(SkinList& list, int screenWidth, int screenHeight,
                              const WString& path) {
  WString error;
  if (m_description->Parse(path, error)) {
    list.RememberSkin(screenWidth, screenHeight, path);
    m_skinPath = path;
    return true;
  }
  {
    NormalCursor normal;
    showBox(StringTable::load(kStrCannotLoadSkins) + u"\n\n" + error, MessageBoxHost::Icon::None);
  }
  const WString fallback = defaultSkinPath();
  if (!m_description->Parse(fallback, error)) return false;
  list.RememberSkin(screenWidth, screenHeight, fallback);
  m_skinPath = fallback;
  return true;
}

std::unique_ptr<ImageDecoder> SkinStartup::takeDecoder() { return std::move(m_decoder); }

std::unique_ptr<SkinDescription> SkinStartup::takeDescription() { return std::move(m_description); }

}  // namespace orvel
