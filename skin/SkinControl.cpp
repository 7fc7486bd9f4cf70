#include "skin/SkinControl.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include "skin/PostedEventHandOff.h"
#include "skin/SkinMessageEvent.h"

namespace orvel {
namespace {

// Positions arrive as the signed 16-bit halves of a message parameter.
int16_t coordinate(qreal value) { return static_cast<int16_t>(static_cast<int>(value)); }

}  // namespace

int SkinControl::s_classUsers = 0;

SkinControl::SkinControl() {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
}

SkinControl::~SkinControl() {
  if (m_holdsClass) --s_classUsers;
}

void SkinControl::sendToAll(QWidget* root, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (root == nullptr) return;
  if (auto* control = dynamic_cast<SkinControl*>(root))
    control->sendMessage(message, wParam, lParam);
  for (SkinControl* control : root->findChildren<SkinControl*>()) {
    control->sendMessage(message, wParam, lParam);
  }
}

void SkinControl::postToAll(QWidget* root, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (root == nullptr) return;
  if (dynamic_cast<SkinControl*>(root) != nullptr) {
    QCoreApplication::postEvent(root, new SkinMessageEvent(message, wParam, lParam));
  }
  for (SkinControl* control : root->findChildren<SkinControl*>()) {
    QCoreApplication::postEvent(control, new SkinMessageEvent(message, wParam, lParam));
  }
}

void SkinControl::enabledChanged(bool) {}
void SkinControl::paint(QPainter&, const QRect&) {}
void SkinControl::pointerDown(int, int) {}
void SkinControl::pointerUp(int, int) {}
void SkinControl::pointerMove(int, int) {}
void SkinControl::timer(int) {}
bool SkinControl::otherMessage(uint32_t, uintptr_t, intptr_t, intptr_t&) { return false; }

void SkinControl::enable(bool enabled) {
  m_enabled = enabled;
  enabledChanged(enabled);
}

void SkinControl::showControl(bool visible) { setVisible(visible); }

intptr_t SkinControl::sendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  intptr_t result = 0;
  return otherMessage(message, wParam, lParam, result) ? result : 0;
}

bool SkinControl::createWindow(QWidget* parent, const QRect& rect, bool visible) {
  if (!m_holdsClass) {
    ++s_classUsers;
    m_holdsClass = true;
  }
  m_clientRect = QRect(0, 0, rect.width(), rect.height());
  setParent(parent);
  setGeometry(rect);
  const bool allZero = rect.x() == 0 && rect.y() == 0 && rect.width() == 0 && rect.height() == 0;
  setVisible(visible && !allZero);
  return true;
}

bool SkinControl::event(QEvent* event) {
  PostedEventHandOff::receiving();
  if (event->type() == SkinMessageEvent::eventType()) {
    const auto* message = static_cast<SkinMessageEvent*>(event);
    sendMessage(message->message, message->wParam, message->lParam);
    return true;
  }
  return QWidget::event(event);
}

void SkinControl::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  paint(painter, event->rect());
}

void SkinControl::mousePressEvent(QMouseEvent* event) {
  // Qt grabs the pointer for the pressed widget until the release, as a capture would.
  if (event->button() != Qt::LeftButton) {
    event->ignore();  // other buttons go to the parent (tap-and-hold is a right click)
    return;
  }
  if (m_enabled) pointerDown(coordinate(event->position().x()), coordinate(event->position().y()));
}

void SkinControl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  if (m_enabled) pointerUp(coordinate(event->position().x()), coordinate(event->position().y()));
}

void SkinControl::mouseMoveEvent(QMouseEvent* event) {
  pointerMove(coordinate(event->position().x()), coordinate(event->position().y()));
}

void SkinControl::timerEvent(QTimerEvent* event) { timer(event->timerId()); }

}  // namespace orvel
