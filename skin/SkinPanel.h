#pragma once
// A panel of the player screen: a window showing its element's background image, parent of
// the buttons and texts placed on it. It owns the background picture they copy from.
// UI thread only.

#include <memory>

#include "skin/BackgroundPicture.h"
#include "skin/SkinControl.h"

namespace orvel {

class SkinDescription;
class SkinPanelElement;

class SkinPanel : public SkinControl {
 public:
  // Makes the window at the element's place in parent. Its size is the background image's
  // when the panel is visible and has one, else the element's Width and Height. False when
  // the element is missing or not a panel.
  bool setup(QWidget* parent, SkinDescription& description, int elementIndex, bool visible);

  void paint(QPainter& painter, const QRect& dirty) override;
  bool otherMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
  // Showing first resizes the window to the panel size.
  void showControl(bool visible) override;

  BackgroundPicture* backgroundPicture() const { return m_picture.get(); }
  int elementIndex() const { return m_elementIndex; }
  SkinDescription* description() const { return m_description; }

 private:
  // The panel's rectangle in its parent (sized by the image when imageSize and it has one);
  // false when the element is not a panel.
  bool panelRect(QRect& rect, bool imageSize);

  SkinDescription* m_description = nullptr;
  std::unique_ptr<BackgroundPicture> m_picture;
  int m_elementIndex = -1;
  uint16_t m_width = 0;
  uint16_t m_height = 0;
};

}  // namespace orvel
