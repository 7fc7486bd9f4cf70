#pragma once
// The current skin: the seventeen element records of the player screen, by element index, and
// the skin's information. Made once at start-up, parsed again whenever another skin is chosen,
// and read by every skin control each time it lays itself out or draws. UI thread only.

#include <array>
#include <memory>

#include "platform/Text.h"
#include "skin/SkinElement.h"
#include "skin/SkinInfo.h"

namespace orvel {

class ImageDecoder;
class SkinIniFile;

class SkinDescription {
 public:
  // Element indexes: the fixed order of the sections.
  enum ElementIndex : int {
    kPresetsPanel = 0,
    kPreset1Btn = 1,  // ... kPreset1Btn + 8 is Preset9Btn
    kMainPanel = 10,
    kPlayBtn = 11,
    kVolumeUpBtn = 12,
    kVolumeDownBtn = 13,
    kStateText = 14,
    kStaticText = 15,
    kLiveText = 16,
  };
  static constexpr int kElementCount = 17;

  // The section name of an element index; nullptr out of range.
  static const char* sectionName(int index);

  // decoder decodes the images on first drawing; not owned, may be null (no images then).
  explicit SkinDescription(ImageDecoder* decoder);

  // The width of the screen the skin is shown on; positions and images are scaled by its
  // ratio to the skin's design width. 0 (the start) shows the skin unscaled.
  void setScreenWidth(int widthPixels) { m_screenWidth = widthPixels; }

  // Replaces the whole content with the description file at path (a "/" path). False when
  // the file cannot be opened or any section lacks a required value; error then holds the
  // text of the last failing section. What could be read stays in either case.
  bool Parse(const WString& path, WString& error);

  // The record of an element index, or nullptr for an empty slot or an index out of range.
  // The first two retrievals after a parse see the layout pending flag set and then cleared;
  // the first applies the screen scale.
  SkinElement* ElementForLayout(int index);
  // As ElementForLayout, and the element's image is decoded if it was not yet.
  SkinElement* ElementForDrawing(int index);

  // The skin's information as read (possibly incomplete after a failed parse); nullptr
  // before the first parse and after Clear.
  const SkinInfo* info() const { return m_info.get(); }

  // Destroys every element record and the information.
  void Clear();

 private:
  bool parseSections(const SkinIniFile& file, const WString& folder, std::string& error);
  double currentScale() const;

  ImageDecoder* m_decoder;
  int m_screenWidth = 0;
  std::array<std::unique_ptr<SkinElement>, kElementCount> m_elements;
  std::unique_ptr<SkinInfo> m_info;
};

}  // namespace orvel
