#include "ui/RadioDialog.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "library/FoundStations.h"
#include "platform/AppKeys.h"
#include "platform/MessageBoxHost.h"
#include "resources/StringTable.h"
#include "ui/FindStationsDialog.h"
#include "ui/ImportDialog.h"
#include "ui/NewCategoryDialog.h"
#include "ui/NewRadioDialog.h"
#include "ui/NewStreamDialog.h"
#include "ui/RadioListDelegate.h"
#include "ui/RadioPropertiesDialog.h"
#include "ui/RadioRowItem.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

namespace {
constexpr int kListFontHeight = 9;  // times k
constexpr int kIconColumn = 14;     // times k
constexpr int kScrollMargin = 27;   // times k, when the list scrolls
constexpr int kPlainMargin = 14;    // times k

// The stream to play for a found station: the library's own when it holds the URL (so that a
// preset can take it), else one kept for the rest of the program's run in a list of its own.
const StreamInfo* playableStream(RadioDatabase& database, const DirectoryStation& station) {
  static RadioLibrary played;
  const StreamInfo info = FoundStations::streamOf(station);
  const RadioLibrary* libraries[] = {&database, &played};
  for (const RadioLibrary* library : libraries) {
    for (const StreamInfo* stream : library->allStreams()) {
      if (stream->url == info.url) return stream;
    }
  }
  const StreamInfo* stream = nullptr;
  FoundStations::add(played, station, FoundStations::kDefaultCategory, &stream);
  return stream;
}

}  // namespace

RadioDialog::RadioDialog(QWidget* parent, RadioDatabase& database)
    : ToolkitDialog(parent, QStringLiteral("Radio")), m_database(database) {
  m_list = new QTreeWidget(this);
  m_list->setObjectName(QString::number(kListId));
  m_list->setColumnCount(3);
  m_list->setHeaderHidden(true);
  m_list->setRootIsDecorated(false);
  m_list->setIndentation(0);
  m_list->setUniformRowHeights(true);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_list->setFocusPolicy(Qt::StrongFocus);
  m_list->header()->setStretchLastSection(false);
  m_list->header()->setMinimumSectionSize(0);
  const QFont font = toolkit::toolkitFont(false, kListFontHeight, scale(), true);
  m_delegate = new RadioListDelegate(
      scale(), font, [this](const QModelIndex& index) { return row(index.row()); }, m_list);
  m_list->setItemDelegate(m_delegate);
  body()->addWidget(m_list, 1);
  m_comment = new QLabel(this);
  m_comment->setObjectName(QString::number(kCommentId));
  m_comment->setWordWrap(true);
  body()->addWidget(m_comment);
  m_listView.attach(m_list, this, kListId);
  m_list->installEventFilter(this);
  connect(m_list, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { rowChosen(static_cast<RadioRowItem*>(current)); });
  buildMenus();
  rebuild();
}

RadioDialog::~RadioDialog() = default;

const StreamInfo* RadioDialog::choose(QWidget* parent, RadioDatabase& database) {
  RadioDialog dialog(parent, database);
  return dialog.run() == kIdOk ? dialog.chosenStream() : nullptr;
}

const StreamInfo* RadioDialog::chosenStream() const {
  if (m_found != nullptr) return m_found;
  if (m_chosen == nullptr) return nullptr;
  if (m_chosen->kind() == RadioRowItem::kStream) return m_chosen->stream();
  if (m_chosen->kind() == RadioRowItem::kRadio) return m_chosen->radio()->selectedStream;
  return nullptr;
}

int RadioDialog::rowCount() const { return m_list->topLevelItemCount(); }

RadioRowItem* RadioDialog::row(int index) const {
  return static_cast<RadioRowItem*>(m_list->topLevelItem(index));
}

void RadioDialog::buildMenus() {
  QMenu* newMenu = menuBar()->addMenu(QStringLiteral("New"));
  addCommand(newMenu, QStringLiteral("Find stations..."), kCmdFindStations);
  addCommand(newMenu, QStringLiteral("Import..."), kCmdImport);
  newMenu->addSeparator();
  addCommand(newMenu, QStringLiteral("New category..."), kCmdNewCategory);
  addCommand(newMenu, QStringLiteral("New radio..."), kCmdNewRadio);
  addCommand(newMenu, QStringLiteral("New stream..."), kCmdNewStream);
  m_context = new QMenu(this);
  addCommand(m_context, QStringLiteral("Change stream..."), kCmdChangeStream);
  addCommand(m_context, QStringLiteral("Select stream"), kCmdSelectStream);
  m_context->addSeparator();
  addCommand(m_context, QStringLiteral("Delete"), kCmdDelete);
  m_context->addSeparator();
  addCommand(m_context, QStringLiteral("Properties..."), kCmdProperties);
  watchMenu(m_context);
}

void RadioDialog::rebuild() {
  m_chosen = nullptr;
  m_list->clear();
  for (const CategoryInfo* category : m_database.allCategories()) {
    m_list->addTopLevelItem(new RadioRowItem(RadioRowItem::kCategory, category, nullptr, nullptr));
  }
  m_comment->clear();
  updateColumnWidths();
}

void RadioDialog::insertRow(int at, RadioRowItem* row) { m_list->insertTopLevelItem(at, row); }

void RadioDialog::deleteRowsAfter(RadioRowItem* row,
                                  const std::function<bool(const RadioRowItem&)>& belongs) {
  const int first = m_list->indexOfTopLevelItem(row) + 1;
  while (first < rowCount() && belongs(*this->row(first))) delete m_list->takeTopLevelItem(first);
}

void RadioDialog::expandCategory(RadioRowItem* category) {
  category->set(RadioRowItem::kExpanded, true);
  int at = m_list->indexOfTopLevelItem(category) + 1;
  for (const RadioInfo* radio : m_database.radiosOf(category->category())) {
    insertRow(at++, new RadioRowItem(RadioRowItem::kRadio, category->category(), radio, nullptr));
  }
  for (int i = 0; i < rowCount(); ++i) {
    RadioRowItem* other = row(i);
    if (other != category && other->kind() == RadioRowItem::kCategory &&
        other->has(RadioRowItem::kExpanded)) {
      collapseCategory(other);
      break;
    }
  }
  updateColumnWidths();
}

void RadioDialog::collapseCategory(RadioRowItem* category) {
  category->set(RadioRowItem::kExpanded, false);
  deleteRowsAfter(category, [category](const RadioRowItem& below) {
    return below.kind() != RadioRowItem::kCategory && below.category() == category->category();
  });
  updateColumnWidths();
}

void RadioDialog::expandRadio(RadioRowItem* radio) {
  radio->set(RadioRowItem::kExpanded, true);
  int at = m_list->indexOfTopLevelItem(radio) + 1;
  const RadioInfo* info = radio->radio();
  for (const StreamInfo* stream : m_database.streamsOf(info)) {
    const int flags = RadioRowItem::kStream |
                      (stream == info->selectedStream ? RadioRowItem::kSelectedStream : 0);
    insertRow(at++, new RadioRowItem(flags, radio->category(), info, stream));
  }
  updateColumnWidths();
}

void RadioDialog::collapseRadio(RadioRowItem* radio) {
  radio->set(RadioRowItem::kExpanded, false);
  deleteRowsAfter(radio, [radio](const RadioRowItem& below) {
    return below.kind() == RadioRowItem::kStream && below.radio() == radio->radio();
  });
  updateColumnWidths();
}

void RadioDialog::activate(RadioRowItem* row) {
  switch (row->kind()) {
    case RadioRowItem::kCategory:
      if (row->has(RadioRowItem::kExpanded)) {
        collapseCategory(row);
      } else {
        expandCategory(row);
      }
      break;
    case RadioRowItem::kRadio:
      if (row->has(RadioRowItem::kExpanded)) {
        collapseRadio(row);
      } else if (row->radio()->selectedStream == nullptr) {
        expandRadio(row);
      } else {
        end(kIdOk);
      }
      break;
    default:
      end(kIdOk);
      break;
  }
  m_list->viewport()->update();
}

void RadioDialog::rowChosen(RadioRowItem* row) {
  m_chosen = row;
  const StreamInfo* selected =
      row != nullptr && row->radio() != nullptr ? row->radio()->selectedStream : nullptr;
  m_comment->setText(selected != nullptr ? toolkit::toQString(selected->comment) : QString());
}

bool RadioDialog::notify(const ToolkitNotification& notification) {
  if (notification.senderId != kListId || notification.item < 0) return false;
  RadioRowItem* target = row(notification.item);
  if (notification.code == ToolkitNotification::kTap) {
    m_chosen = target;
    activate(target);
    return true;
  }
  if (notification.code == ToolkitNotification::kTapAndHold) {
    m_list->setCurrentItem(target);
    m_context->popup(notification.screenPoint);
    return true;
  }
  return false;
}

void RadioDialog::menuPopupInit(QMenu* menu) {
  if (menu != m_context) return;
  const int kind = m_chosen != nullptr ? m_chosen->kind() : RadioRowItem::kCategory;
  findCommand(menu, kCmdChangeStream)->setEnabled(kind == RadioRowItem::kRadio);
  findCommand(menu, kCmdSelectStream)->setEnabled(kind == RadioRowItem::kStream);
  findCommand(menu, kCmdDelete)->setEnabled(m_chosen != nullptr);
  findCommand(menu, kCmdProperties)->setEnabled(m_chosen != nullptr);
}

void RadioDialog::updateColumnWidths() {
  const int k = scale();
  const QFontMetrics metrics(toolkit::toolkitFont(false, kListFontHeight, k, true));
  const int side = metrics.horizontalAdvance(QStringLiteral("196 OGG")) + 4 * k;
  const int listHeight = m_list->contentsRect().height();
  const bool scrolls = rowCount() * m_delegate->rowHeight() > listHeight;
  const int rest =
      m_list->width() - kIconColumn * k - side - (scrolls ? kScrollMargin : kPlainMargin) * k;
  m_list->setColumnWidth(0, kIconColumn * k);
  m_list->setColumnWidth(1, std::max(rest, 0));
  m_list->setColumnWidth(2, side);
}

void RadioDialog::relayout() { updateColumnWidths(); }

void RadioDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && m_list->hasFocus() && m_chosen != nullptr) {
    activate(m_chosen);
    return;
  }
  ToolkitDialog::keyPressEvent(event);
}

bool RadioDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_list && event->type() == QEvent::Resize) updateColumnWidths();
  return ToolkitDialog::eventFilter(watched, event);
}

bool RadioDialog::command(int id) {
  switch (id) {
    case kCmdDelete:
      deleteChosen();
      return true;
    case kCmdProperties:
      if (m_chosen != nullptr && m_chosen->kind() != RadioRowItem::kCategory) {
        RadioPropertiesDialog editor(this, m_database, m_chosen->category(), m_chosen->radio(),
                                     m_chosen->stream());
        runEditor(editor);
      }
      return true;
    case kCmdNewRadio: {
      NewRadioDialog editor(this, m_database);
      runEditor(editor);
      return true;
    }
    case kCmdNewCategory:
      newCategory();
      return true;
    case kCmdChangeStream:
      if (m_chosen != nullptr && m_chosen->kind() == RadioRowItem::kRadio &&
          !m_chosen->has(RadioRowItem::kExpanded)) {
        expandRadio(m_chosen);
      }
      return true;
    case kCmdSelectStream:
      selectChosenStream();
      return true;
    case kCmdNewStream: {
      NewStreamDialog editor(this, m_database);
      runEditor(editor);
      return true;
    }
    case kCmdImport: {
      ImportDialog editor(this, m_database);
      runEditor(editor);
      return true;
    }
    case kCmdFindStations:
      findStations();
      return true;
    default:
      return ToolkitDialog::command(id);
  }
}

void RadioDialog::deleteChosen() {
  if (m_chosen == nullptr) return;
  const int kind = m_chosen->kind();
  const uint16_t question = kind == RadioRowItem::kCategory ? kStrDeleteCategoryQuestion
                            : kind == RadioRowItem::kRadio  ? kStrDeleteRadioQuestion
                                                            : kStrDeleteStreamQuestion;
  const int answer =
      MessageBoxHost::current().show(StringTable::load(question), kProgramTitle,
                                     MessageBoxHost::Icon::Warning, MessageBoxHost::Buttons::YesNo);
  if (answer != MessageBoxHost::kYes) return;
  if (kind == RadioRowItem::kCategory) {
    m_database.DeleteCategory(m_chosen->category());
  } else if (kind == RadioRowItem::kRadio) {
    m_database.DeleteRadio(m_chosen->radio());
  } else {
    m_database.DeleteStream(m_chosen->stream(), true);
  }
  rebuild();
}

void RadioDialog::selectChosenStream() {
  if (m_chosen == nullptr || m_chosen->kind() != RadioRowItem::kStream) return;
  if (!m_database.SetSelectedStream(m_chosen->radio(), m_chosen->stream())) return;
  for (int i = 0; i < rowCount(); ++i) {
    RadioRowItem* other = row(i);
    if (other->kind() == RadioRowItem::kStream && other->radio() == m_chosen->radio()) {
      other->set(RadioRowItem::kSelectedStream, other == m_chosen);
    }
  }
  rowChosen(m_chosen);
  m_list->viewport()->update();
}

void RadioDialog::runEditor(ToolkitDialog& editor) {
  if (editor.run() == kIdOk) rebuild();
}

void RadioDialog::newCategory() {
  NewCategoryDialog editor(this);
  if (editor.run() == kIdOk && editor.addTo(m_database)) rebuild();
}

// Stations added there show at once; a played one ends this dialog as a chosen stream would.
void RadioDialog::findStations() {
  FindStationsDialog finder(this, m_database);
  const bool played = finder.run() == kIdOk && finder.playedStation();
  rebuild();
  if (!played) return;
  m_found = playableStream(m_database, *finder.playedStation());
  end(kIdOk);
}

}  // namespace orvel
