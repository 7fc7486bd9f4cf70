#include "app/StartTrace.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvel {

StartTrace::StartTrace() {
  const char* trace = std::getenv("ORVEL_RADIO_TRACE_START");
  m_enabled = trace != nullptr && std::strcmp(trace, "1") == 0;
  m_clock.start();
}

void StartTrace::watch(QWidget* window) {
  if (!m_enabled || window == nullptr || QCoreApplication::instance() == nullptr) return;
  m_window = window;
  QCoreApplication::instance()->installEventFilter(this);
}

bool StartTrace::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == m_window) {
    QCoreApplication::instance()->removeEventFilter(this);
    std::fprintf(stderr, "first-paint %lld\n", static_cast<long long>(m_clock.elapsed()));
    std::fflush(stderr);
  }
  return false;
}

}  // namespace orvel
