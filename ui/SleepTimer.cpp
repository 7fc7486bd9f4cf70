#include "ui/SleepTimer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/wave/WaveVolume.h"
#include "ui/MainPanelControl.h"

namespace orvel {
namespace {

constexpr uint32_t kChannelMax = 0xFFFF;
constexpr int kDefaultMinuteMs = 60000;

}  // namespace

SleepTimer::SleepTimer(MainPanelControl& panel) : m_panel(panel) {
  m_sleep.setSingleShot(true);
  m_sleep.setTimerType(Qt::PreciseTimer);
  QObject::connect(&m_sleep, &QTimer::timeout, [this] { beginFade(); });
  QObject::connect(&m_fade, &QTimer::timeout, [this] { fadeStep(); });
}

SleepTimer::~SleepTimer() { set(0); }

int SleepTimer::minuteMs() {
  const char* value = std::getenv("ORVEL_RADIO_SLEEP_SECONDS_PER_MINUTE");
  if (value == nullptr || *value == '\0') return kDefaultMinuteMs;
  char* end = nullptr;
  const double seconds = std::strtod(value, &end);
  if (*end != '\0' || !(seconds >= 0) || seconds > 60) return kDefaultMinuteMs;
  return static_cast<int>(std::lround(seconds * 1000));
}

uint32_t SleepTimer::scaledVolume(uint32_t volume, double fraction) {
  const double f = std::clamp(fraction, 0.0, 1.0);
  const auto scale = [f](uint32_t channel) {
    return static_cast<uint32_t>(std::lround(channel * f));
  };
  return scale(volume & kChannelMax) | (scale(volume >> 16) << 16);
}

void SleepTimer::set(int minutes) {
  m_sleep.stop();
  if (fading()) endFade();
  m_minutes = std::max(minutes, 0);
  if (m_minutes == 0) return;
  m_sleep.start(m_minutes * minuteMs());
  m_panel.showTransient(QStringLiteral("Sleep in %1 min").arg(m_minutes).toStdU16String());
}

void SleepTimer::beginFade() {
  m_minutes = 0;
  m_userVolume = WaveVolume::get();
  m_stopping = false;
  m_fadeClock.start();
  m_fade.start(kFadeStepMs);
}

void SleepTimer::fadeStep() {
  if (m_stopping) {
    // The last buffers play out at volume 0; the user's volume comes back once they are done.
    const Player* player = m_panel.player();
    if (player == nullptr || player->state() == Player::Idle) endFade();
    return;
  }
  const double left = 1.0 - static_cast<double>(m_fadeClock.elapsed()) / kFadeMs;
  WaveVolume::change(scaledVolume(m_userVolume, left));
  if (left > 0) return;
  m_stopping = true;
  m_panel.recordStop();
  m_panel.StopPlayback();
}

void SleepTimer::endFade() {
  m_fade.stop();
  m_fadeClock.invalidate();
  m_stopping = false;
  WaveVolume::change(m_userVolume);
}

}  // namespace orvel
