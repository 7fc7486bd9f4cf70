#pragma once
// A skin button: its look is one frame of its element's image strip, chosen by mode (for
// example "playing") and state (normal, pressed, disabled), with an optional caption in the
// skin's font. It tells its listener when it is pressed, released and clicked. UI thread only.

#include <QFont>
#include <QRgb>

#include "platform/Text.h"
#include "skin/ButtonListener.h"
#include "skin/SkinImageControl.h"

namespace orvel {

class SkinButton : public SkinImageControl {
 public:
  enum State { kNormal = 0, kPressed = 1, kDisabled = 2 };

  // listener: not owned, may be null.
  explicit SkinButton(ButtonListener* listener);

  // The image control's setup, then the caption font, rectangle and colour of the element
  // (kept as they were when the element names no font).
  bool setup(QWidget* parent, BackgroundPicture* background, SkinDescription& description,
             int elementIndex, bool create, bool visible);

  // The frame for a state in the current mode: 3 x mode + (frame count mod 3) + state. Strips
  // of 3k frames on a background show strip frame 3 x mode + state; strips of 3k - 1 show the
  // background for the normal look of mode 0.
  int frameFor(State state) const;

  void setCaption(const WString& caption);
  const QString& caption() const { return m_caption; }
  void setMode(int mode);
  int mode() const { return m_mode; }
  bool isPressed() const { return m_pressed; }

  void enabledChanged(bool enabled) override;
  void paint(QPainter& painter, const QRect& dirty) override;
  void pointerDown(int x, int y) override;
  void pointerUp(int x, int y) override;
  void pointerMove(int x, int y) override;
  void reload() override;

 private:
  void notifyListener(uint32_t code, const QPoint* point);

  ButtonListener* m_listener;
  QString m_caption;
  QRect m_textRect;
  QFont m_font;
  QRgb m_textColor = qRgb(0, 0, 0);
  int m_mode = 0;
  bool m_outside = false;
  bool m_pressed = false;
};

}  // namespace orvel
