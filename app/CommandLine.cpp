#include "app/CommandLine.h"

#include <charconv>

namespace orvel {
namespace {

constexpr char16_t kAlarmOn[] = u"AlarmOn";
constexpr char16_t kAlarmOff[] = u"AlarmOff";

std::optional<int> parseSide(std::string_view text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < CommandLine::kMinScreenSide || value > CommandLine::kMaxScreenSide) {
    return std::nullopt;
  }
  return value;
}

// The number that begins one character after the word; the word must stand at position 0.
std::optional<int32_t> numberAfter(WStringView commandLine, WStringView word) {
  if (commandLine.substr(0, word.size()) != word) return std::nullopt;
  const WStringView rest = commandLine.size() > word.size() ? commandLine.substr(word.size() + 1)
                                                            : WStringView();
  return wtol(rest);
}

}  // namespace

std::optional<ScreenSize> CommandLine::parseScreenSize(std::string_view text) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const auto width = parseSide(text.substr(0, x));
  const auto height = parseSide(text.substr(x + 1));
  if (!width || !height) return std::nullopt;
  return ScreenSize{*width, *height};
}

LaunchArguments CommandLine::parseArguments(const std::vector<std::string>& argv) {
  LaunchArguments result;
  size_t first = 1;
  if (argv.size() > 1 && argv[1].rfind("--screen", 0) == 0) {
    std::string value;
    if (argv[1].size() > 9 && argv[1][8] == '=') {
      value = argv[1].substr(9);
      first = 2;
    } else if (argv[1] == "--screen" && argv.size() > 2) {
      value = argv[2];
      first = 3;
    }
    result.screen = parseScreenSize(value);
    if (!result.screen) {
      result.error = "--screen wants WIDTHxHEIGHT, each side from " +
                     std::to_string(kMinScreenSide) + " to " + std::to_string(kMaxScreenSide) +
                     " pixels (for example --screen 240x320)";
      return result;
    }
  }
  for (size_t i = first; i < argv.size(); ++i) {
    if (i > first) result.commandLine.push_back(u' ');
    result.commandLine += decodeAnsi(argv[i]);
  }
  return result;
}

AlarmCommand CommandLine::parseAlarmCommand(WStringView commandLine) {
  // "AlarmOff" does not begin with "AlarmOn", so the order of the two tests does not matter.
  if (auto preset = numberAfter(commandLine, kAlarmOn)) {
    return AlarmCommand{AlarmCommandKind::AlarmOn, *preset};
  }
  if (auto id = numberAfter(commandLine, kAlarmOff)) {
    return AlarmCommand{AlarmCommandKind::AlarmOff, *id};
  }
  return AlarmCommand{};
}

}  // namespace orvel
