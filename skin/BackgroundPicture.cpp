#include "skin/BackgroundPicture.h"

#include <QPainter>

#include "skin/SkinDescription.h"
#include "skin/SkinPanelElement.h"

namespace orvel {

BackgroundPicture::BackgroundPicture(SkinDescription& description, int elementIndex)
    : m_description(description), m_elementIndex(elementIndex) {}

void BackgroundPicture::refresh() {
  auto* panel = dynamic_cast<SkinPanelElement*>(m_description.ElementForDrawing(m_elementIndex));
  // Taken on every use (a shared copy), so the picture never outlives the skin it came from.
  m_image = panel != nullptr ? panel->image : QImage();
}

void BackgroundPicture::draw(QPainter& painter, const QRect& source, QPoint destination) {
  refresh();
  if (m_image.isNull()) return;
  painter.drawImage(destination, m_image, source.isNull() ? m_image.rect() : source);
}

int BackgroundPicture::width() {
  refresh();
  return m_image.width();
}

int BackgroundPicture::height() {
  refresh();
  return m_image.height();
}

}  // namespace orvel
