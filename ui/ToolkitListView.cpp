#include "ui/ToolkitListView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>

namespace orvel {

ToolkitListView::ToolkitListView() : ToolkitWindow(nullptr) {
  m_holdTimer.setSingleShot(true);
  m_holdTimer.setInterval(kHoldMs);
  connect(&m_holdTimer, &QTimer::timeout, this, [this] { holdRecognised(m_downPoint); });
}

ToolkitListView::~ToolkitListView() {
  if (m_list != nullptr) {
    m_list->removeEventFilter(this);
    m_list->viewport()->removeEventFilter(this);
  }
}

void ToolkitListView::attach(QAbstractItemView* list, ToolkitWindow* parent, int controlId,
                             uint32_t options) {
  m_list = list;
  m_parent = parent;
  m_controlId = controlId;
  m_options = options;
  list->installEventFilter(this);
  list->viewport()->installEventFilter(this);
}

bool ToolkitListView::eventFilter(QObject* watched, QEvent* event) {
  if (m_list == nullptr || m_editing) return false;
  if (watched == m_list) {
    if (event->type() == QEvent::FocusIn) m_parent->sendCommand(m_controlId);
    return false;
  }
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      return pointerDown(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
      pointerMove(static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) pointerUp();
      return true;
    case QEvent::MouseButtonDblClick:
      doubleTap();
      return true;
    default:
      return false;
  }
}

bool ToolkitListView::pointerDown(QMouseEvent* event) {
  if (event->modifiers() & Qt::AltModifier) return false;
  const QPoint point = event->position().toPoint();
  m_anchor = rowAt(point);
  m_lastDragged = m_anchor;
  m_dragging = false;
  m_busy = false;
  if (m_anchor < 0) {
    m_list->clearSelection();
  } else {
    const QModelIndex index = m_list->model()->index(m_anchor, 0);
    m_wasSelected = m_list->selectionModel()->isSelected(index);
    if (!(m_options & kTapToggles) && !m_wasSelected) selectOnly(m_anchor);
    m_list->setFocus(Qt::MouseFocusReason);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  }
  m_downPoint = point;
  if (event->button() == Qt::RightButton) {
    holdRecognised(point);
  } else if (event->button() == Qt::LeftButton) {
    m_tapPending = true;
    m_holdTimer.start();
  }
  return true;
}

void ToolkitListView::pointerMove(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (m_tapPending && (point - m_downPoint).manhattanLength() > kMoveSlopPx) {
    m_tapPending = false;
    m_holdTimer.stop();
    m_dragging = m_anchor >= 0 && m_list->selectionMode() != QAbstractItemView::SingleSelection;
  }
  if (!m_dragging) return;
  const int row = rowAt(point);
  if (row >= 0 && row != m_lastDragged) {
    m_lastDragged = row;
    selectRange(m_anchor, row);
  }
}

void ToolkitListView::pointerUp() {
  m_holdTimer.stop();
  m_dragging = false;
  if (!m_tapPending || m_busy) return;
  m_tapPending = false;
  if (m_options & kTapToggles) {
    if (m_anchor < 0) {
      m_list->clearSelection();
    } else {
      toggle(m_anchor);
    }
    return;
  }
  if (m_anchor < 0) return;
  selectOnly(m_anchor);
  send(m_options & kDoubleTapActivates ? ToolkitNotification::kSingleTap : ToolkitNotification::kTap,
       m_anchor, m_downPoint);
}

void ToolkitListView::doubleTap() {
  if (m_options & kTapToggles || m_anchor < 0) return;
  selectOnly(m_anchor);
  if (m_options & kDoubleTapActivates) send(ToolkitNotification::kTap, m_anchor, m_downPoint);
}

void ToolkitListView::holdRecognised(QPoint viewportPoint) {
  m_holdTimer.stop();
  m_tapPending = false;
  m_busy = true;
  send(ToolkitNotification::kTapAndHold, rowAt(viewportPoint), viewportPoint);
}

int ToolkitListView::rowAt(QPoint viewportPoint) const {
  const QModelIndex index = m_list->indexAt(viewportPoint);
  return index.isValid() ? index.row() : -1;
}

void ToolkitListView::selectOnly(int row) {
  const QModelIndex index = m_list->model()->index(row, 0);
  m_list->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ToolkitListView::selectRange(int from, int to) {
  const QAbstractItemModel* model = m_list->model();
  const int last = model->columnCount() - 1;
  const QItemSelection range(model->index(std::min(from, to), 0),
                             model->index(std::max(from, to), last));
  m_list->selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

void ToolkitListView::toggle(int row) {
  m_list->selectionModel()->select(m_list->model()->index(row, 0),
                                   QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
}

void ToolkitListView::send(int code, int row, QPoint viewportPoint) {
  ToolkitNotification notification;
  notification.sender = m_list;
  notification.senderId = m_controlId;
  notification.code = code;
  notification.item = row;
  notification.screenPoint = m_list->viewport()->mapToGlobal(viewportPoint);
  m_parent->notify(notification);
}

}  // namespace orvel
