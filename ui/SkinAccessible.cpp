#include "ui/SkinAccessible.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include "skin/SkinButton.h"
#include "skin/SkinPanel.h"
#include "skin/SkinTextControl.h"

namespace orvel {
namespace {

// The last line announced per control, kept on the control itself.
constexpr char kAnnouncedProperty[] = "orvelAnnouncedLine";

QString shownLine(const SkinTextControl* control) {
  return QString::fromStdU16String(control->line(control->currentLine()));
}

QAccessibleInterface* skinFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return nullptr;
  if (dynamic_cast<SkinButton*>(widget) != nullptr) {
    return new SkinAccessible(widget, QAccessible::Button);
  }
  if (dynamic_cast<SkinTextControl*>(widget) != nullptr) {
    return new SkinAccessible(widget, QAccessible::StaticText);
  }
  if (dynamic_cast<SkinPanel*>(widget) != nullptr) {
    return new SkinAccessible(widget, QAccessible::Grouping);
  }
  return nullptr;
}

}  // namespace

void SkinAccessible::install() {
  static const bool installed = [] {
    QAccessible::installFactory(&skinFactory);
    return true;
  }();
  (void)installed;
}

void SkinAccessible::announce(SkinTextControl* control) {
  if (control == nullptr) return;
  const QString line = shownLine(control);
  if (control->property(kAnnouncedProperty).toString() == line) return;
  control->setProperty(kAnnouncedProperty, line);
  QAccessibleValueChangeEvent event(control, line);
  QAccessible::updateAccessibility(&event);
}

SkinAccessible::SkinAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role) {}

QString SkinAccessible::text(QAccessible::Text kind) const {
  const auto* textControl = dynamic_cast<const SkinTextControl*>(widget());
  if (textControl != nullptr && (kind == QAccessible::Value || kind == QAccessible::Description)) {
    return shownLine(textControl);
  }
  return QAccessibleWidget::text(kind);
}

QStringList SkinAccessible::actionNames() const {
  if (role() == QAccessible::Button) return {pressAction()};
  return QAccessibleWidget::actionNames();
}

void SkinAccessible::doAction(const QString& action) {
  if (role() != QAccessible::Button || action != pressAction()) {
    QAccessibleWidget::doAction(action);
    return;
  }
  // A tap: the press does the button's work, the release restores its look.
  QWidget* button = widget();
  const QPointF inside(1, 1);
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, inside, button->mapToGlobal(inside), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &event);
  }
}

}  // namespace orvel
