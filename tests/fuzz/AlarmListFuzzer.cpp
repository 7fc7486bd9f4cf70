// The reader of "Alarms.dat". A list read must write back to the bytes of the entries it kept,
// and read again to the same list.

#include <cstdlib>
#include <cstring>

#include "alarms/AlarmList.h"
#include "alarms/AlarmNotifier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orvel::NullAlarmNotifier notifier;
  orvel::AlarmList list(notifier);
  if (!list.parse(data, size)) {
    if (list.Count() != 0) std::abort();
    return 0;
  }
  const std::vector<uint8_t> bytes = list.serialize();
  if (bytes.size() != 4 + list.Count() * orvel::AlarmList::kEntryBytes) std::abort();
  // The entries kept are those the file held, byte for byte.
  if (bytes.size() > 4 && (bytes.size() > size || std::memcmp(bytes.data() + 4, data + 4,
                                                              bytes.size() - 4) != 0)) {
    std::abort();
  }
  orvel::AlarmList again(notifier);
  if (!again.parse(bytes.data(), bytes.size()) || again.serialize() != bytes) std::abort();
  return 0;
}
