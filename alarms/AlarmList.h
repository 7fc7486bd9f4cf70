#pragma once
// The list of alarms and its file "Alarms.dat": a little-endian 32-bit count, then 40 bytes per
// entry (begin and end as eight 16-bit SYSTEMTIME fields each, the preset, the id).
//
// The UI thread owns the list; it has no lock.

#include <string>
#include <vector>

#include "alarms/AlarmEntry.h"

namespace orvel {

class AlarmNotifier;

class AlarmList {
 public:
  static constexpr size_t kEntryBytes = 40;
  static constexpr const char* kFileName = "Alarms.dat";
  // A larger count than this in the file is garbage, not a list anyone made.
  static constexpr uint32_t kMaxEntries = 100000;

  explicit AlarmList(AlarmNotifier& notifier);

  // The file in the program directory.
  static std::string filePath(const std::string& programDir);

  // Reads the file; every entry read counts as registered. Entries that the file does not hold
  // completely are dropped. False (and an empty list) when the file cannot be opened or holds
  // fewer than 4 bytes.
  bool Load(const std::string& path);
  // Registers the entries that are not registered yet (in list order) and rewrites the file
  // atomically. False when the file could not be written (the old file stays).
  bool Save(const std::string& path);

  void Add(const AlarmEntry& entry);
  // Withdraws the entry's registrations and removes it; false past the end.
  bool Remove(size_t index);
  size_t Count() const { return m_entries.size(); }
  // Nothing past the end.
  const AlarmEntry* Get(size_t index) const;
  // The index of the entry with this id, or -1.
  int FindById(uint32_t id) const;

  // The file's bytes for the list, and the list for a file's bytes (exposed for tests).
  std::vector<uint8_t> serialize() const;
  bool parse(const uint8_t* data, size_t size);

 private:
  AlarmNotifier& m_notifier;
  std::vector<AlarmEntry> m_entries;
};

}  // namespace orvel
