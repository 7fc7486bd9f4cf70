#include "ui/RadioListDelegate.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/RadioRowItem.h"

namespace orvel {

namespace {
const QColor kCategoryBack(207, 207, 207);
const QColor kRadioBack(185, 211, 255);
const QColor kStreamBack(214, 229, 253);
const QColor kSelectedBack(16, 85, 181);
const QColor kCategoryTopLine(233, 233, 233);
const QColor kCategoryBottomLine(98, 98, 98);
constexpr int kRadioIndent = 7;    // times k
constexpr int kStreamIndent = 14;  // times k
}  // namespace

RadioListDelegate::RadioListDelegate(int k, QFont font,
                                     std::function<const RadioRowItem*(const QModelIndex&)> rowOf,
                                     QObject* parent)
    : QStyledItemDelegate(parent),
      m_k(k),
      m_font(std::move(font)),
      m_icons(iconStrip(k)),
      m_rowOf(std::move(rowOf)) {}

int RadioListDelegate::iconIndex(const RadioRowItem& row, bool selectedRow) {
  int icon = 0;
  switch (row.kind()) {
    case RadioRowItem::kCategory:
      icon = row.has(RadioRowItem::kExpanded) ? 2 : 0;
      break;
    case RadioRowItem::kRadio:
      icon = 4;
      break;
    default:
      icon = row.has(RadioRowItem::kSelectedStream) ? 6 : 8;
      break;
  }
  return icon + (selectedRow ? 1 : 0);
}

QPixmap RadioListDelegate::iconStrip(int k) {
  return QPixmap(QStringLiteral(":/ui/radio-icons-%1.png").arg(k > 1 ? 2 : 1));
}

int RadioListDelegate::rowHeight() const {
  return std::max(QFontMetrics(m_font).height(), kIconWidth * m_k) + 3 * m_k;
}

QSize RadioListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  return {QStyledItemDelegate::sizeHint(option, index).width(), rowHeight()};
}

void RadioListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const RadioRowItem* row = m_rowOf(index);
  if (row == nullptr) return;
  const bool selected = option.state & QStyle::State_Selected;
  const QRect cell = option.rect;
  QColor back = row->kind() == RadioRowItem::kCategory ? kCategoryBack
                : row->kind() == RadioRowItem::kRadio  ? kRadioBack
                                                       : kStreamBack;
  painter->save();
  painter->fillRect(cell, selected ? kSelectedBack : back);
  if (row->kind() == RadioRowItem::kCategory) {
    painter->setPen(kCategoryTopLine);
    painter->drawLine(cell.topLeft(), cell.topRight());
    painter->setPen(kCategoryBottomLine);
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
  }
  const int indent = row->kind() == RadioRowItem::kRadio    ? kRadioIndent * m_k
                     : row->kind() == RadioRowItem::kStream ? kStreamIndent * m_k
                                                            : 0;
  const int iconSize = kIconWidth * m_k;
  if (index.column() == 0) {
    const QRect source(iconIndex(*row, selected) * iconSize, 0, iconSize, iconSize);
    const QPoint at(cell.left() + indent, cell.top() + (cell.height() - iconSize) / 2);
    painter->drawPixmap(at, m_icons, source);
  } else {
    painter->setFont(m_font);
    painter->setPen(selected ? Qt::white : Qt::black);
    const QRect text = cell.adjusted(index.column() == 1 ? indent + m_k : m_k, 0, -m_k, 0);
    const QString value = index.column() == 1 ? row->mainText() : row->sideText();
    painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                      QFontMetrics(m_font).elidedText(value, Qt::ElideRight, text.width()));
  }
  painter->restore();
}

}  // namespace orvel
