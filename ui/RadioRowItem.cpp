#include "ui/RadioRowItem.h"

#include "ui/ToolkitHelpers.h"

namespace orvel {

using toolkit::toQString;

RadioRowItem::RadioRowItem(int flags, const CategoryInfo* category, const RadioInfo* radio,
                           const StreamInfo* stream)
    : m_flags(flags), m_category(category), m_radio(radio), m_stream(stream) {}

QString RadioRowItem::mainText() const {
  switch (kind()) {
    case kCategory:
      return toQString(m_category->name);
    case kRadio:
      return toQString(m_radio->title);
    case kStream:
      return QStringLiteral("Bitrate: %1 kbps, Format: %2")
          .arg(toQString(m_stream->bitrate), toQString(m_stream->format));
    default:
      return {};
  }
}

QString RadioRowItem::sideText() const {
  if (kind() != kRadio || m_radio->selectedStream == nullptr) return {};
  const StreamInfo* selected = m_radio->selectedStream;
  return QStringLiteral("%1 %2").arg(toQString(selected->bitrate), toQString(selected->format));
}

}  // namespace orvel
