#include "app/Startup.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QScreen>
#include <QTimer>

#include "alarms/ServiceAlarmNotifier.h"
#include "app/CommandDispatcher.h"
#include "app/MainWindow.h"
#include "app/StreamLink.h"
#include "audio/CodecRegistry.h"
#include "library/RadioDatabase.h"
#include "platform/AppKeys.h"
#include "platform/FilePath.h"
#include "platform/ProgramDirectory.h"
#include "platform/Registry.h"
#include "platform/qt/InstanceServer.h"
#include "platform/qt/QtMessageBoxHost.h"
#include "platform/qt/RunningInstance.h"
#include "platform/qt/TerminationSignals.h"
#include "resources/StringTable.h"
#include "skin/ImageDecoder.h"
#include "skin/SkinDescription.h"
#include "skin/SkinList.h"
#include "skin/SkinStartup.h"
#include "ui/ErrorBox.h"
#include "ui/SettingsStore.h"
#include "ui/SkinsDialog.h"

namespace orvel {
namespace {
constexpr char16_t kScreenValue[] = u"Screen";
}  // namespace

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

std::optional<ScreenSize> Startup::storedScreen(Registry& registry) {
  const auto value = registry.queryValue(kRadioKey, kScreenValue);
  if (!value || value->type != kRegSz) return std::nullopt;
  std::string text;
  for (size_t i = 0; i + 1 < value->data.size(); i += 2) {
    if (value->data[i] == 0 || value->data[i + 1] != 0) break;
    text.push_back(static_cast<char>(value->data[i]));
  }
  return CommandLine::parseScreenSize(text);
}

void Startup::storeScreen(Registry& registry, ScreenSize screen) {
  registry.setString(kRadioKey, kScreenValue,
                     fromAscii(std::to_string(screen.width) + "x" + std::to_string(screen.height)));
}

bool Startup::start() {
  // Caught from the start: message boxes and dialogs run nested loops during start-up too.
  m_signals = std::make_unique<TerminationSignals>();
  QObject::connect(m_signals.get(), &TerminationSignals::terminationRequested, m_signals.get(),
                   [this] { terminate(); });
  // A later start without --screen (an alarm, say) gets the screen the user last had, whose
  // skins the first start kept.
  m_screen =
      m_arguments.screen ? *m_arguments.screen : storedScreen(m_registry).value_or(defaultScreen());
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_programDir = ProgramDirectory::ensure(m_registry);
  // Codecs are looked for at the first decoder lookup: nothing here can fail.
  CodecRegistry::createShared(CodecRegistry::kLibraryPattern);
  bool ok = createSettings();
  if (ok) {
    openDatabase();
    ok = loadSkin();
  }
  QApplication::restoreOverrideCursor();
  // Asked to end while start-up showed a box: no window; finish() saves and ends as "Exit".
  if (!ok || m_terminating) return false;
  findOrCreateMainWindow();
  dispatchCommandLine();
  return m_window != nullptr;
}

bool Startup::createSettings() {
  m_settings = std::make_unique<SettingsStore>(m_registry);
  return m_settings->Load(kRadioKey);
}

void Startup::openDatabase() {
  m_database = std::make_unique<RadioDatabase>();
  const WString radios = fromFsPath(m_programDir) + u"/Radios";
  if (!m_database->OpenDefaultLibrary(radios + u"/default.rrd")) {
    ErrorBox::show(kStrCannotOpenDefaultDatabase);
  }
  m_database->OpenUserLibrary(radios + u"/user.rrd");
  m_database->OpenPresets(radios + u"/presets.rrd");
}

bool Startup::loadSkin() {
  SkinStartup step(m_registry, fromFsPath(m_programDir));
  uint32_t firstTime = 1;
  m_settings->GetNumber(SettingsStore::kFirstTime, &firstTime);
  if (step.firstRunCleanup(firstTime, m_screen.width, m_screen.height)) {
    m_settings->SetNumber(SettingsStore::kFirstTime, 0);
  }
  if (!step.run(m_screen.width, m_screen.height, &Startup::chooseSkin)) return false;
  m_imageDecoder = step.takeDecoder();
  m_skin = step.takeDescription();
  return true;
}

// Several skins fit the screen and none was chosen for it: the user picks one, which is stored.
void Startup::chooseSkin(SkinList& list, int screenWidth, int screenHeight) {
  SkinsDialog::run(nullptr, list, screenWidth, screenHeight);
}

void Startup::findOrCreateMainWindow() {
  auto window =
      std::make_unique<MainWindow>(MainWindow::Services{m_registry, *m_settings, *m_database,
                                                        *m_skin, *m_notifier, m_programDir},
                                   m_screen);
  m_runningInstance = RunningInstance::find();
  if (m_runningInstance) {
    m_runningInstance->bringToForeground();
    return;  // the new window object goes unused
  }
  m_instanceServer = std::make_unique<InstanceServer>();
  if (!m_instanceServer->listen()) {
    // Another instance took the name between our look and our listen: hand over to it.
    m_instanceServer.reset();
    m_runningInstance = RunningInstance::find();
    if (m_runningInstance) m_runningInstance->bringToForeground();
    return;
  }
  m_boxes->setOwner(window.get());
  if (!window->create()) {
    m_boxes->setOwner(nullptr);
    m_instanceServer.reset();
    return;
  }
  m_window = std::move(window);
  QObject::connect(m_instanceServer.get(), &InstanceServer::foregroundRequested, m_window.get(),
                   &MainWindow::bringToForeground);
  QObject::connect(
      m_instanceServer.get(), &InstanceServer::openRequested, m_window.get(),
      [window = m_window.get()](const QString& link) { window->openLink(link.toStdU16String()); });
  QObject::connect(m_instanceServer.get(), &InstanceServer::messageReceived, m_window.get(),
                   [window = m_window.get()](quint32 message, quint64 wParam, qint64 lParam) {
                     window->post(message, wParam, lParam);
                   });
  storeScreen(m_registry, m_screen);
}

void Startup::dispatchCommandLine() {
  // A link plays in whichever instance runs; a playlist is read here, where its path was given.
  if (const std::optional<StreamLinkTarget> link = StreamLink::resolve(m_arguments.commandLine)) {
    if (m_window) {
      m_window->openLink(link->url);
    } else if (m_runningInstance) {
      m_runningInstance->openLink(QString::fromStdU16String(link->url));
    }
    return;
  }
  MessageTarget* target = m_window ? static_cast<MessageTarget*>(m_window.get())
                                   : static_cast<MessageTarget*>(m_runningInstance.get());
  CommandDispatcher::dispatch(m_arguments.commandLine, m_programDir, *m_notifier, target);
}

void Startup::terminate() {
  if (m_terminating) return;
  m_terminating = true;
  // A box or dialog open now, or opened by the code its closing lets run on, is closed first;
  // the main window closes once none is open, as "Exit" closes it.
  m_terminationTimer = std::make_unique<QTimer>();
  QObject::connect(m_terminationTimer.get(), &QTimer::timeout, [this] { closeForTermination(); });
  m_terminationTimer->start(kTerminationPollMs);
  closeForTermination();
}

void Startup::closeForTermination() {
  if (QWidget* modal = QApplication::activeModalWidget()) {
    modal->close();
    // A message box without an escape button ignores closing.
    if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr && dialog->isVisible()) {
      dialog->reject();
    }
    return;
  }
  if (m_window != nullptr && !m_windowClosing) {
    m_windowClosing = true;
    m_window->close();
  }
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
  return loopRuns || m_terminating ? kExitOk : kExitFailed;
}

void Startup::cleanUp() {
  if (m_cleanedUp) return;
  m_cleanedUp = true;
  m_runningInstance.reset();
  m_terminationTimer.reset();
  m_signals.reset();
  // The description is cleared while the decoder it draws through still exists.
  if (m_skin) m_skin->Clear();
  m_imageDecoder.reset();
  m_skin.reset();
  if (m_settings) {
    m_settings->Save(kRadioKey);
    m_settings.reset();
  }
  if (m_database) {
    m_database->Close();
    m_database.reset();
  }
  CodecRegistry::destroyShared();
}

}  // namespace orvel
