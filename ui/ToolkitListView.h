#pragma once
// Gives a list of a dialog the handheld's pointer behaviour and reports it to the dialog as
// notifications: a tap selects the item alone and sends -190; a tap-and-hold (a right click,
// or a left press held 600 ms without moving more than 3 pixels) sends -191 and no -190;
// dragging over items selects the range from the first one (multi-selection lists only).
// The list's focus reaches the parent as its control id's command; keys that the list does not
// use (Enter, Escape, F1) go on to the parent as Qt passes them on. UI thread only; the object must outlive neither the list nor the parent.

#include <QObject>
#include <QAbstractItemView>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include "ui/ToolkitWindow.h"

class QMouseEvent;

namespace orvel {

class ToolkitListView : public QObject, public ToolkitWindow {
  Q_OBJECT

 public:
  enum Option : uint32_t {
    kDefaultOptions = 0x10000000,
    kDoubleTapActivates = 0x20000000,  // a tap sends -192, a double tap -190
    kTapToggles = 0x40000000,          // a tap toggles the item's selection
  };
  static constexpr int kHoldMs = 600;
  static constexpr int kMoveSlopPx = 3;

  ToolkitListView();
  ~ToolkitListView() override;

  // Attaches to the list; notifications go to parent with controlId as the sender id.
  void attach(QAbstractItemView* list, ToolkitWindow* parent, int controlId,
              uint32_t options = kDefaultOptions);

  // Set while an in-place edit of an item is open: the pointer is then left to the list.
  void setEditing(bool editing) { m_editing = editing; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool pointerDown(QMouseEvent* event);
  void pointerMove(QMouseEvent* event);
  void pointerUp();
  void doubleTap();
  void holdRecognised(QPoint viewportPoint);
  int rowAt(QPoint viewportPoint) const;
  void selectOnly(int row);
  void selectRange(int from, int to);
  void toggle(int row);
  void send(int code, int row, QPoint viewportPoint);

  QPointer<QAbstractItemView> m_list;
  ToolkitWindow* m_parent = nullptr;
  int m_controlId = 0;
  uint32_t m_options = kDefaultOptions;
  int m_anchor = -1;
  int m_lastDragged = -1;
  bool m_dragging = false;
  bool m_wasSelected = false;
  bool m_busy = false;  // a tap-and-hold was recognised; the pointer's release is ignored
  bool m_editing = false;
  bool m_tapPending = false;
  QPoint m_downPoint;
  QTimer m_holdTimer;
};

}  // namespace orvel
