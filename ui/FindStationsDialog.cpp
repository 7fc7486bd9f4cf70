#include "ui/FindStationsDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "library/DirectoryClicks.h"
#include "library/DirectoryClient.h"
#include "library/FoundStations.h"
#include "platform/AppKeys.h"
#include "platform/MessageBoxHost.h"
#include "ui/DirectorySearch.h"
#include "ui/ToolkitHelpers.h"

namespace orvel {

namespace {

QPushButton* makeButton(QHBoxLayout* row, QWidget* parent, int id, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::number(id));
  button->setAutoDefault(false);
  row->addWidget(button);
  return button;
}

QString formatText(const DirectoryStation& station) {
  const QString codec = QString::fromStdString(station.codec);
  if (station.bitrateKbps <= 0) return codec;
  return (codec + ' ' + QString::number(station.bitrateKbps)).trimmed();
}

}  // namespace

FindStationsDialog::FindStationsDialog(QWidget* parent, RadioDatabase& database)
    : ToolkitDialog(parent, QStringLiteral("Find stations")),
      m_database(database),
      m_searcher(new DirectorySearch(this)) {
  setUpHeader(QStringLiteral("Find stations"), true);
  auto* searchRow = new QHBoxLayout;
  m_text = new QLineEdit(this);
  m_text->setObjectName(QString::number(kTextId));
  m_text->setPlaceholderText(QStringLiteral("Name of a station"));
  searchRow->addWidget(m_text, 1);
  m_search = makeButton(searchRow, this, kSearchId, QStringLiteral("Search"));
  body()->addLayout(searchRow);
  makeList();
  m_status = new QLabel(this);
  m_status->setObjectName(QString::number(kStatusId));
  m_status->setWordWrap(true);
  body()->addWidget(m_status);
  makeAddControls();
  setOkButtonShown(false);

  connect(m_search, &QPushButton::clicked, this, &FindStationsDialog::searchOrCancel);
  connect(m_text, &QLineEdit::returnPressed, this, [this] {
    if (!searching()) searchOrCancel();
  });
  connect(m_searcher, &DirectorySearch::finished, this, &FindStationsDialog::searchEnded);
  connect(m_add, &QPushButton::clicked, this, &FindStationsDialog::addChosen);
  connect(m_play, &QPushButton::clicked, this, &FindStationsDialog::playChosen);
  connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });
  connect(m_list, &QTreeWidget::itemActivated, this, [this] { playChosen(); });
  m_text->setFocus();
  updateButtons();
}

// The name takes the width that the format and the country leave.
void FindStationsDialog::makeList() {
  m_list = new QTreeWidget(this);
  m_list->setObjectName(QString::number(kListId));
  m_list->setColumnCount(3);
  m_list->setHeaderLabels(
      {QStringLiteral("Name"), QStringLiteral("Format"), QStringLiteral("Country")});
  m_list->setRootIsDecorated(false);
  m_list->setUniformRowHeights(true);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->header()->setStretchLastSection(false);
  m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  m_list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  body()->addWidget(m_list, 1);
}

// "Found" first, then the library's categories; the user may also type a new one.
void FindStationsDialog::makeAddControls() {
  auto* addRow = new QHBoxLayout;
  addRow->addWidget(new QLabel(QStringLiteral("Add to:"), this));
  m_category = new QComboBox(this);
  m_category->setObjectName(QString::number(kCategoryId));
  m_category->setEditable(true);
  m_category->addItem(toolkit::toQString(FoundStations::kDefaultCategory));
  for (const CategoryInfo* category : m_database.allCategories()) {
    const QString name = toolkit::toQString(category->name);
    if (m_category->findText(name, Qt::MatchFixedString) < 0) m_category->addItem(name);
  }
  addRow->addWidget(m_category, 1);
  body()->addLayout(addRow);
  auto* actionRow = new QHBoxLayout;
  m_add = makeButton(actionRow, this, kAddId, QStringLiteral("Add"));
  m_play = makeButton(actionRow, this, kPlayId, QStringLiteral("Play"));
  body()->addLayout(actionRow);
}

FindStationsDialog::~FindStationsDialog() = default;

bool FindStationsDialog::searching() const { return m_searcher->running(); }

void FindStationsDialog::searchOrCancel() {
  if (searching()) {
    m_searcher->cancel();
    m_status->setText(QStringLiteral("Search cancelled."));
  } else {
    DirectoryQuery query;
    query.name = m_text->text().trimmed().toStdString();
    m_searcher->start(query);
    m_status->setText(QStringLiteral("Searching..."));
  }
  updateButtons();
}

void FindStationsDialog::searchEnded(bool ok, const QString& error) {
  updateButtons();
  if (ok) {
    showResults();
    return;
  }
  const QString text = QString::fromUtf8(DirectoryClient::kUnreachableText);
  m_status->setText(text);
  MessageBoxHost::current().show(toolkit::toWString(text + "\n\nDetails:\n" + error), kProgramTitle,
                                 MessageBoxHost::Icon::Stop, MessageBoxHost::Buttons::Ok);
}

void FindStationsDialog::showResults() {
  m_list->clear();
  for (const DirectoryStation& station : m_searcher->results()) {
    auto* row = new QTreeWidgetItem({QString::fromStdString(station.name), formatText(station),
                                     QString::fromStdString(station.countryCode)});
    m_list->addTopLevelItem(row);
  }
  const int count = m_list->topLevelItemCount();
  m_status->setText(count == 0   ? QStringLiteral("No station found.")
                    : count == 1 ? QStringLiteral("1 station found.")
                                 : QStringLiteral("%1 stations found.").arg(count));
  if (count > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
  updateButtons();
}

const DirectoryStation* FindStationsDialog::chosen() const {
  const int index = m_list->indexOfTopLevelItem(m_list->currentItem());
  const auto& results = m_searcher->results();
  return index >= 0 && static_cast<size_t>(index) < results.size() ? &results[index] : nullptr;
}

void FindStationsDialog::addChosen() {
  const DirectoryStation* station = chosen();
  const QString category = m_category->currentText().trimmed();
  if (station == nullptr || category.isEmpty()) return;
  const StreamInfo* stream = nullptr;
  const auto result =
      FoundStations::add(m_database, *station, toolkit::toWString(category), &stream);
  const QString where = toolkit::toQString(stream->radio->category->name);
  m_status->setText(result == FoundStations::Result::Added
                        ? QStringLiteral("Added to %1.").arg(where)
                        : QStringLiteral("Already in the library, in %1.").arg(where));
}

void FindStationsDialog::playChosen() {
  const DirectoryStation* station = chosen();
  if (station == nullptr) return;
  m_played = *station;
  DirectoryClicks::send(station->uuid);
  end(kIdOk);
}

void FindStationsDialog::updateButtons() {
  m_search->setText(searching() ? QStringLiteral("Cancel") : QStringLiteral("Search"));
  const bool some = chosen() != nullptr;
  m_add->setEnabled(some);
  m_play->setEnabled(some);
}

}  // namespace orvel
