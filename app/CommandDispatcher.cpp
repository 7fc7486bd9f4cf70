#include "app/CommandDispatcher.h"

#include "alarms/AlarmList.h"
#include "app/CommandLine.h"
#include "platform/AppKeys.h"

namespace orvel {

std::optional<Message> CommandDispatcher::dispatch(WStringView commandLine,
                                                   const std::string& programDir,
                                                   AlarmNotifier& notifier, MessageTarget* window) {
  if (window == nullptr) return std::nullopt;
  AlarmList alarms(notifier);
  const std::string path = AlarmList::filePath(programDir);
  if (!alarms.Load(path)) return std::nullopt;

  const AlarmCommand command = CommandLine::parseAlarmCommand(commandLine);
  Message message;
  switch (command.kind) {
    case AlarmCommandKind::None:
      return std::nullopt;
    case AlarmCommandKind::AlarmOn:
      message = Message{kMsgAlarmOn, static_cast<uintptr_t>(command.number), 0};
      break;
    case AlarmCommandKind::AlarmOff: {
      const int index = alarms.FindById(static_cast<uint32_t>(command.number));
      if (index >= 0) alarms.Remove(static_cast<size_t>(index));
      alarms.Save(path);
      message = Message{kMsgAlarmOff, 0, 0};
      break;
    }
  }
  window->post(message.message, message.wParam, message.lParam);
  return message;
}

}  // namespace orvel
