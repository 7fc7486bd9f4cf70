#include "tests/support/NotificationFirer.h"

#include <sstream>

#include "platform/ChildProcess.h"

namespace orvel::test {

std::vector<FiredLaunch> fireDue(DirectoryNotificationStore& store, const SystemTime& now,
                                 int timeoutMs) {
  std::vector<FiredLaunch> launches;
  for (const NotificationInfo& info : store.TakeDue(now)) {
    std::vector<std::string> argv = {info.trigger.application};
    std::istringstream words(toUtf8(info.trigger.arguments));
    for (std::string word; words >> word;) argv.push_back(word);
    launches.push_back(FiredLaunch{info, ChildProcess::run(argv, timeoutMs)});
  }
  return launches;
}

}  // namespace orvel::test
