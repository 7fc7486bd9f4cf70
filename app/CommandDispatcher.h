#pragma once
// Turns the command line into the message for the main window (the running instance's, or the
// new one's) and carries out the file side of "AlarmOff".
//
// The command line counts only while "Alarms.dat" can be read. "AlarmOn <preset>" posts 1025
// with the preset index. "AlarmOff <id>" removes the alarm with that id (when there is one),
// writes the list back, and posts 1026. Anything else posts nothing. UI thread.

#include <optional>
#include <string>

#include "platform/MessageTarget.h"
#include "platform/Text.h"

namespace orvel {

class AlarmNotifier;

class CommandDispatcher {
 public:
  // Returns the message that was posted to `window`, if any. With no window nothing is
  // posted and the alarm file is left alone.
  static std::optional<Message> dispatch(WStringView commandLine, const std::string& programDir,
                                         AlarmNotifier& notifier, MessageTarget* window);
};

}  // namespace orvel
