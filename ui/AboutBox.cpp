#include "ui/AboutBox.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <filesystem>
#include <optional>

#include "audio/Mp3PrimitivesLibrary.h"
#include "platform/AppKeys.h"
#include "platform/ChildProcess.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"
#include "ui/AboutLogo.h"
#include "ui/ToolkitHelpers.h"
#include "ui/WebLink.h"

namespace orvel {

using toolkit::toQString;

namespace {

constexpr int kIconSize = 32;        // times k
constexpr int kLinkFontHeight = 11;  // times k
// The branding values are read into 128-character buffers: 127 and a terminator.
constexpr size_t kMaxBrandChars = 127;
constexpr WStringView kVersionInfoKey = u"\\Software\\Orvel\\Radio\\VersionInfo";

std::optional<uint32_t> dwordOf(const std::optional<RegValue>& value) {
  if (!value || value->type != kRegDword || value->data.size() != 4) return std::nullopt;
  const Bytes& d = value->data;
  return d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<uint32_t>(d[3]) << 24);
}

std::optional<WString> textOf(const std::optional<RegValue>& value) {
  if (!value || value->type != kRegSz) return std::nullopt;
  WString text;
  for (size_t i = 0; i + 1 < value->data.size() && text.size() < kMaxBrandChars; i += 2) {
    const auto c = static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

QString versionText() { return QString::number(AboutBox::kVersion, 'f', 2); }

}  // namespace

void AboutBox::run(QWidget* parent, bool landscape, Registry& registry,
                   const std::string& programDir) {
  AboutBox box(parent, landscape, registry, programDir);
  box.ToolkitDialog::run();
}

AboutBox::AboutBox(QWidget* parent, bool landscape, Registry& registry,
                   const std::string& programDir)
    : ToolkitDialog(parent, QStringLiteral("About")),
      m_programDir(programDir),
      m_layoutId(landscape ? kLandscapeId : kPortraitId) {
  QAction* update = menuBar()->addAction(QStringLiteral("Get update..."));
  connect(update, &QAction::triggered, this, [this] { sendCommand(kCmdGetUpdate); });

  auto* top = new QHBoxLayout;
  top->setSpacing(6 * scale());
  auto* icon = new QLabel(this);
  icon->setObjectName(QString::number(kIconId));
  icon->setPixmap(windowIcon().pixmap(kIconSize * scale()));
  icon->setVisible(!windowIcon().isNull());
  top->addWidget(icon);
  auto* version =
      new QLabel(QStringLiteral("%1 v%2").arg(toQString(kProgramTitle), versionText()), this);
  version->setObjectName(QString::number(kVersionId));
  QFont bold = toolkit::toolkitFont(true, 11, scale(), true);
  bold.setPixelSize(bold.pixelSize() + scale());
  version->setFont(bold);
  top->addWidget(version, 1);
  body()->addSpacing(4 * scale());
  body()->addLayout(top);

  QLabel* logo = buildLogo();
  QWidget* links = buildLinks();
  if (landscape) {
    buildLandscape(logo, links);
  } else {
    buildPortrait(logo, links);
  }
  brandLinks(registry);
}

AboutBox::~AboutBox() = default;

QLabel* AboutBox::buildLogo() {
  auto* logo = new QLabel(this);
  logo->setObjectName(QString::number(kLogoId));
  logo->setPixmap(AboutLogo::paint(toolkit::isHighResolution(screenSize()) ? 2 : 1));
  logo->setAlignment(Qt::AlignCenter);
  return logo;
}

QWidget* AboutBox::buildLinks() {
  auto* links = new QWidget(this);
  // Link texts scale with the screen, as the logo does.
  links->setFont(toolkit::toolkitFont(false, kLinkFontHeight, scale(), true));
  auto* layout = new QVBoxLayout(links);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2 * scale());
  const auto add = [&](int labelId, const QString& label, int linkId, const char16_t* text) {
    auto* caption = new QLabel(label, links);
    caption->setObjectName(QString::number(labelId));
    setBoldFont(caption);
    auto* link = new WebLink(text, links);
    link->setObjectName(QString::number(linkId));
    layout->addWidget(caption);
    layout->addWidget(link);
    layout->addSpacing(4 * scale());
    return std::pair{caption, link};
  };
  std::tie(m_homeLabel, m_homeLink) =
      add(kHomeLabelId, QStringLiteral("Home page:"), kHomeLinkId, u"orvel.example/radio");
  std::tie(m_supportLabel, m_supportLink) =
      add(kSupportLabelId, QStringLiteral("Support:"), kSupportLinkId, u"support@orvel.example");
  return links;
}

// Name and logo above a line, the links below it.
void AboutBox::buildPortrait(QWidget* logo, QWidget* links) {
  body()->addSpacing(6 * scale());
  body()->addWidget(logo);
  auto* line = new QFrame(this);
  line->setObjectName(QString::number(kSeparatorId));
  line->setFrameShape(QFrame::HLine);
  body()->addSpacing(4 * scale());
  body()->addWidget(line);
  body()->addWidget(links);
  body()->addStretch(1);
}

// The logo on the left, the links on the right, with the line between them.
void AboutBox::buildLandscape(QWidget* logo, QWidget* links) {
  auto* row = new QHBoxLayout;
  row->setSpacing(6 * scale());
  row->addWidget(logo, 0, Qt::AlignTop);
  auto* line = new QFrame(this);
  line->setObjectName(QString::number(kSeparatorId));
  line->setFrameShape(QFrame::VLine);
  row->addWidget(line);
  row->addWidget(links, 1);
  body()->addSpacing(6 * scale());
  body()->addLayout(row);
  body()->addStretch(1);
}

void AboutBox::brandLinks(Registry& registry) {
  struct Branding {
    const char16_t* hide;
    const char16_t* title;
    const char16_t* url;
    const char16_t* defaultUrl;
    QLabel* label;
    WebLink* link;
  };
  const Branding links[] = {
      {u"WebLinkHide", u"WebLinkTitle", u"WebLinkURL", kDefaultHomeUrl, m_homeLabel, m_homeLink},
      {u"SupportHide", u"SupportTitle", u"SupportURL", kDefaultSupportUrl, m_supportLabel,
       m_supportLink},
  };
  for (const Branding& branding : links) {
    if (dwordOf(registry.queryValue(kVersionInfoKey, branding.hide)) == 1u) {
      branding.label->hide();
      branding.link->hide();
      continue;
    }
    if (auto title = textOf(registry.queryValue(kVersionInfoKey, branding.title))) {
      branding.link->setText(*title);
    }
    const auto url = textOf(registry.queryValue(kVersionInfoKey, branding.url));
    branding.link->setLink(url ? *url : WString(branding.defaultUrl));
  }
}

WString AboutBox::updatePackage(bool isXScale) {
  return StringTable::load(kStrRadio) + (isXScale ? u"_p03.XScale.cab" : u"_p.ARM.cab");
}

// The handheld's command line -app="..." -file="..." -version=..., split as its C runtime
// splits it: the quotes only group, they are not part of the values.
std::vector<std::string> AboutBox::updaterArguments(bool isXScale) {
  return {"-app=" + toUtf8(kProgramTitle), "-file=" + toUtf8(updatePackage(isXScale)),
          "-version=" + versionText().toStdString()};
}

void AboutBox::startUpdater() const {
  const std::string updater = m_programDir + "/" + kUpdaterName;
  std::error_code error;
  if (!std::filesystem::is_regular_file(updater, error)) return;
  std::vector<std::string> argv{updater};
  for (std::string& argument : updaterArguments(Mp3PrimitivesLibrary::processorIsXScale())) {
    argv.push_back(std::move(argument));
  }
  ChildProcess::startDetached(argv);  // a failed start is not reported
}

bool AboutBox::command(int id) {
  if (id != kCmdGetUpdate) return ToolkitDialog::command(id);
  startUpdater();
  return true;
}

}  // namespace orvel
