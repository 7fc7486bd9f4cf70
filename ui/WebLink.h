#pragma once
// The "OvWebLink" control: one line of underlined text that opens its link when tapped. The
// text is blue, purple while the pen is down on it. A release inside the control opens the
// link; sliding off before the release cancels, sliding back on re-arms it. A link that begins
// with "mailto:" (in any case) starts the mail program with the address after it; any other
// link goes to the browser as it is. Without a link a tap does nothing. Launch failures are not
// reported. Dialogs place it like a label. UI thread only.

#include <QWidget>

#include "platform/Text.h"

namespace orvel {

class WebLink : public QWidget {
  Q_OBJECT

 public:
  // The numbers of the control's "set link" and "get link" messages on the handheld; kept as
  // the ids under which dialogs know the two operations.
  static constexpr int kSetLinkMessage = 32757;
  static constexpr int kGetLinkMessage = 32758;
  // Longer links and texts are cut to these many characters.
  static constexpr size_t kMaxLinkChars = 258;
  static constexpr size_t kMaxTextChars = 127;
  static inline const QColor kLinkColour{0, 0, 255};
  static inline const QColor kPressedColour{128, 0, 128};

  WebLink(const WString& text, QWidget* parent);

  void setText(WStringView text);
  const WString& text() const { return m_text; }
  // Replaces the link and repaints; always true.
  bool setLink(WStringView link);
  // The link cut to capacityChars - 1 characters, as a caller's buffer of that size holds it.
  WString link(size_t capacityChars = kMaxLinkChars + 2) const;
  // Left (the default), centred or right within the control.
  void setAlignment(Qt::Alignment alignment);
  bool isPressed() const { return m_pressed; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void underlineFont();
  void release();
  void openLink() const;

  WString m_text;
  WString m_link;
  Qt::Alignment m_alignment = Qt::AlignLeft;
  bool m_pressed = false;
  bool m_settingFont = false;  // our own font change is not a new font to underline
};

}  // namespace orvel
