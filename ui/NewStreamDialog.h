#pragma once
// "New stream": URL, format, bitrate, comment and the radio (every radio title, sorted). OK
// refuses an empty URL with string 54 and stays open; otherwise adds a user stream to the radio,
// which selects it when it had no selected stream. UI thread only.

#include "library/RadioDatabase.h"
#include "ui/ToolkitDialog.h"

namespace orvel {

class NewStreamDialog : public ToolkitDialog {
  Q_OBJECT

 public:
  static constexpr int kUrlId = 1006;
  static constexpr int kFormatId = 1045;
  static constexpr int kBitrateId = 1008;
  static constexpr int kCommentId = 1009;
  static constexpr int kRadioId = 1048;

  NewStreamDialog(QWidget* parent, RadioDatabase& database);

 protected:
  bool command(int id) override;

 private:
  RadioDatabase& m_database;
};

}  // namespace orvel
