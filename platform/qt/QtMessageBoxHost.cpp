#include "platform/qt/QtMessageBoxHost.h"

#include <QMessageBox>

namespace orvel {
namespace {

QMessageBox::Icon qtIcon(MessageBoxHost::Icon icon) {
  switch (icon) {
    case MessageBoxHost::Icon::Stop: return QMessageBox::Critical;
    case MessageBoxHost::Icon::Information: return QMessageBox::Information;
    case MessageBoxHost::Icon::Question: return QMessageBox::Question;
    case MessageBoxHost::Icon::Warning: return QMessageBox::Warning;
    case MessageBoxHost::Icon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

int QtMessageBoxHost::show(const WString& text, const WString& caption, Icon icon,
                           Buttons buttons) {
  QMessageBox box(qtIcon(icon), QString::fromStdU16String(caption),
                  QString::fromStdU16String(text), QMessageBox::NoButton, m_owner);
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return kYes;
    case QMessageBox::No: return kNo;
    case QMessageBox::Cancel: return kCancel;
    default: return kOk;
  }
}

}  // namespace orvel
