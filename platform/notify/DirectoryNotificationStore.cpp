#include "platform/notify/DirectoryNotificationStore.h"

#include <algorithm>
#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/notify/NotificationRecord.h"

namespace fs = std::filesystem;

namespace orvel {
namespace {

constexpr const char* kExtension = ".notification";
constexpr const char* kFiredLine = "Fired=1\n";

std::string textOf(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

DirectoryNotificationStore::DirectoryNotificationStore(std::string folder)
    : m_folder(std::move(folder)) {}

std::string DirectoryNotificationStore::fileOf(uint32_t handle) const {
  return m_folder + "/" + std::to_string(handle) + kExtension;
}

std::optional<NotificationInfo> DirectoryNotificationStore::read(uint32_t handle,
                                                                 bool* fired) const {
  const auto bytes = readWholeFile(fileOf(handle));
  if (!bytes) return std::nullopt;
  const std::string text = textOf(*bytes);
  auto info = NotificationRecord::decode(text, "");
  if (!info || info->handle != handle) return std::nullopt;
  if (fired != nullptr) *fired = text.find(kFiredLine) != std::string::npos;
  return info;
}

uint32_t DirectoryNotificationStore::Set(const NotificationTrigger& trigger,
                                         const UserNotification* notification) {
  NotificationInfo info;
  info.trigger = trigger;
  if (notification != nullptr) info.notification = *notification;
  if (!NotificationRecord::isStorable(info)) return 0;
  std::error_code ec;
  fs::create_directories(m_folder, ec);
  FileLock lock(m_folder + "/.lock", FileLock::Mode::Exclusive);
  uint32_t next = 1;
  if (const auto counter = readWholeFile(m_folder + "/next-handle")) {
    next = std::max<uint32_t>(
        1, static_cast<uint32_t>(std::strtoul(textOf(*counter).c_str(), nullptr, 10)));
  }
  info.handle = next;
  if (!writeFileAtomically(m_folder + "/next-handle", std::to_string(next + 1)) ||
      !writeFileAtomically(fileOf(next), NotificationRecord::encode(info, ""))) {
    return 0;
  }
  return next;
}

std::vector<uint32_t> DirectoryNotificationStore::GetHandles() {
  std::vector<uint32_t> handles;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(m_folder, ec)) {
    if (entry.path().extension() != kExtension) continue;
    if (const auto handle = NotificationRecord::parseHandle(entry.path().stem().string())) {
      handles.push_back(*handle);
    }
  }
  std::sort(handles.begin(), handles.end());
  return handles;
}

std::optional<NotificationInfo> DirectoryNotificationStore::GetInfo(uint32_t handle) {
  return read(handle, nullptr);
}

bool DirectoryNotificationStore::Clear(uint32_t handle) {
  FileLock lock(m_folder + "/.lock", FileLock::Mode::Exclusive);
  std::error_code ec;
  return fs::remove(fileOf(handle), ec);
}

void DirectoryNotificationStore::MarkHandled(const std::string& application) {
  const SystemTime now = getLocalTime();
  for (uint32_t handle : GetHandles()) {
    const auto info = read(handle, nullptr);
    if (info && info->trigger.application == application && NotificationRecord::isDue(*info, now)) {
      Clear(handle);
    }
  }
}

std::vector<NotificationInfo> DirectoryNotificationStore::TakeDue(const SystemTime& now) {
  std::vector<NotificationInfo> due;
  FileLock lock(m_folder + "/.lock", FileLock::Mode::Exclusive);
  for (uint32_t handle : GetHandles()) {
    bool fired = false;
    const auto info = read(handle, &fired);
    if (!info || fired || !NotificationRecord::isDue(*info, now)) continue;
    if (writeFileAtomically(fileOf(handle), NotificationRecord::encode(*info, "") + kFiredLine)) {
      due.push_back(*info);
    }
  }
  return due;
}

}  // namespace orvel
