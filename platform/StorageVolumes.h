#pragma once
// Where recordings may go: the user's documents folder, the mounted removable volumes, and the
// free space of the volume holding a path. Stateless apart from the free-space probe a test
// may install; any thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvel {

class StorageVolumes {
 public:
  // XDG_DOCUMENTS_DIR from ~/.config/user-dirs.dirs ($HOME expanded), else ~/Documents.
  static std::string documentsFolder();
  // The documents folder relative to the home folder ("Documents" by default).
  static std::string documentsFolderInHome();
  // Mount points of removable volumes: the folders in /media/USER and /run/media/USER.
  static std::vector<std::string> removableMounts();
  // The removable mount that holds `path`, if any.
  static std::optional<std::string> removableMountOf(const std::string& path);
  // Bytes available to this user on the volume holding `path`; nothing when it cannot be asked.
  static std::optional<uint64_t> freeBytes(const std::string& path);

  // Tests only: answers freeBytes instead of the file system (a full disk without filling
  // one). An empty function restores the real query. Any thread.
  using FreeBytesProbe = std::function<std::optional<uint64_t>(const std::string& path)>;
  static void setFreeBytesProbe(FreeBytesProbe probe);
};

}  // namespace orvel
