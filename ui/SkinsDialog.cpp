#include "ui/SkinsDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include "skin/SkinList.h"
#include "ui/ToolkitHelpers.h"
#include "ui/WebLink.h"

namespace orvel {

using toolkit::toQString;

namespace {
constexpr int kLinkFontHeight = 9;  // times k
}

void SkinsDialog::run(QWidget* parent, SkinList& list, int screenWidth, int screenHeight) {
  SkinsDialog dialog(parent, list, screenWidth, screenHeight);
  // At start-up there is no player window yet: the dialog takes the screen it chooses for.
  if (parent == nullptr) dialog.setScreenSize(QSize(screenWidth, screenHeight));
  dialog.ToolkitDialog::run();
}

SkinsDialog::SkinsDialog(QWidget* parent, SkinList& list, int screenWidth, int screenHeight)
    : ToolkitDialog(parent, QStringLiteral("Skins")),
      m_list(list),
      m_screenWidth(screenWidth),
      m_screenHeight(screenHeight) {
  WString assigned;
  if (list.ChooseSkin(screenWidth, screenHeight, assigned) == SkinList::kSkinFound) {
    m_assigned = assigned;
  }
  m_skins = addDropDown(kListId, QStringLiteral("List of skins:"));
  int selected = 0;
  for (int i = 0; i < list.validCount(); ++i) {
    const SkinListEntry* skin = list.validSkin(i);
    if (!SkinList::FitsScreen(*skin->info, screenWidth, screenHeight)) continue;
    if (skin->path == m_assigned) selected = m_skins->count();
    m_skins->addItem(
        QStringLiteral("%1 (%2)").arg(toQString(skin->info->name), toQString(skin->info->subname)),
        i);
  }

  m_details = new QGridLayout;
  m_details->setHorizontalSpacing(4 * scale());
  m_details->setColumnStretch(1, 1);
  body()->addLayout(m_details);
  m_dimensions = addDetail(kDimensionsId, QStringLiteral("Dimensions:"));
  m_author = addDetail(kAuthorId, QStringLiteral("Author:"));
  m_web = new WebLink(WString(), this);
  m_web->setObjectName(QString::number(kWebId));
  m_web->setFont(toolkit::toolkitFont(false, kLinkFontHeight, scale(), true));
  addDetail(0, QStringLiteral("Web:"));
  m_details->addWidget(m_web, m_details->rowCount() - 1, 1);
  m_comments = addDetail(kCommentsId, QStringLiteral("Comments:"));
  m_comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  m_warning = addStatic(kWarningId, QStringLiteral("This skin doesn't fit screen dimensions!"));
  QPalette palette = m_warning->palette();
  palette.setColor(QPalette::WindowText, kWarningColour);
  m_warning->setPalette(palette);
  body()->addStretch(1);

  m_skins->setCurrentIndex(selected);
  connect(m_skins, &QComboBox::currentIndexChanged, this, [this] { showDetails(); });
  showDetails();
}

SkinsDialog::~SkinsDialog() = default;

// A caption in the first column and its value, word-wrapped, in the second.
QLabel* SkinsDialog::addDetail(int id, const QString& caption) {
  const int row = m_details->rowCount();
  auto* captionLabel = new QLabel(caption, this);
  setBoldFont(captionLabel);
  m_details->addWidget(captionLabel, row, 0, Qt::AlignLeft | Qt::AlignTop);
  if (id == 0) return captionLabel;
  auto* value = new QLabel(this);
  value->setObjectName(QString::number(id));
  value->setWordWrap(true);
  m_details->addWidget(value, row, 1);
  return value;
}

const SkinListEntry* SkinsDialog::selectedSkin() const {
  return m_skins->currentIndex() >= 0 ? m_list.validSkin(m_skins->currentData().toInt()) : nullptr;
}

WString SkinsDialog::selectedPath() const {
  const SkinListEntry* skin = selectedSkin();
  return skin != nullptr ? skin->path : WString();
}

void SkinsDialog::showDetails() {
  const SkinListEntry* skin = selectedSkin();
  if (skin == nullptr) {
    for (QLabel* label : {m_dimensions, m_author, m_comments}) label->clear();
    m_web->setText({});
    m_web->setLink({});
    m_warning->hide();
    return;
  }
  const SkinInfo& info = *skin->info;
  m_dimensions->setText(
      QStringLiteral("%1 x %2 (width x height)").arg(info.width).arg(info.height));
  m_author->setText(toQString(info.author));
  m_web->setText(info.web);
  m_web->setLink(info.web);
  m_comments->setText(toQString(info.comments));
  m_warning->setVisible(!SkinList::FitsScreen(info, m_screenWidth, m_screenHeight));
}

void SkinsDialog::finish() {
  if (m_closed) return;
  m_closed = true;
  const SkinListEntry* skin = selectedSkin();
  if (skin == nullptr || skin->path == m_assigned) return;
  if (!SkinList::FitsScreen(*skin->info, m_screenWidth, m_screenHeight)) return;
  m_list.RememberSkin(m_screenWidth, m_screenHeight, skin->path);
  m_changed = true;
}

bool SkinsDialog::command(int id) {
  if (id == kIdOk || id == kIdCancel || id == kIdClose) finish();
  return ToolkitDialog::command(id);
}

void SkinsDialog::done(int result) {
  finish();
  ToolkitDialog::done(result);
}

}  // namespace orvel
