#include "ui/ToolkitDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "ui/ToolkitHelpers.h"

namespace orvel {

namespace {
constexpr QSize kDefaultScreen{240, 320};
constexpr int kDialogFontHeight = 11;
constexpr int kEditCapacity = 259;  // characters; longer input is cut
}

ToolkitDialog::ToolkitDialog(QWidget* parent, const QString& title)
    : QDialog(parent), ToolkitWindow(this) {
  m_screen = parent != nullptr ? parent->window()->size() : kDefaultScreen;
  if (m_screen.isEmpty()) m_screen = kDefaultScreen;
  m_scale = toolkit::borderWidth(m_screen);
  setWindowTitle(title);
  setModal(true);
  m_outer = new QVBoxLayout(this);
  m_outer->setContentsMargins(0, 0, 0, 4 * m_scale);
  m_outer->setSpacing(2 * m_scale);
  m_body = new QVBoxLayout;
  m_body->setContentsMargins(4 * m_scale, 0, 4 * m_scale, 0);
  m_body->setSpacing(2 * m_scale);
  m_outer->addLayout(m_body, 1);

  auto* buttons = new QDialogButtonBox(this);
  m_ok = buttons->addButton(QDialogButtonBox::Ok);
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
  for (QPushButton* button : {m_ok, cancel, help}) button->setAutoDefault(false);
  m_ok->setDefault(true);
  connect(m_ok, &QPushButton::clicked, this, [this] { command(kIdOk); });
  connect(cancel, &QPushButton::clicked, this, [this] { command(kIdCancel); });
  connect(help, &QPushButton::clicked, this, [this] { command(kIdHelp); });
  auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(helpKey, &QShortcut::activated, this, [this] { command(kIdHelp); });
  m_buttonRow = buttons;
  buttons->setContentsMargins(4 * m_scale, 0, 4 * m_scale, 0);
  m_outer->addWidget(buttons);
  setFixedSize(m_screen);
}

ToolkitDialog::~ToolkitDialog() = default;

int ToolkitDialog::run() { return exec(); }

void ToolkitDialog::end(int result) {
  if (m_isPage) {
    setResult(result);
  } else {
    done(result);
  }
}

void ToolkitDialog::setScreenSize(QSize screen) {
  m_screen = screen;
  m_scale = toolkit::borderWidth(screen);
  setFixedSize(screen);
}

QLabel* ToolkitDialog::setUpHeader(const QString& text, bool withLine) {
  if (m_header == nullptr) {
    m_header = new QLabel(this);
    m_header->setObjectName(QString::number(kHeaderId));
    m_header->setContentsMargins(8 * m_scale, 5 * m_scale, 0, 0);
    // The dialog font, one border width taller, and one pixel more on large screens.
    QFont font = toolkit::toolkitFont(true, kDialogFontHeight, m_scale, true);
    font.setPixelSize(font.pixelSize() + m_scale + (m_scale > 1 ? 1 : 0));
    m_header->setFont(font);
    QPalette palette = m_header->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 156));
    m_header->setPalette(palette);
    m_outer->insertWidget(m_menuBar != nullptr ? 1 : 0, m_header);
  }
  m_header->setText(text);
  if (withLine && m_headerLine == nullptr) {
    m_headerLine = new QFrame(this);
    m_headerLine->setFixedHeight(m_scale);
    m_headerLine->setAutoFillBackground(true);
    QPalette palette = m_headerLine->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::WindowText));
    m_headerLine->setPalette(palette);
    m_outer->insertWidget(m_outer->indexOf(m_header) + 1, m_headerLine);
  }
  return m_header;
}

QMenuBar* ToolkitDialog::menuBar() {
  if (m_menuBar == nullptr) {
    m_menuBar = new QMenuBar(this);
    m_outer->setMenuBar(m_menuBar);
  }
  return m_menuBar;
}

void ToolkitDialog::setOkButtonShown(bool shown) { m_ok->setVisible(shown); }

void ToolkitDialog::becomePage() {
  m_isPage = true;
  m_buttonRow->hide();
  setWindowFlags(Qt::Widget);
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void ToolkitDialog::setBoldFont(QWidget* item) const {
  QFont font = item->font();
  font.setBold(true);
  item->setFont(font);
}

QLabel* ToolkitDialog::addStatic(int id, const QString& text) {
  auto* label = new QLabel(text, this);
  if (id != 0) label->setObjectName(QString::number(id));
  label->setWordWrap(true);
  m_body->addWidget(label);
  return label;
}

QLineEdit* ToolkitDialog::addEdit(int id, const QString& label) {
  addStatic(0, label);
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::number(id));
  edit->setMaxLength(kEditCapacity);
  m_body->addWidget(edit);
  return edit;
}

QComboBox* ToolkitDialog::addDropDown(int id, const QString& label) {
  addStatic(0, label);
  auto* combo = new QComboBox(this);
  combo->setObjectName(QString::number(id));
  m_body->addWidget(combo);
  return combo;
}

bool ToolkitDialog::command(int id) {
  switch (id) {
    case kIdOk:
    case kIdCancel:
    case kIdClose:
      end(id);
      return true;
    case kIdHelp:
      toolkit::showHelp(toolkit::helpFile(), QString());
      return true;
    default:
      return false;
  }
}

void ToolkitDialog::relayout() {}

void ToolkitDialog::reject() { command(kIdCancel); }

void ToolkitDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (size() != m_lastClientSize) {
    m_lastClientSize = size();
    relayout();
  }
}

void ToolkitDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  end(kIdCancel);
}

}  // namespace orvel
