#include "platform/ProgramDirectory.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/AppKeys.h"
#include "platform/FilePath.h"
#include "platform/Registry.h"

namespace fs = std::filesystem;

namespace orvel {
namespace {

// The skins that ship with the program; the VGA pair is what an installer registers.
constexpr const char* kDefaultSkins[] = {"ov_default", "ov_default_land", "ov_default_vga",
                                         "ov_default_vga_land"};
constexpr const char* kInstalledSkinValues[][2] = {{"InstSkin01", "ov_default_vga"},
                                                   {"InstSkin02", "ov_default_vga_land"}};

std::string envOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

// The skin description file of a skin folder: its first "*.rs" file in name order.
std::string skinFileIn(const fs::path& folder) {
  std::error_code ec;
  std::string best;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().extension() == ".rs" && (best.empty() || entry.path().string() < best)) {
      best = entry.path().string();
    }
  }
  return best;
}

bool copyShipped(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::create_directories(to / "Radios", ec);
  if (ec) return false;
  fs::create_directories(to / "Skins", ec);
  if (ec) return false;
  if (fs::exists(from / "Radios" / "default.rrd", ec)) {
    fs::copy_file(from / "Radios" / "default.rrd", to / "Radios" / "default.rrd", ec);
    if (ec) return false;
  }
  for (const char* skin : kDefaultSkins) {
    if (!fs::is_directory(from / "Skins" / skin, ec)) continue;
    fs::copy(from / "Skins" / skin, to / "Skins" / skin, fs::copy_options::recursive, ec);
    if (ec) return false;
  }
  return true;
}

}  // namespace

std::string ProgramDirectory::executablePath() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string ProgramDirectory::executableDir() {
  const std::string exe = executablePath();
  return exe.empty() ? std::string(".") : fs::path(exe).parent_path().string();
}

std::string ProgramDirectory::shippedDataDir() {
  const fs::path installed = fs::path(executableDir()) / ".." / "share" / "orvel-radio";
  std::error_code ec;
  if (fs::is_directory(installed, ec)) return fs::weakly_canonical(installed, ec).string();
  return ORVEL_RESOURCES_DIR;
}

std::string ProgramDirectory::location() {
  const char* home = std::getenv("ORVEL_RADIO_HOME");
  if (home != nullptr && *home != '\0') return home;
  const std::string dataHome = envOr("XDG_DATA_HOME", envOr("HOME", "") + "/.local/share");
  return dataHome + "/orvel-radio";
}

std::string ProgramDirectory::ensure(Registry& registry) {
  const std::string dir = location();
  std::error_code ec;
  if (fs::is_directory(dir, ec)) return dir;
  if (!seed(dir, shippedDataDir(), registry)) {
    // Without the shipped data the program can still run with an empty folder.
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return {};
  }
  return dir;
}

bool ProgramDirectory::seed(const std::string& dir, const std::string& from, Registry& registry) {
  std::error_code ec;
  const fs::path target(dir);
  fs::create_directories(target.parent_path(), ec);
  // Seed into a temporary sibling and rename it, so that an interrupted seeding is redone.
  const fs::path staging = target.string() + ".seeding-" + std::to_string(::getpid());
  fs::remove_all(staging, ec);
  if (!copyShipped(from, staging)) {
    fs::remove_all(staging, ec);
    return false;
  }
  fs::rename(staging, target, ec);
  if (ec) {
    fs::remove_all(staging, ec);
    return fs::is_directory(target, ec);  // another process seeded it first
  }
  for (const auto& [value, skin] : kInstalledSkinValues) {
    const std::string file = skinFileIn(target / "Skins" / skin);
    if (!file.empty()) registry.setString(kRadioKey, fromAscii(value), fromFsPath(file));
  }
  return true;
}

}  // namespace orvel
