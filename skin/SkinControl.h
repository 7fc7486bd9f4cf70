#pragma once
// The base of every skin control: a child widget bound to one element of the current skin.
// Qt's events arrive as the designed operations (paint, pointer down/up/move, timer, other
// message); subclasses override those. UI thread only.
//
// Controls paint everything themselves (no background erase). The enabled flag is the
// control's own: a disabled control still receives the pointer, it only skips pointer down
// and up. A count of live control windows stands for the shared window class: the class is
// "registered" while at least one control window exists.

#include <QRect>
#include <QWidget>
#include <cstdint>

namespace orvel {

class SkinControl : public QWidget {
 public:
  SkinControl();
  ~SkinControl() override;
  SkinControl(const SkinControl&) = delete;
  SkinControl& operator=(const SkinControl&) = delete;

  // Whether any control window exists (the shared window class is registered).
  static bool classRegistered() { return s_classUsers > 0; }
  // Sends (now) or posts (through the event queue) a message to every skin control in the
  // widget tree under root, root included. After a new parse, send the relayout message: a
  // control must re-read its element before it paints again.
  static void sendToAll(QWidget* root, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
  static void postToAll(QWidget* root, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

  virtual void enabledChanged(bool enabled);
  virtual void paint(QPainter& painter, const QRect& dirty);
  virtual void pointerDown(int x, int y);
  virtual void pointerUp(int x, int y);
  virtual void pointerMove(int x, int y);
  virtual void timer(int timerId);
  // A message that no other operation takes; true when handled, with its result.
  virtual bool otherMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);

  // Stores the flag and tells enabledChanged.
  void enable(bool enabled);
  // Shows or hides the window.
  virtual void showControl(bool visible);

  // Delivers a message now, as the window procedure would; its result (0 when unhandled).
  intptr_t sendMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

  bool isControlEnabled() const { return m_enabled; }
  // (0, 0, width, height) of the window when it was made.
  const QRect& clientRect() const { return m_clientRect; }

 protected:
  // Makes this the child window of parent at rect; hidden when the rectangle is all zero.
  bool createWindow(QWidget* parent, const QRect& rect, bool visible);

  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  static int s_classUsers;  // controls that made their window; UI thread only, like them

  QRect m_clientRect;
  bool m_enabled = true;
  bool m_holdsClass = false;
};

}  // namespace orvel
