#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>

#include "app/DesktopIntegration.h"
#include "app/Startup.h"
#include "app/StreamLink.h"
#include "library/RadioDatabase.h"
#include "platform/AppKeys.h"
#include "platform/FilePath.h"
#include "platform/Registry.h"
#include "skin/PostedEventHandOff.h"
#include "skin/SkinControl.h"
#include "skin/SkinDescription.h"
#include "skin/SkinList.h"
#include "skin/SkinMessageEvent.h"
#include "ui/AboutBox.h"
#include "ui/AlarmListDialog.h"
#include "ui/MainPanelControl.h"
#include "ui/PresetsPanelControl.h"
#include "ui/RadioDialog.h"
#include "ui/SettingsDialog.h"
#include "ui/SettingsStore.h"
#include "ui/SleepTimer.h"
#include "ui/SleepTimerDialog.h"

namespace orvel {
namespace {

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessageEvent : public QEvent {
 public:
  explicit PostedMessageEvent(const Message& message)
      : QEvent(kPostedMessageEvent), message(message) {
    PostedEventHandOff::posted();
  }
  const Message message;
};

// Every descendant of root, depth first: each child, then its children, then the next sibling.
void postToDescendants(QWidget* root, uint32_t message) {
  for (QObject* child : root->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget == nullptr) continue;
    if (dynamic_cast<SkinControl*>(widget) != nullptr) {
      QCoreApplication::postEvent(widget, new SkinMessageEvent(message, 0, 0));
    }
    postToDescendants(widget, message);
  }
}

}  // namespace

MainWindow::MainWindow(Services services, ScreenSize screen)
    : m_services(std::move(services)), m_screen(screen), m_screenWidget(new QWidget(this)) {
  setObjectName(QString::fromStdU16String(kMainWindowClass));
  m_screenWidget->setObjectName(QStringLiteral("screen"));
  m_screenWidget->setAutoFillBackground(true);
  QPalette palette = m_screenWidget->palette();
  palette.setColor(QPalette::Window, Qt::black);
  m_screenWidget->setPalette(palette);
  setClient(m_screenWidget);
  setScreen(screen);
  // The screen has a fixed size: the window is not freely resizable.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() { destroyPanels(); }

void MainWindow::destroyPanels() {
  m_desktop.reset();
  m_sleep.reset();
  // The player goes first: its last replies must not reach a half-destroyed screen.
  delete m_main;
  m_main = nullptr;
  delete m_presets;
  m_presets = nullptr;
}

bool MainWindow::create() {
  m_services.skin.setScreenWidth(m_screen.width);
  m_presets = new PresetsPanelControl(this, m_services.database);
  m_main = new MainPanelControl(this, m_services.settings);
  if (!m_presets->setup(m_screenWidget, m_services.skin, true) ||
      !m_main->setup(m_screenWidget, m_services.skin, true)) {
    destroyPanels();
    return false;
  }
  createMenus();
  if (!ToolkitFrameWindow::create(0, QIcon(QStringLiteral(":/app/orvel-radio.png")))) {
    destroyPanels();
    return false;
  }
  setWindowTitle(QString::fromStdU16String(kProgramTitle));
  bringToForeground();
  m_sleep = std::make_unique<SleepTimer>(*m_main);
  m_desktop = std::make_unique<DesktopIntegration>(*this, m_services.settings);
  m_desktop->start();
  return true;
}

QMenuBar* MainWindow::menus() const { return menuBar(); }

void MainWindow::createMenus() {
  QMenuBar* bar = menuBar();
  // "Open" is a button on the bar itself.
  QAction* open = bar->addAction(tr("Open"));
  open->setData(kCmdOpen);
  open->setShortcut(QKeySequence(tr("Ctrl+O")));
  connect(open, &QAction::triggered, this, [this] { command(kCmdOpen); });
  QMenu* tools = bar->addMenu(tr("Tools"));
  addCommand(tools, tr("Alarms..."), kCmdAlarms);
  addCommand(tools, tr("Sleep timer..."), kCmdSleepTimer);
  tools->addSeparator();
  addCommand(tools, tr("Settings..."), kCmdSettings);
  tools->addSeparator();
  addCommand(tools, tr("About..."), kCmdAbout);
  addCommand(tools, tr("Rotate"), kCmdRotate)->setShortcut(QKeySequence(tr("Ctrl+R")));
  addCommand(tools, tr("Exit"), kCmdExit);
  QMenu* record = bar->addMenu(tr("Record"));
  addCommand(record, tr("Start"), kCmdRecordStart);
  addCommand(record, tr("Stop"), kCmdRecordStop);
}

bool MainWindow::post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  QCoreApplication::postEvent(this, new PostedMessageEvent(Message{message, wParam, lParam}));
  return true;
}

void MainWindow::bringToForeground() {
  showNormal();
  raise();
  activateWindow();
}

bool MainWindow::event(QEvent* event) {
  PostedEventHandOff::receiving();
  if (event->type() == kPostedMessageEvent) {
    handleMessage(static_cast<PostedMessageEvent*>(event)->message);
    return true;
  }
  return ToolkitFrameWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  ToolkitFrameWindow::closeEvent(event);
  // Playback ends with the window, not when the loop has gone; a fade under way gives the
  // user's volume back first, so that it is the one stored.
  if (!event->isAccepted()) return;
  if (m_sleep) m_sleep->set(0);
  if (m_main != nullptr) m_main->destroy();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (!playerKey(*event)) ToolkitFrameWindow::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  if (m_main != nullptr && volumeKeyDirection(*event) != 0 && !event->isAutoRepeat()) {
    m_main->volumeKeyReleased();
    return;
  }
  ToolkitFrameWindow::keyReleaseEvent(event);
}

int MainWindow::volumeKeyDirection(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return 0;
  switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Up:
      return 1;
    case Qt::Key_Minus:
    case Qt::Key_Down:
      return -1;
    default:
      return 0;
  }
}

bool MainWindow::playerKey(const QKeyEvent& event) {
  if (m_main == nullptr || m_desktop == nullptr) return false;
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const int key = event.key();
  if (key == Qt::Key_Space) {
    if (!event.isAutoRepeat()) m_desktop->playOrStop();
    return true;
  }
  if (key >= Qt::Key_1 && key <= Qt::Key_9) {
    const int preset = key - Qt::Key_1;
    if (const StreamInfo* stream = m_services.database.GetPreset(preset)) {
      m_main->PlayStream(stream, preset, false);
    }
    return true;
  }
  if (const int direction = volumeKeyDirection(event); direction != 0) {
    m_main->volumeKey(direction, event.isAutoRepeat());
    return true;
  }
  return false;
}

void MainWindow::handleMessage(const Message& message) {
  m_received.push_back(message);
  if (message.message == kMsgAlarmOn) {
    playAlarm(static_cast<int>(static_cast<int32_t>(message.wParam)));
  } else if (message.message == kMsgAlarmOff) {
    if (m_main != nullptr) m_main->recordStop();
  } else if (message.message == kMsgSettingChange && message.wParam == kSettingChangeReset) {
    reloadSkin();
  }
  emit messageHandled(message.message, message.wParam, message.lParam);
}

bool MainWindow::command(int id) {
  switch (id) {
    case kCmdOpen: {
      const StreamInfo* stream = nullptr;
      if (ChooseStream(&stream) && m_main != nullptr) m_main->PlayStream(stream, -1, false);
      return true;
    }
    case kCmdExit:
      QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
      return true;
    case kCmdAlarms:
      AlarmListDialog::run(this, m_services.programDir, m_services.notifier);
      return true;
    case kCmdSettings:
      runSettings();
      return true;
    case kCmdAbout:
      AboutBox::run(this, m_screen.width > m_screen.height, m_services.registry,
                    m_services.programDir);
      return true;
    case kCmdRecordStart:
      if (m_main != nullptr) m_main->recordStart();
      return true;
    case kCmdRecordStop:
      if (m_main != nullptr) m_main->recordStop();
      return true;
    case kCmdRotate:
      rotate();
      return true;
    case kCmdSleepTimer:
      if (const auto minutes = SleepTimerDialog::run(this, m_sleep ? m_sleep->minutes() : 0)) {
        if (m_sleep) m_sleep->set(*minutes);
      }
      return true;
    default:
      return ToolkitFrameWindow::command(id);
  }
}

bool MainWindow::ChooseStream(const StreamInfo** result) {
  const StreamInfo* chosen = RadioDialog::choose(this, m_services.database);
  if (chosen == nullptr) return false;
  *result = chosen;
  return true;
}

void MainWindow::PlayPreset(const StreamInfo* stream, int presetIndex) {
  if (m_main != nullptr) m_main->PlayStream(stream, presetIndex, false);
}

void MainWindow::HighlightPreset(int presetIndex) {
  if (m_presets != nullptr) m_presets->HighlightPreset(presetIndex);
}

void MainWindow::PlayerStateChanged() {
  if (m_desktop) m_desktop->playerChanged();
}

void MainWindow::RecordingStopped() {
  if (m_desktop) m_desktop->recordingStopped();
}

bool MainWindow::openLink(const WString& link) {
  const std::optional<StreamLinkTarget> target = StreamLink::resolve(link);
  if (!target || m_main == nullptr) return false;
  m_linkRadio = RadioInfo{};
  m_linkRadio.title = target->title;
  m_linkStream = StreamInfo{};
  m_linkStream.url = target->url;
  m_linkStream.radio = &m_linkRadio;
  m_main->PlayStream(&m_linkStream, -1, false);
  return true;
}

void MainWindow::playAlarm(int presetIndex) {
  const StreamInfo* stream = m_services.database.GetPreset(presetIndex);
  if (stream == nullptr || m_main == nullptr) return;
  m_main->PlayStream(stream, presetIndex, true);
  if (m_desktop)
    m_desktop->alarmStarted(stream->radio != nullptr ? stream->radio->title : WString());
}

void MainWindow::setScreen(ScreenSize screen) {
  m_screen = screen;
  m_screenWidget->setFixedSize(screen.width, screen.height);
}

void MainWindow::rotate() {
  setScreen(ScreenSize{m_screen.height, m_screen.width});
  Startup::storeScreen(m_services.registry, m_screen);
  post(kMsgSettingChange, kSettingChangeReset, 0);
}

void MainWindow::runSettings() {
  SkinList skins(m_services.registry, fromFsPath(m_services.programDir));
  const SettingsDialog::Result result =
      SettingsDialog::run(this, m_services.settings, skins, m_screen.width, m_screen.height);
  // A skin chosen before Cancel stays stored, and shows from the next rotation or start.
  if (result.confirmed && result.skinChanged) reloadSkin();
}

void MainWindow::reloadSkin() {
  SkinList chooser(m_services.registry, fromFsPath(m_services.programDir));
  WString path;
  if (chooser.ChooseSkin(m_screen.width, m_screen.height, path) != SkinList::kSkinFound) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_services.skin.setScreenWidth(m_screen.width);
  WString error;
  m_services.skin.Parse(path, error);
  QApplication::restoreOverrideCursor();
  postToDescendants(this, kSkinRelayoutMessage);
}

}  // namespace orvel
