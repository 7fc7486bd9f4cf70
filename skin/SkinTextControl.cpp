#include "skin/SkinTextControl.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTimerEvent>

#include "skin/BackgroundPicture.h"
#include "skin/SkinDescription.h"
#include "skin/SkinFont.h"
#include "skin/SkinTextElement.h"

namespace orvel {

bool SkinTextControl::setup(QWidget* parent, BackgroundPicture* background,
                            SkinDescription& description, int elementIndex, bool create,
                            bool visible) {
  if (!SkinImageControl::setup(parent, background, description, elementIndex, create, visible)) {
    return false;
  }
  auto* element = dynamic_cast<SkinTextElement*>(description.ElementForLayout(elementIndex));
  if (element == nullptr) return false;
  if (create) {
    m_lines.clear();
    m_widths.clear();
    m_current = 0;
  }
  m_font = SkinFont::make(element->fontName, element->fontSize, false);
  m_textRect = QRect(0, 0, element->width(), element->height());
  m_scrolling = element->scrolling;
  m_autoScroll = element->scrolling;
  m_textColor = element->textColor;
  m_surface = QImage(std::max(1, m_textRect.width()), std::max(1, m_textRect.height()),
                     QImage::Format_RGB32);
  // Lines kept across a new skin are measured again with its font.
  for (size_t i = 0; i < m_lines.size(); ++i) m_widths[i] = measure(m_lines[i]);
  return true;
}

int SkinTextControl::measure(const QString& text) const {
  return QFontMetrics(m_font).horizontalAdvance(text) + 1;
}

bool SkinTextControl::setLineCount(int n) {
  if (n < 0) return false;
  if (n != lineCount()) {
    m_lines.assign(n, QString());
    m_widths.assign(n, 0);
    m_current = 0;
  }
  return true;
}

void SkinTextControl::setLine(const WString& text, int index) {
  if (index < 0 || index >= lineCount()) return;
  m_lines[index] = QString::fromStdU16String(text);
  m_widths[index] = measure(m_lines[index]);
  showLine(0);
}

WString SkinTextControl::line(int index) const {
  return index >= 0 && index < lineCount() ? m_lines[index].toStdU16String() : WString();
}

int SkinTextControl::lineWidth(int index) const {
  return index >= 0 && index < lineCount() ? m_widths[index] : 0;
}

void SkinTextControl::showLine(int index) {
  if (index < 0 || index >= lineCount()) return;
  m_current = index;
  if (m_scrolling) {
    if (m_widths[index] > m_textRect.width()) {
      startMarquee();
    } else {
      stopMarquee();
    }
  }
  scrollStep(0);
}

void SkinTextControl::startMarquee() {
  stopMarquee();
  m_timerId = startTimer(kMarqueePeriodMs);
}

void SkinTextControl::stopMarquee() {
  if (m_timerId != 0) killTimer(m_timerId);
  m_timerId = 0;
}

void SkinTextControl::scrollStep(int direction) {
  if (direction == 0) {
    m_offset = 0;
    m_pause = -kRestTicks;
  } else if (direction > 0) {
    if (m_pause > 1) {
      --m_pause;
    } else if ((m_offset += kScrollStepPixels) > 0) {
      m_offset = 0;
      m_pause = -kRestTicks;
    }
  } else if (m_pause < -1) {
    ++m_pause;
  } else {
    m_offset -= kScrollStepPixels;
    const int overflow = lineWidth(m_current) - m_textRect.width();
    if (overflow <= 0) {
      m_offset = 0;
    } else if (m_offset < -overflow) {
      m_offset = -overflow;
      m_pause = kRestTicks;
    }
  }
  update();
}

void SkinTextControl::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_timerId) timer(kMarqueeTimerId);
}

void SkinTextControl::timer(int timerId) {
  if (timerId == kMarqueeTimerId) scrollStep(m_pause);
}

void SkinTextControl::pointerDown(int x, int) {
  if (m_scrolling) {
    stopMarquee();
    m_pressTime.start();
  } else if (lineCount() > 0) {
    m_current = (m_current + 1) % lineCount();
    update();
  }
  m_lastX = x;
}

void SkinTextControl::pointerMove(int x, int) {
  if (x > m_lastX) scrollStep(1);
  if (x < m_lastX) scrollStep(-1);
  m_lastX = x;
}

void SkinTextControl::pointerUp(int, int) {
  if (!m_scrolling) return;
  if (m_pressTime.isValid() && m_pressTime.elapsed() < kTapMs) m_autoScroll = !m_autoScroll;
  if (m_autoScroll) startMarquee();
}

void SkinTextControl::paint(QPainter& painter, const QRect&) {
  SkinImageElement* element = elementForDrawing();
  if (element == nullptr) return;
  if (element->layoutPending) {
    setup(parentWidget(), background(), *description(), elementIndex(), false, isVisible());
  }
  QPainter surface(&m_surface);
  if (background() != nullptr) {
    background()->draw(surface, QRect(elementRect().topLeft(), m_surface.size()));
  }
  if (m_current < lineCount()) {
    surface.setFont(m_font);
    surface.setPen(QColor(m_textColor));
    // The line is drawn in full width, so only the control's edge cuts it.
    const QRect lineRect =
        m_textRect.translated(m_offset, 0).adjusted(0, 0, std::max(0, lineWidth(m_current)), 0);
    surface.drawText(lineRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     m_lines[m_current]);
  }
  surface.end();
  painter.drawImage(0, 0, m_surface);
}

void SkinTextControl::reload() {
  if (elementForDrawing() == nullptr) return;
  setup(parentWidget(), background(), *description(), elementIndex(), false, isVisible());
  update();
}

}  // namespace orvel
