#pragma once
// The program's command line.
//
// `--screen WxH` as the first argument chooses the screen size and is removed. What is left,
// joined with single spaces, is the command line that the notification service gives:
// "AlarmOn <preset> <id>" or "AlarmOff <id>" (the words compared with case, one separator
// character, the number read like _wtol), or a link to play (see StreamLink). Anything else
// asks for nothing.

#include <optional>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace orvel {

struct ScreenSize {
  int width = 0;
  int height = 0;
  bool operator==(const ScreenSize&) const = default;
};

struct LaunchArguments {
  std::optional<ScreenSize> screen;
  WString commandLine;  // the arguments after the options, joined with single spaces
  std::string error;    // non-empty when the arguments cannot be used
};

enum class AlarmCommandKind { None, AlarmOn, AlarmOff };

struct AlarmCommand {
  AlarmCommandKind kind = AlarmCommandKind::None;
  int32_t number = 0;  // the preset index for AlarmOn, the alarm id for AlarmOff
};

class CommandLine {
 public:
  static constexpr int kMinScreenSide = 120;
  static constexpr int kMaxScreenSide = 4096;

  // argv[0] is the program; the rest are decoded with the program's 8-bit rule.
  static LaunchArguments parseArguments(const std::vector<std::string>& argv);
  static std::optional<ScreenSize> parseScreenSize(std::string_view text);
  static AlarmCommand parseAlarmCommand(WStringView commandLine);
};

}  // namespace orvel
