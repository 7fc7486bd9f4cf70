#include "tests/app/RunningProgram.h"

#include <gtest/gtest.h>

#include "library/RadioDatabase.h"
#include "platform/FilePath.h"
#include "platform/ProgramDirectory.h"
#include "platform/wave/WaveVolume.h"

namespace orvel::test {

RunningProgram::RunningProgram(ScreenSize screen, const std::string& streamUrl, bool asPreset1) {
  testApplication();
  m_programDir = m_home.path("program");
  m_home.setEnv("ORVEL_RADIO_HOME", m_programDir);
  m_home.setEnv("ORVEL_RADIO_NOTIFY", "dir:" + m_home.path("notify"));
  m_home.setEnv("ORVEL_RADIO_AUDIO", "null");
  m_home.setEnv("no_proxy", "127.0.0.1,localhost");
  m_registry = std::make_unique<Registry>(Registry::defaultPath());
  WaveVolume::useRegistry(m_registry.get());
  EXPECT_TRUE(ProgramDirectory::seed(m_programDir, ORVEL_SOURCE_DIR "/resources", *m_registry));
  if (!streamUrl.empty()) addStream(streamUrl, asPreset1);
  m_startup = std::make_unique<Startup>(*m_registry, LaunchArguments{screen, u"", ""});
}

RunningProgram::~RunningProgram() {
  stop();
  m_startup.reset();
  WaveVolume::useRegistry(nullptr);
}

void RunningProgram::addStream(const std::string& url, bool asPreset1) {
  const WString radios = fromFsPath(m_programDir) + u"/Radios";
  RadioDatabase database;
  database.OpenDefaultLibrary(radios + u"/default.rrd");
  database.OpenUserLibrary(radios + u"/user.rrd");
  database.OpenPresets(radios + u"/presets.rrd");
  const CategoryInfo* category = database.AddCategory({kCategory}, true);
  const RadioInfo* radio = database.AddRadio(category, {kRadio, u"Loop"}, true);
  StreamInfo info;
  info.url = fromUtf8(url);
  info.bitrate = u"32";
  info.format = u"MP3";
  info.origin = kOriginUser;
  const StreamInfo* stream = database.AddStream(radio, info, true);
  database.SetSelectedStream(radio, stream);
  if (asPreset1) database.SetPreset(0, stream);
  EXPECT_TRUE(database.Close());
}

int RunningProgram::stop() {
  if (m_finished || !m_startup) return 0;
  m_finished = true;
  if (window() != nullptr) {
    QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
  }
  return m_startup->finish();
}

}  // namespace orvel::test
