#include "skin/SkinImageControl.h"

#include <QPainter>

#include "skin/BackgroundPicture.h"
#include "skin/SkinDescription.h"
#include "skin/SkinImageElement.h"
#include "skin/SkinMessageEvent.h"

namespace orvel {

bool SkinImageControl::setup(QWidget* parent, BackgroundPicture* background,
                             SkinDescription& description, int elementIndex, bool create,
                             bool visible) {
  m_background = background;
  m_description = &description;
  m_elementIndex = elementIndex;
  // Fetched for drawing, not only for layout, so that the frame count is right from the
  // start: counted without the image, a strip would show the wrong frames until a relayout.
  auto* element = dynamic_cast<SkinImageElement*>(description.ElementForDrawing(elementIndex));
  if (element == nullptr) return false;
  m_elementRect = element->rect();
  const QRect windowRect(element->x, element->y, m_elementRect.width(), m_elementRect.height());
  countFrames(*element);
  if (!create) {
    setGeometry(windowRect);
    return true;
  }
  m_frame = 0;
  return createWindow(parent, windowRect, visible);
}

void SkinImageControl::countFrames(const SkinImageElement& element) {
  const int width = element.width();
  m_frameCount = !element.image.isNull() && width > 0 ? element.image.width() / width : 0;
  if (m_background != nullptr) ++m_frameCount;
}

SkinImageElement* SkinImageControl::elementForDrawing() const {
  if (m_description == nullptr) return nullptr;
  return dynamic_cast<SkinImageElement*>(m_description->ElementForDrawing(m_elementIndex));
}

void SkinImageControl::paint(QPainter& painter, const QRect& dirty) {
  SkinImageElement* element = elementForDrawing();
  if (element == nullptr) return;
  if (m_frame == 0 && m_background != nullptr) {
    m_background->draw(painter, dirty.translated(m_elementRect.topLeft()), dirty.topLeft());
    return;
  }
  const int stripFrame = m_background != nullptr ? m_frame - 1 : m_frame;
  if (element->image.isNull()) return;
  painter.drawImage(dirty.topLeft(), element->image,
                    dirty.translated(stripFrame * m_elementRect.width(), 0));
}

bool SkinImageControl::otherMessage(uint32_t message, uintptr_t, intptr_t, intptr_t& result) {
  if (message != kSkinRelayoutMessage) return false;
  reload();
  result = 0;
  return true;
}

void SkinImageControl::reload() {
  if (elementForDrawing() == nullptr) return;
  setup(parentWidget(), m_background, *m_description, m_elementIndex, false, isVisible());
  update();
}

void SkinImageControl::setFrame(int index) {
  m_frame = index;
  update();
}

}  // namespace orvel
