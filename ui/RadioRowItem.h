#pragma once
// One row of the radio list: a category, a radio or a stream, with the handles it stands for.
// The row owns nothing of the library; deleting the row frees the record.

#include <QTreeWidgetItem>

#include "library/CategoryInfo.h"
#include "library/RadioInfo.h"
#include "library/StreamInfo.h"

namespace orvel {

class RadioRowItem : public QTreeWidgetItem {
 public:
  enum Flag : int {
    kCategory = 1,
    kRadio = 2,
    kStream = 4,
    kExpanded = 8,
    kSelectedStream = 0x10,  // the stream is its radio's selected stream
  };

  RadioRowItem(int flags, const CategoryInfo* category, const RadioInfo* radio,
               const StreamInfo* stream);

  int kind() const { return m_flags & (kCategory | kRadio | kStream); }
  bool has(int flag) const { return (m_flags & flag) != 0; }
  void set(int flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }

  const CategoryInfo* category() const { return m_category; }
  const RadioInfo* radio() const { return m_radio; }
  const StreamInfo* stream() const { return m_stream; }

  // The texts of columns 1 and 2; they follow the records, so they are built on request.
  QString mainText() const;
  QString sideText() const;

 private:
  int m_flags;
  const CategoryInfo* m_category;
  const RadioInfo* m_radio;
  const StreamInfo* m_stream;
};

}  // namespace orvel
