// orvel-radio: the skinned internet-radio player.
//
// orvel-radio [--screen WxH] [AlarmOn PRESET ID | AlarmOff ID | URL | PLAYLIST]

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/StartTrace.h"
#include "app/Startup.h"
#include "platform/Registry.h"

int main(int argc, char* argv[]) {
  orvel::StartTrace trace;
  const std::vector<std::string> args(argv, argv + argc);
  orvel::LaunchArguments arguments = orvel::CommandLine::parseArguments(args);
  if (!arguments.error.empty()) {
    std::fprintf(stderr, "orvel-radio: %s\n", arguments.error.c_str());
    return orvel::Startup::kExitFailed;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orvel-radio"));
  QApplication::setApplicationDisplayName(QStringLiteral("Orvel Radio"));
  orvel::Startup startup(orvel::Registry::global(), std::move(arguments));
  if (startup.start()) trace.watch(startup.mainWindow());
  return startup.finish();
}
