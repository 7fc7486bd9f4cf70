#include "platform/notify/SystemdNotificationStore.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/AtomicFile.h"
#include "platform/ChildProcess.h"
#include "platform/FileLock.h"
#include "platform/notify/NotificationRecord.h"

namespace fs = std::filesystem;

namespace orvel {
namespace {

constexpr const char* kKeyPrefix = "X-Orvel";

// The environment a launched program needs to reach the user's display, sound and files.
constexpr const char* kPassedEnvironment[] = {
    "DISPLAY",          "WAYLAND_DISPLAY",   "XAUTHORITY",         "DBUS_SESSION_BUS_ADDRESS",
    "XDG_RUNTIME_DIR",  "XDG_CONFIG_HOME",   "XDG_DATA_HOME",      "HOME",
    "ORVEL_RADIO_HOME", "ORVEL_RADIO_AUDIO", "ORVEL_RADIO_NOTIFY", "QT_QPA_PLATFORM"};

// One word of a unit's command or environment line: quoted, with systemd's specifiers and
// variable expansion disabled.
std::string quoted(const std::string& word) {
  std::string out = "\"";
  for (char c : word) {
    if (c == '"' || c == '\\') out.push_back('\\');
    if (c == '%') out.push_back('%');
    if (c == '$') out.push_back('$');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::vector<std::string> words(const WString& arguments) {
  std::vector<std::string> out;
  std::istringstream in(toUtf8(arguments));
  std::string word;
  while (in >> word) out.push_back(word);
  return out;
}

}  // namespace

std::string SystemdNotificationStore::defaultUnitFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config == '/') return std::string(config) + "/systemd/user";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config/systemd/user";
}

bool SystemdNotificationStore::available(const std::string& systemctl) {
  return ChildProcess::run({systemctl, "--user", "--no-ask-password", "show-environment"},
                           kSystemctlTimeoutMs) == 0;
}

SystemdNotificationStore::SystemdNotificationStore(std::string unitFolder, std::string systemctl)
    : m_folder(std::move(unitFolder)),
      m_systemctl(std::move(systemctl)),
      m_notifySend(ChildProcess::findInPath("notify-send")) {}

std::string SystemdNotificationStore::unitPath(uint32_t handle, const char* suffix) const {
  return m_folder + "/" + kUnitPrefix + std::to_string(handle) + suffix;
}

bool SystemdNotificationStore::systemctl(const std::vector<std::string>& arguments) const {
  std::vector<std::string> argv = {m_systemctl, "--user", "--no-ask-password"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return ChildProcess::run(argv, kSystemctlTimeoutMs) == 0;
}

std::string SystemdNotificationStore::timerUnit(const NotificationInfo& info) const {
  const SystemTime& t = info.trigger.start;
  char when[64];
  std::snprintf(when, sizeof when, "%04u-%02u-%02u %02u:%02u:%02u", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  std::ostringstream out;
  out << "[Unit]\nDescription=Orvel Radio alarm: " << toUtf8(info.trigger.arguments) << "\n"
      << NotificationRecord::encode(info, kKeyPrefix) << "\n[Timer]\nOnCalendar=" << when
      << "\nAccuracySec=1s\nPersistent=true\nUnit=" << kUnitPrefix << info.handle
      << ".service\n\n[Install]\nWantedBy=timers.target\n";
  return out.str();
}

std::string SystemdNotificationStore::serviceUnit(const NotificationInfo& info) const {
  std::ostringstream out;
  out << "[Unit]\nDescription=Orvel Radio alarm: " << toUtf8(info.trigger.arguments)
      << "\n\n[Service]\nType=simple\n";
  for (const char* name : kPassedEnvironment) {
    if (const char* value = std::getenv(name)) {
      out << "Environment=" << quoted(std::string(name) + "=" + value) << "\n";
    }
  }
  if ((info.notification.actionFlags & kActionDialog) != 0 && !m_notifySend.empty()) {
    // A notification that cannot be shown must not keep the program from starting.
    out << "ExecStartPre=-" << quoted(m_notifySend) << " "
        << quoted(toUtf8(info.notification.dialogTitle)) << " "
        << quoted(toUtf8(info.notification.dialogText)) << "\n";
  }
  out << "ExecStart=" << quoted(info.trigger.application);
  for (const std::string& word : words(info.trigger.arguments)) out << " " << quoted(word);
  // A later start that hands its alarm to the running program exits with -1: not a failure.
  out << "\nSuccessExitStatus=255\n";
  return out.str();
}

uint32_t SystemdNotificationStore::Set(const NotificationTrigger& trigger,
                                       const UserNotification* notification) {
  NotificationInfo info;
  info.trigger = trigger;
  if (notification != nullptr) info.notification = *notification;
  if (!NotificationRecord::isStorable(info)) return 0;
  std::error_code ec;
  fs::create_directories(m_folder, ec);
  {
    FileLock lock(m_folder + "/.orvel-radio-alarm.lock", FileLock::Mode::Exclusive);
    const auto handles = GetHandles();
    info.handle = handles.empty() ? 1 : handles.back() + 1;
    if (!writeFileAtomically(unitPath(info.handle, ".service"), serviceUnit(info)) ||
        !writeFileAtomically(unitPath(info.handle, ".timer"), timerUnit(info))) {
      removeUnits(info.handle);
      return 0;
    }
  }
  const std::string timer = kUnitPrefix + std::to_string(info.handle) + ".timer";
  if (!systemctl({"daemon-reload"}) || !systemctl({"enable", "--now", timer})) {
    removeUnits(info.handle);
    systemctl({"daemon-reload"});
    return 0;
  }
  return info.handle;
}

std::vector<uint32_t> SystemdNotificationStore::GetHandles() {
  std::vector<uint32_t> handles;
  const std::string prefix = kUnitPrefix;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(m_folder, ec)) {
    if (entry.path().extension() != ".timer") continue;
    const std::string stem = entry.path().stem().string();
    if (stem.compare(0, prefix.size(), prefix) != 0) continue;
    if (const auto handle = NotificationRecord::parseHandle(stem.substr(prefix.size()))) {
      handles.push_back(*handle);
    }
  }
  std::sort(handles.begin(), handles.end());
  return handles;
}

std::optional<NotificationInfo> SystemdNotificationStore::GetInfo(uint32_t handle) {
  const auto bytes = readWholeFile(unitPath(handle, ".timer"));
  if (!bytes) return std::nullopt;
  auto info = NotificationRecord::decode(std::string(bytes->begin(), bytes->end()), kKeyPrefix);
  if (!info || info->handle != handle) return std::nullopt;
  return info;
}

bool SystemdNotificationStore::removeUnits(uint32_t handle) {
  std::error_code ec;
  const bool had = fs::remove(unitPath(handle, ".timer"), ec);
  fs::remove(unitPath(handle, ".service"), ec);
  return had;
}

bool SystemdNotificationStore::Clear(uint32_t handle) {
  if (!fs::exists(unitPath(handle, ".timer"))) return false;
  // Only the timer is stopped: a program that the service already started keeps running.
  systemctl({"disable", "--now", kUnitPrefix + std::to_string(handle) + ".timer"});
  const bool removed = removeUnits(handle);
  systemctl({"daemon-reload"});
  return removed;
}

void SystemdNotificationStore::MarkHandled(const std::string& application) {
  const SystemTime now = getLocalTime();
  for (uint32_t handle : GetHandles()) {
    const auto info = GetInfo(handle);
    if (info && info->trigger.application == application && NotificationRecord::isDue(*info, now)) {
      Clear(handle);
    }
  }
}

}  // namespace orvel
