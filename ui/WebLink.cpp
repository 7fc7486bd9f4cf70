#include "ui/WebLink.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/LinkOpener.h"

namespace orvel {

namespace {
constexpr WStringView kMailPrefix = u"mailto:";

WString cut(WStringView text, size_t maxChars) {
  return WString(text.substr(0, std::min(text.size(), maxChars)));
}
}  // namespace

WebLink::WebLink(const WString& text, QWidget* parent)
    : QWidget(parent), m_text(cut(text, kMaxTextChars)) {
  setCursor(Qt::PointingHandCursor);
  underlineFont();
}

void WebLink::setText(WStringView text) {
  m_text = cut(text, kMaxTextChars);
  updateGeometry();
  update();
}

bool WebLink::setLink(WStringView link) {
  m_link = cut(link, kMaxLinkChars);
  update();
  return true;
}

WString WebLink::link(size_t capacityChars) const {
  if (capacityChars == 0) return {};
  return cut(m_link, capacityChars - 1);
}

void WebLink::setAlignment(Qt::Alignment alignment) {
  m_alignment = alignment;
  update();
}

QSize WebLink::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(QString::fromStdU16String(m_text)) + 2, metrics.height()};
}

QSize WebLink::minimumSizeHint() const { return {0, QFontMetrics(font()).height()}; }

void WebLink::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange && !m_settingFont) underlineFont();
}

void WebLink::underlineFont() {
  QFont underlined = font();
  if (underlined.underline()) return;
  underlined.setUnderline(true);
  m_settingFont = true;
  setFont(underlined);
  m_settingFont = false;
}

void WebLink::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(m_pressed ? kPressedColour : kLinkColour);
  painter.drawText(rect(), static_cast<int>(m_alignment | Qt::AlignVCenter | Qt::TextSingleLine),
                   QString::fromStdU16String(m_text));
}

void WebLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_pressed = true;
  update();
}

// Qt keeps sending the pen's moves to the control that was pressed, as the handheld's capture did.
void WebLink::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const bool inside = rect().contains(event->position().toPoint());
  if (inside == m_pressed) return;
  if (inside) {
    m_pressed = true;
    update();
  } else {
    release();
  }
}

void WebLink::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (rect().contains(event->position().toPoint())) openLink();
  release();
}

void WebLink::release() {
  if (!m_pressed) return;
  m_pressed = false;
  update();
}

void WebLink::openLink() const {
  if (m_link.empty()) return;
  if (startsWithNoCase(m_link, kMailPrefix)) {
    LinkOpener::current().openMail(m_link.substr(kMailPrefix.size()));
  } else {
    LinkOpener::current().openInBrowser(m_link);
  }
}

}  // namespace orvel
