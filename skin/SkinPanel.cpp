#include "skin/SkinPanel.h"

#include <QPainter>

#include "skin/SkinDescription.h"
#include "skin/SkinMessageEvent.h"
#include "skin/SkinPanelElement.h"

namespace orvel {

bool SkinPanel::panelRect(QRect& rect, bool imageSize) {
  auto* element = dynamic_cast<SkinPanelElement*>(m_description->ElementForLayout(m_elementIndex));
  if (element == nullptr) return false;
  m_width = element->width;
  m_height = element->height;
  if (imageSize) {
    if (const int w = m_picture->width(); w != 0) m_width = static_cast<uint16_t>(w);
    if (const int h = m_picture->height(); h != 0) m_height = static_cast<uint16_t>(h);
  }
  rect = QRect(element->x, element->y, m_width, m_height);
  return true;
}

bool SkinPanel::setup(QWidget* parent, SkinDescription& description, int elementIndex,
                      bool visible) {
  m_description = &description;
  m_elementIndex = elementIndex;
  m_picture = std::make_unique<BackgroundPicture>(description, elementIndex);
  QRect rect;
  return panelRect(rect, visible) && createWindow(parent, rect, visible);
}

void SkinPanel::paint(QPainter& painter, const QRect& dirty) {
  if (m_picture) m_picture->draw(painter, dirty, dirty.topLeft());
}

bool SkinPanel::otherMessage(uint32_t message, uintptr_t, intptr_t, intptr_t& result) {
  if (message != kSkinRelayoutMessage || m_description == nullptr) return false;
  QRect rect;
  if (panelRect(rect, true)) {
    setGeometry(rect);
    update();
  }
  result = 0;
  return true;
}

void SkinPanel::showControl(bool visible) {
  if (visible) resize(m_width, m_height);
  setVisible(visible);
}

}  // namespace orvel
