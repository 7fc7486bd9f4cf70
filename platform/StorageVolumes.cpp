#include "platform/StorageVolumes.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <utility>

#include "platform/AtomicFile.h"

namespace orvel {
namespace {

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

std::string userName() {
  const char* user = std::getenv("USER");
  if (user != nullptr && *user != '\0') return user;
  const char* login = getlogin();
  return login != nullptr ? login : "";
}

// The value of XDG_DOCUMENTS_DIR, or empty.
std::string configuredDocuments() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string folder =
      config != nullptr && *config != '\0' ? config : homeFolder() + "/.config";
  const std::string key = "XDG_DOCUMENTS_DIR=";
  for (const std::string& line : readTextLines(folder + "/user-dirs.dirs")) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) value = homeFolder() + value.substr(5);
    if (value.empty() || value.front() != '/') return "";
    // A documents folder set to the home folder itself means "none".
    if (value == homeFolder() || value == homeFolder() + "/") return "";
    return value;
  }
  return "";
}

std::mutex& probeLock() {
  static std::mutex lock;
  return lock;
}

// Guarded by probeLock().
StorageVolumes::FreeBytesProbe& probe() {
  static StorageVolumes::FreeBytesProbe installed;
  return installed;
}

}  // namespace

void StorageVolumes::setFreeBytesProbe(FreeBytesProbe replacement) {
  std::lock_guard lock(probeLock());
  probe() = std::move(replacement);
}

std::string StorageVolumes::documentsFolder() {
  const std::string configured = configuredDocuments();
  return configured.empty() ? homeFolder() + "/Documents" : configured;
}

std::string StorageVolumes::documentsFolderInHome() {
  const std::string folder = documentsFolder();
  const std::string home = homeFolder() + "/";
  if (folder.rfind(home, 0) == 0) return folder.substr(home.size());
  return std::filesystem::path(folder).filename().string();
}

std::vector<std::string> StorageVolumes::removableMounts() {
  std::vector<std::string> mounts;
  const std::string user = userName();
  if (user.empty()) return mounts;
  for (const std::string& base : {"/media/" + user, "/run/media/" + user}) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(base, error)) {
      if (entry.is_directory(error)) mounts.push_back(entry.path().string());
    }
  }
  return mounts;
}

std::optional<std::string> StorageVolumes::removableMountOf(const std::string& path) {
  for (const std::string& mount : removableMounts()) {
    if (path == mount || path.rfind(mount + "/", 0) == 0) return mount;
  }
  return std::nullopt;
}

std::optional<uint64_t> StorageVolumes::freeBytes(const std::string& path) {
  {
    std::lock_guard lock(probeLock());
    if (probe()) return probe()(path);
  }
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace orvel
