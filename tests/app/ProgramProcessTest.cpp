// The program as a user starts it: its own process on a private home, offscreen and silent.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "RunningProgram.h"
#include "platform/AppKeys.h"
#include "platform/Registry.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

TEST(ProgramProcess, PaintsItsWindowThenEndsCleanlyOnTerminationAndKeepsItsSettings) {
  test::testApplication();
  test::TempHome home;
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("ORVEL_RADIO_TRACE_START", "1");
  environment.insert("ORVEL_RADIO_AUDIO", "null");
  environment.insert("ORVEL_RADIO_NOTIFY", QString::fromStdString("dir:" + home.path("notify")));
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-radio"), {"--screen", "320x240"});
  ASSERT_TRUE(program.waitForStarted());

  const QRegularExpression painted(QStringLiteral("^first-paint (\\d+)$"),
                                   QRegularExpression::MultilineOption);
  QString errors;
  const bool sawPaint = test::waitUntil([&] {
    errors += QString::fromUtf8(program.readAllStandardError());
    return painted.match(errors).hasMatch() || program.state() == QProcess::NotRunning;
  }, 20000);
  EXPECT_TRUE(sawPaint && painted.match(errors).hasMatch()) << errors.toStdString();

  program.terminate();
  ASSERT_TRUE(test::waitUntil([&] { return program.state() == QProcess::NotRunning; }, 15000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  // The screen it ran on is kept, and the clean exit saved the settings: the first run is over.
  Registry registry(Registry::defaultPath());
  EXPECT_EQ(Startup::storedScreen(registry), (ScreenSize{320, 240}));
  const auto firstTime = registry.queryValue(kRadioKey, u"FirstTime");
  ASSERT_TRUE(firstTime.has_value());
  EXPECT_EQ(firstTime->data, (std::vector<uint8_t>{0, 0, 0, 0}));
}

}  // namespace
}  // namespace orvel
