#include "skin/SkinButton.h"

#include <QPainter>

#include "skin/SkinButtonElement.h"
#include "skin/SkinDescription.h"
#include "skin/SkinFont.h"

namespace orvel {

SkinButton::SkinButton(ButtonListener* listener) : m_listener(listener) {}

bool SkinButton::setup(QWidget* parent, BackgroundPicture* background, SkinDescription& description,
                       int elementIndex, bool create, bool visible) {
  if (!SkinImageControl::setup(parent, background, description, elementIndex, create, visible)) {
    return false;
  }
  m_pressed = false;
  auto* element = dynamic_cast<SkinButtonElement*>(description.ElementForLayout(elementIndex));
  if (element == nullptr) return false;
  if (!element->fontName.empty()) {
    m_font = SkinFont::make(element->fontName, element->fontSize, true);
    m_textRect = QRect(QPoint(element->textLeft, element->textTop),
                       QPoint(element->textRight - 1, element->textBottom - 1));
    m_textColor = element->textColor;
  }
  return true;
}

int SkinButton::frameFor(State state) const { return 3 * m_mode + frameCount() % 3 + state; }

void SkinButton::setCaption(const WString& caption) {
  m_caption = QString::fromStdU16String(caption);
  update();
}

void SkinButton::setMode(int mode) {
  m_mode = mode;
  setFrame(frameFor(kNormal));
}

void SkinButton::enabledChanged(bool enabled) { setFrame(frameFor(enabled ? kNormal : kDisabled)); }

void SkinButton::notifyListener(uint32_t code, const QPoint* point) {
  if (m_listener != nullptr) m_listener->notify(code, ButtonListener::Notification{this, point});
}

void SkinButton::pointerDown(int x, int y) {
  m_pressed = true;
  // A press starts inside: a tap after a slid-off release must click again.
  m_outside = false;
  setFrame(frameFor(kPressed));
  const QPoint onScreen = mapToGlobal(QPoint(x, y));
  notifyListener(ButtonListener::kNotifyPressed, &onScreen);
}

void SkinButton::pointerMove(int x, int y) {
  if (clientRect().contains(x, y)) {
    m_outside = false;
    return;
  }
  m_outside = true;
  if (isControlEnabled()) setFrame(frameFor(kNormal));
}

void SkinButton::pointerUp(int, int) {
  setFrame(frameFor(kNormal));
  if (m_pressed) {
    notifyListener(ButtonListener::kNotifyReleased, nullptr);
    if (!m_outside) notifyListener(ButtonListener::kNotifyClicked, nullptr);
  }
  m_pressed = false;
}

void SkinButton::paint(QPainter& painter, const QRect& dirty) {
  SkinImageControl::paint(painter, dirty);
  if (m_caption.isEmpty()) return;
  painter.save();
  painter.setPen(QColor(m_textColor));
  painter.setFont(m_font);
  painter.drawText(m_textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_caption);
  painter.restore();
}

void SkinButton::reload() {
  if (elementForDrawing() == nullptr) return;
  setup(parentWidget(), background(), *description(), elementIndex(), false, isVisible());
  update();
}

}  // namespace orvel
