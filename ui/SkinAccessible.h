#pragma once
// The skinned controls as screen readers see them, through Qt's accessibility interfaces: a
// SkinButton is a push button named by its accessible name (the panels name theirs) that the
// Press action taps, a SkinTextControl is a static text whose value is the line it shows, and
// a panel groups its controls. The panels announce a text line's new value with
// announce(). UI thread only.

#include <QAccessibleWidget>
#include <QString>

namespace orvel {

class SkinTextControl;

class SkinAccessible : public QAccessibleWidget {
 public:
  // Makes Qt ask this class for the skinned controls' interfaces; once per process.
  static void install();
  // Tells accessibility tools the line the control shows now, if it changed since the last call.
  static void announce(SkinTextControl* control);

  SkinAccessible(QWidget* widget, QAccessible::Role role);

  QString text(QAccessible::Text kind) const override;
  QStringList actionNames() const override;
  void doAction(const QString& action) override;
};

}  // namespace orvel
