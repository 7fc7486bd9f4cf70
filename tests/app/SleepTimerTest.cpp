// The sleep timer in the real program, heard through the WAV device: the sound plays at the
// user's volume until the chosen time is up, fades out over the last 30 s of the output, and
// playback and the recording stop; the user's volume comes back.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "RunningProgram.h"
#include "StreamTestServer.h"
#include "library/RadioDatabase.h"
#include "platform/wave/WaveVolume.h"
#include "skin/SkinTextControl.h"
#include "ui/MainPanelControl.h"
#include "ui/SleepTimer.h"
#include "ui/SleepTimerDialog.h"

namespace orvel {
namespace {

constexpr size_t kWavHeaderBytes = 44;

struct Pcm {
  int channels = 0;
  int rate = 0;
  std::vector<int16_t> samples;
};

Pcm readWav(const std::string& path) {
  const std::string bytes = test::readFile(path);
  Pcm pcm;
  if (bytes.size() < kWavHeaderBytes) return pcm;
  uint16_t channels = 0, bits = 0;
  uint32_t rate = 0;
  std::memcpy(&channels, bytes.data() + 22, 2);
  std::memcpy(&rate, bytes.data() + 24, 4);
  std::memcpy(&bits, bytes.data() + 34, 2);
  if (bits != 16 || channels == 0) return pcm;
  pcm.channels = channels;
  pcm.rate = static_cast<int>(rate);
  pcm.samples.resize((bytes.size() - kWavHeaderBytes) / 2);
  std::memcpy(pcm.samples.data(), bytes.data() + kWavHeaderBytes, pcm.samples.size() * 2);
  return pcm;
}

// The RMS of each whole second of the output.
std::vector<double> rmsPerSecond(const Pcm& pcm) {
  std::vector<double> result;
  const size_t perSecond = static_cast<size_t>(pcm.rate) * pcm.channels;
  for (size_t start = 0; perSecond > 0 && start + perSecond <= pcm.samples.size();
       start += perSecond) {
    double sum = 0;
    for (size_t i = start; i < start + perSecond; ++i)
      sum += double(pcm.samples[i]) * pcm.samples[i];
    result.push_back(std::sqrt(sum / perSecond));
  }
  return result;
}

TEST(SleepTimer, TheSoundFadesOverTheLast30SecondsThenPlaybackAndRecordingStop) {
  test::StreamTestServer server;
  ASSERT_TRUE(server.running());
  test::RunningProgram program(ScreenSize{240, 320}, server.url("/radio"), true);
  const std::string wav = program.home().path("out.wav");
  // The sound device is chosen once per process: ctest runs each test in its own.
  program.home().setEnv("ORVEL_RADIO_AUDIO", "wav:" + wav);
  // 15 "minutes" last 6 s.
  program.home().setEnv("ORVEL_RADIO_SLEEP_SECONDS_PER_MINUTE", "0.4");
  WaveVolume::set(0xC000C000);
  ASSERT_TRUE(program.start());
  MainWindow* window = program.window();
  MainPanelControl* main = window->mainPanel();
  main->PlayStream(program.window()->database().GetPreset(0), 0, false);
  ASSERT_TRUE(test::waitUntil([&] { return main->player()->IsPlaying(); }));
  if (!std::filesystem::exists(wav)) GTEST_SKIP() << "another test chose the sound device";
  window->sendCommand(MainWindow::kCmdRecordStart);
  ASSERT_TRUE(test::waitUntil([&] { return !main->player()->RecordingPath().empty(); }));

  // The choice is made in the dialog, from the Tools menu's command.
  test::whenModal<SleepTimerDialog>([](SleepTimerDialog* dialog) {
    auto* times = dialog->item<QComboBox>(SleepTimerDialog::kTimeId);
    times->setCurrentIndex(times->findData(15));
    dialog->end(1);
  });
  window->sendCommand(MainWindow::kCmdSleepTimer);
  EXPECT_EQ(window->sleepTimer()->minutes(), 15);
  EXPECT_EQ(QString::fromStdU16String(main->stateText()->line(main->stateText()->currentLine())),
            QString("Sleep in 15 min"));

  ASSERT_TRUE(test::waitUntil([&] { return window->sleepTimer()->fading(); }, 10000));
  ASSERT_TRUE(test::waitUntil([&] { return !window->sleepTimer()->fading(); },
                              SleepTimer::kFadeMs + 10000));
  EXPECT_EQ(main->player()->state(), Player::Idle);
  EXPECT_TRUE(main->player()->RecordingPath().empty());
  EXPECT_EQ(WaveVolume::get(), 0xC000C000u);
  EXPECT_EQ(window->sleepTimer()->minutes(), 0);
  program.stop();

  const std::vector<double> rms = rmsPerSecond(readWav(wav));
  const size_t fadeSeconds = SleepTimer::kFadeMs / 1000;
  std::string heard;
  for (double each : rms) heard += std::to_string(int(each)) + " ";
  SCOPED_TRACE("RMS per second: " + heard);
  ASSERT_GT(rms.size(), fadeSeconds + 2);
  const double before = rms[rms.size() - fadeSeconds - 2];
  ASSERT_GT(before, 100.0);
  // Over the last 30 s every 5 s is quieter than the 5 s before, and the end is near silence.
  const auto span = [&](size_t from) {
    double sum = 0;
    for (size_t i = from; i < from + 5; ++i) sum += rms[i];
    return sum / 5;
  };
  double previous = before;
  for (size_t from = rms.size() - fadeSeconds; from + 5 <= rms.size(); from += 5) {
    EXPECT_LT(span(from), previous) << "at second " << from;
    previous = span(from);
  }
  EXPECT_LT(rms.back(), before * 0.1);
  EXPECT_GT(rms[rms.size() - fadeSeconds], before * 0.7);
}

}  // namespace
}  // namespace orvel
