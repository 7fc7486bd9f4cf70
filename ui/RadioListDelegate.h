#pragma once
// Draws the rows of the radio list: the background by row kind (or the selection colour with
// white text), the category rows' light top and dark bottom lines, the icon and the texts,
// radio rows indented by 7·k and stream rows by 14·k. UI thread only.

#include <QFont>
#include <functional>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace orvel {

class RadioRowItem;

class RadioListDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int kIconWidth = 13;  // times k

  // rowOf maps an index of the list to its row (the list owns the rows).
  RadioListDelegate(int k, QFont font, std::function<const RadioRowItem*(const QModelIndex&)> rowOf,
                    QObject* parent);

  // The icon of a row in the strip: category 0 (2 open), radio 4, stream 8 (6 when it is the
  // radio's selected stream), plus 1 on the selected row.
  static int iconIndex(const RadioRowItem& row, bool selectedRow);
  // The strip of icons for the scale factor, from the program's resources.
  static QPixmap iconStrip(int k);

  int rowHeight() const;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  int m_k;
  QFont m_font;
  QPixmap m_icons;
  std::function<const RadioRowItem*(const QModelIndex&)> m_rowOf;
};

}  // namespace orvel
