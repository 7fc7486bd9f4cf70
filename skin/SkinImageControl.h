#pragma once
// A control that shows one frame of its element's image strip, or the panel background
// beneath it (frame 0 when it has a background picture). Base of buttons and text lines.
// UI thread only.

#include "skin/SkinControl.h"

namespace orvel {

class BackgroundPicture;
class SkinDescription;
class SkinImageElement;

class SkinImageControl : public SkinControl {
 public:
  // With create, makes the window at the element's place in parent (frame 0); without it,
  // re-reads the element and moves the existing window. background (not owned) may be null.
  // False when the element is missing or of another kind.
  bool setup(QWidget* parent, BackgroundPicture* background, SkinDescription& description,
             int elementIndex, bool create, bool visible);

  void paint(QPainter& painter, const QRect& dirty) override;
  bool otherMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
  // Re-reads the element (place, image, frame count) after the skin was parsed again. It does
  // so whether or not the element is still marked as new: a paint that came first may have
  // taken the mark.
  virtual void reload();

  void setFrame(int index);
  int frame() const { return m_frame; }
  int frameCount() const { return m_frameCount; }
  int elementIndex() const { return m_elementIndex; }
  // The control's place on the panel (left, top, width, height).
  const QRect& elementRect() const { return m_elementRect; }

 protected:
  SkinImageElement* elementForDrawing() const;
  BackgroundPicture* background() const { return m_background; }
  SkinDescription* description() const { return m_description; }
  void countFrames(const SkinImageElement& element);

 private:
  BackgroundPicture* m_background = nullptr;
  SkinDescription* m_description = nullptr;
  int m_elementIndex = -1;
  QRect m_elementRect;
  int m_frame = 0;
  int m_frameCount = 0;
};

}  // namespace orvel
