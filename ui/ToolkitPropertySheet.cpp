#include "ui/ToolkitPropertySheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/ToolkitDialog.h"

namespace orvel {

ToolkitPropertySheet::ToolkitPropertySheet(QWidget* parent, const QString& title)
    : QDialog(parent), ToolkitWindow(this) {
  setWindowTitle(title);
  setModal(true);
  if (parent != nullptr) setFixedSize(parent->window()->size());
  auto* layout = new QVBoxLayout(this);
  m_tabs = new QTabWidget(this);
  m_tabs->setTabPosition(QTabWidget::South);
  layout->addWidget(m_tabs, 1);
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this,
          [this] { command(kIdOk); });
  connect(buttons->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this,
          [this] { command(kIdCancel); });
  connect(buttons->button(QDialogButtonBox::Help), &QPushButton::clicked, this,
          [this] { command(kIdHelp); });
  layout->addWidget(buttons);
  connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
    if (index >= 0 && index < static_cast<int>(m_pages.size())) m_lastPageId = m_pages[index].id;
  });
}

ToolkitPropertySheet::~ToolkitPropertySheet() = default;

void ToolkitPropertySheet::addPage(ToolkitDialog* page, int pageId, const QString& tabText) {
  page->becomePage();
  m_pages.push_back({page, pageId});
  m_tabs->addTab(page, tabText);
}

bool ToolkitPropertySheet::run(int startPageId) {
  int start = 0;
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (m_pages[i].id == startPageId) start = static_cast<int>(i);
  }
  m_tabs->setCurrentIndex(start);
  if (!m_pages.empty()) m_lastPageId = m_pages[start].id;
  return exec() == kIdOk;
}

bool ToolkitPropertySheet::apply() {
  for (size_t i = 0; i < m_pages.size(); ++i) {
    if (!m_pages[i].dialog->sendCommand(kIdOk)) {
      m_tabs->setCurrentIndex(static_cast<int>(i));
      return false;
    }
  }
  return true;
}

bool ToolkitPropertySheet::command(int id) {
  switch (id) {
    case kIdOk:
      if (apply()) done(kIdOk);
      return true;
    case kIdCancel:
      for (const Page& page : m_pages) page.dialog->sendCommand(kIdCancel);
      done(kIdCancel);
      return true;
    case kIdHelp:
      if (!m_pages.empty()) m_pages[m_tabs->currentIndex()].dialog->sendCommand(kIdHelp);
      return true;
    default:
      return false;
  }
}

void ToolkitPropertySheet::reject() { command(kIdCancel); }

}  // namespace orvel
