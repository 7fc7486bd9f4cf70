#include "alarms/AlarmList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "alarms/AlarmNotifier.h"
#include "platform/AtomicFile.h"

namespace orvel {
namespace {

void putU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
  putU16(out, static_cast<uint16_t>(v));
  putU16(out, static_cast<uint16_t>(v >> 16));
}

uint16_t getU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t getU32(const uint8_t* p) { return getU16(p) | (static_cast<uint32_t>(getU16(p + 2)) << 16); }

void putTime(std::vector<uint8_t>& out, const SystemTime& t) {
  for (uint16_t v : {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second,
                     t.milliseconds}) {
    putU16(out, v);
  }
}

SystemTime getTime(const uint8_t* p) {
  return SystemTime{getU16(p),      getU16(p + 2),  getU16(p + 4),  getU16(p + 6),
                    getU16(p + 8),  getU16(p + 10), getU16(p + 12), getU16(p + 14)};
}

// Reads at most `limit` bytes; fewer when the file is shorter. Nothing when it cannot be read.
std::optional<std::vector<uint8_t>> readPrefix(const std::string& path, size_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    limit = std::min(limit, static_cast<size_t>(st.st_size));
  }
  std::vector<uint8_t> data(limit);
  size_t got = 0;
  while (got < limit) {
    const ssize_t n = ::read(fd, data.data() + got, limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  data.resize(got);
  return data;
}

}  // namespace

AlarmList::AlarmList(AlarmNotifier& notifier) : m_notifier(notifier) {}

std::string AlarmList::filePath(const std::string& programDir) {
  return programDir + "/" + kFileName;
}

bool AlarmList::Load(const std::string& path) {
  m_entries.clear();
  const auto data = readPrefix(path, 4 + kEntryBytes * kMaxEntries);
  if (!data) return false;
  return parse(data->data(), data->size());
}

bool AlarmList::parse(const uint8_t* data, size_t size) {
  m_entries.clear();
  if (size < 4) return false;
  const uint32_t count = getU32(data);
  // Only entries that lie completely within the bytes read are taken.
  const size_t available = (size - 4) / kEntryBytes;
  const size_t n = std::min<size_t>(count, available);
  m_entries.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* p = data + 4 + i * kEntryBytes;
    AlarmEntry entry;
    entry.begin = getTime(p);
    entry.end = getTime(p + 16);
    entry.preset = static_cast<int32_t>(getU32(p + 32));
    entry.id = getU32(p + 36);
    entry.registered = true;
    m_entries.push_back(entry);
  }
  return true;
}

std::vector<uint8_t> AlarmList::serialize() const {
  std::vector<uint8_t> out;
  out.reserve(4 + m_entries.size() * kEntryBytes);
  putU32(out, static_cast<uint32_t>(m_entries.size()));
  for (const AlarmEntry& entry : m_entries) {
    putTime(out, entry.begin);
    putTime(out, entry.end);
    putU32(out, static_cast<uint32_t>(entry.preset));
    putU32(out, entry.id);
  }
  return out;
}

bool AlarmList::Save(const std::string& path) {
  for (AlarmEntry& entry : m_entries) {
    if (!entry.registered) {
      m_notifier.RegisterAlarm(entry);
      entry.registered = true;
    }
  }
  return writeFileAtomically(path, serialize());
}

void AlarmList::Add(const AlarmEntry& entry) { m_entries.push_back(entry); }

bool AlarmList::Remove(size_t index) {
  if (index >= m_entries.size()) return false;
  m_notifier.WithdrawAlarm(m_entries[index]);
  m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

const AlarmEntry* AlarmList::Get(size_t index) const {
  return index < m_entries.size() ? &m_entries[index] : nullptr;
}

int AlarmList::FindById(uint32_t id) const {
  for (size_t i = 0; i < m_entries.size(); ++i) {
    if (m_entries[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace orvel
