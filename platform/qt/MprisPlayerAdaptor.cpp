#include "platform/qt/MprisPlayerAdaptor.h"

#include <algorithm>

#include "platform/qt/MprisService.h"

namespace orvel {

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

QString MprisPlayerAdaptor::playbackStatus() const {
  m_service->refresh();
  return m_service->playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const {
  m_service->refresh();
  return m_service->metadata();
}

double MprisPlayerAdaptor::volume() const { return m_service->current().volume; }

void MprisPlayerAdaptor::setVolume(double volume) {
  m_service->control().mediaSetVolume(std::clamp(volume, 0.0, 1.0));
  m_service->refresh();
}

bool MprisPlayerAdaptor::canGoNext() const { return m_service->current().canGoNext; }

bool MprisPlayerAdaptor::canGoPrevious() const { return m_service->current().canGoPrevious; }

bool MprisPlayerAdaptor::canPlay() const { return m_service->current().canPlay; }

bool MprisPlayerAdaptor::canPause() const { return m_service->current().canPause; }

void MprisPlayerAdaptor::Next() { m_service->control().mediaStep(1); }

void MprisPlayerAdaptor::Previous() { m_service->control().mediaStep(-1); }

void MprisPlayerAdaptor::Pause() { m_service->control().mediaPause(); }

void MprisPlayerAdaptor::PlayPause() {
  if (m_service->current().status == MediaPlayerState::Status::Playing) {
    m_service->control().mediaPause();
  } else {
    m_service->control().mediaPlay();
  }
}

void MprisPlayerAdaptor::Stop() { m_service->control().mediaStop(); }

void MprisPlayerAdaptor::Play() { m_service->control().mediaPlay(); }

// A live stream cannot be sought: both are ignored, as CanSeek says.
void MprisPlayerAdaptor::Seek(qlonglong) {}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath&, qlonglong) {}

void MprisPlayerAdaptor::OpenUri(const QString& uri) { m_service->control().mediaOpen(uri); }

}  // namespace orvel
