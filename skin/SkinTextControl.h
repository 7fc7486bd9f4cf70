#pragma once
// A skin text line: one of a few lines of text in the element's font and colour, drawn over
// the panel background beneath it. With the element's scrolling flag, a line wider than the
// control scrolls back and forth (a marquee: rest, scroll left 3 pixels per 150 ms tick to
// the end, rest, scroll back); the user can drag it, and a short tap stops or restarts it.
// Without the flag a tap shows the next line. UI thread only.

#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QRgb>
#include <vector>

#include "platform/Text.h"
#include "skin/SkinImageControl.h"

namespace orvel {

class SkinTextControl : public SkinImageControl {
 public:
  static constexpr int kMarqueeTimerId = 1;
  static constexpr int kMarqueePeriodMs = 150;
  static constexpr int kScrollStepPixels = 3;
  static constexpr int kRestTicks = 10;
  // A touch shorter than this toggles the marquee.
  static constexpr int kTapMs = 100;

  // The image control's setup, then the font, colour and scrolling flag of the element. With
  // create the lines start empty; without it they stay (and are measured again).
  bool setup(QWidget* parent, BackgroundPicture* background, SkinDescription& description,
             int elementIndex, bool create, bool visible);

  // Makes n empty lines when n differs from the count; n < 0 is refused.
  bool setLineCount(int n);
  // Replaces line index (ignored out of range) and shows line 0.
  void setLine(const WString& text, int index);
  // Shows line index (ignored out of range) from its start; the marquee runs when the line
  // scrolls and is wider than the control.
  void showLine(int index);
  // One marquee step: direction 0 resets, > 0 moves right (or rests), < 0 moves left.
  void scrollStep(int direction);

  int lineCount() const { return static_cast<int>(m_lines.size()); }
  int currentLine() const { return m_current; }
  WString line(int index) const;
  int lineWidth(int index) const;
  int scrollOffset() const { return m_offset; }
  int pauseCounter() const { return m_pause; }
  bool marqueeRunning() const { return m_timerId != 0; }
  bool autoScroll() const { return m_autoScroll; }

  void paint(QPainter& painter, const QRect& dirty) override;
  void pointerDown(int x, int y) override;
  void pointerUp(int x, int y) override;
  void pointerMove(int x, int y) override;
  void timer(int timerId) override;
  void reload() override;

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  void startMarquee();
  void stopMarquee();
  int measure(const QString& text) const;

  QRect m_textRect;
  QFont m_font;
  QRgb m_textColor = qRgb(0, 0, 0);
  bool m_scrolling = false;
  bool m_autoScroll = false;
  QElapsedTimer m_pressTime;
  int m_timerId = 0;  // Qt's id of the running marquee timer; 0 when stopped
  std::vector<QString> m_lines;
  std::vector<int> m_widths;
  int m_current = 0;
  int m_offset = 0;  // <= 0: how far the line is moved left
  int m_pause = -kRestTicks;
  QImage m_surface;  // the control's picture is composed here, then copied in one step
  int m_lastX = 0;
};

}  // namespace orvel
