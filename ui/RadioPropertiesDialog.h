#pragma once
// "Radio properties" of a row of the radio dialog. For a stream row: the stream's URL, format,
// bitrate and comment can be changed (the stream becomes a user stream); the radio's titles and
// category are shown but fixed. For a radio row: the titles and the category can be changed
// (the selected stream is shown but fixed); another category moves the radio there, merging
// it with a radio of the same title. An empty title (string 55) or URL (string 54) is refused
// and the dialog stays open. UI thread only.

#include "library/RadioDatabase.h"
#include "ui/ToolkitDialog.h"

namespace orvel {

class RadioPropertiesDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kTitleId = 1005;
  static constexpr int kShortTitleId = 1015;
  static constexpr int kUrlId = 1006;
  static constexpr int kFormatId = 1045;
  static constexpr int kBitrateId = 1008;
  static constexpr int kCommentId = 1009;
  static constexpr int kCategoryId = 1048;

  // stream is nullptr for a radio row.
  RadioPropertiesDialog(QWidget* parent, RadioDatabase& database, const CategoryInfo* category,
                        const RadioInfo* radio, const StreamInfo* stream);

 protected:
  bool command(int id) override;

 private:
  bool refuseEmpty(int editId, uint16_t message);
  void applyStream();
  void applyRadio();
  void moveRadio(const CategoryInfo* target);

  RadioDatabase& m_database;
  const CategoryInfo* m_category;
  const RadioInfo* m_radio;
  const StreamInfo* m_stream;
};

}  // namespace orvel
