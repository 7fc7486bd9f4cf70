#include "app/Startup.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

#include "alarms/ServiceAlarmNotifier.h"
#include "app/CommandDispatcher.h"
#include "app/MainWindow.h"
#include "app/SettingsStore.h"
#include "platform/AppKeys.h"
#include "platform/ProgramDirectory.h"
#include "platform/Registry.h"
#include "platform/qt/InstanceServer.h"
#include "platform/qt/QtMessageBoxHost.h"
#include "platform/qt/RunningInstance.h"
#include "platform/qt/TerminationSignals.h"

namespace orvel {

Startup::Startup(Registry& registry, LaunchArguments arguments)
    : m_registry(registry),
      m_arguments(std::move(arguments)),
      m_boxes(std::make_unique<QtMessageBoxHost>()),
      m_notifier(std::make_unique<ServiceAlarmNotifier>(ProgramDirectory::executablePath())) {
  MessageBoxHost::install(m_boxes.get());
}

Startup::~Startup() {
  cleanUp();
  MessageBoxHost::install(nullptr);
}

ScreenSize Startup::defaultScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  // Room for the window frame and the menu bar above the 640-pixel screen.
  constexpr int kFrameAllowance = 80;
  if (screen != nullptr && screen->availableGeometry().height() >= 640 + kFrameAllowance) {
    return ScreenSize{480, 640};
  }
  return ScreenSize{240, 320};
}

bool Startup::start() {
  // Caught from the start: a signal that arrives before the loop runs closes the window as soon
  // as it does.
  m_signals = std::make_unique<TerminationSignals>();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_programDir = ProgramDirectory::ensure(m_registry);
  const bool ok = createSettings();
  QApplication::restoreOverrideCursor();
  if (!ok) return false;
  findOrCreateMainWindow();
  dispatchCommandLine();
  return m_window != nullptr;
}

bool Startup::createSettings() {
  m_settings = std::make_unique<SettingsStore>(m_registry);
  return m_settings->Load(kRadioKey);
}

void Startup::findOrCreateMainWindow() {
  auto window = std::make_unique<MainWindow>(m_arguments.screen.value_or(defaultScreen()));
  m_runningInstance = RunningInstance::find();
  if (m_runningInstance) {
    m_runningInstance->bringToForeground();
    return;  // the new window object goes unused
  }
  m_window = std::move(window);
  m_boxes->setOwner(m_window.get());
  m_instanceServer = std::make_unique<InstanceServer>();
  QObject::connect(m_instanceServer.get(), &InstanceServer::foregroundRequested, m_window.get(),
                   &MainWindow::bringToForeground);
  QObject::connect(m_instanceServer.get(), &InstanceServer::messageReceived, m_window.get(),
                   [window = m_window.get()](quint32 message, quint64 wParam, qint64 lParam) {
                     window->post(message, wParam, lParam);
                   });
  if (!m_instanceServer->listen()) {
    // Another instance took the name between our look and our listen: hand over to it.
    m_instanceServer.reset();
    m_window.reset();
    m_runningInstance = RunningInstance::find();
    if (m_runningInstance) m_runningInstance->bringToForeground();
    return;
  }
  QObject::connect(m_signals.get(), &TerminationSignals::terminationRequested, m_window.get(),
                   &MainWindow::close);
  m_window->show();
  m_window->bringToForeground();
}

void Startup::dispatchCommandLine() {
  MessageTarget* target = m_window ? static_cast<MessageTarget*>(m_window.get())
                                   : static_cast<MessageTarget*>(m_runningInstance.get());
  CommandDispatcher::dispatch(m_arguments.commandLine, m_programDir, *m_notifier, target);
}

int Startup::finish() {
  const bool loopRuns = m_window != nullptr;
  if (loopRuns) {
    QApplication::exec();
    m_instanceServer.reset();
    m_boxes->setOwner(nullptr);
    m_window.reset();
  }
  cleanUp();
  return loopRuns ? kExitOk : kExitFailed;
}

void Startup::cleanUp() {
  if (m_cleanedUp) return;
  m_cleanedUp = true;
  m_runningInstance.reset();
  m_signals.reset();
  if (m_settings) {
    m_settings->Save(kRadioKey);
    m_settings.reset();
  }
}

}  // namespace orvel
