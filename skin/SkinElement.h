#pragma once
// The base of the element records of a skin: one per control of the player screen. Records
// are made by SkinDescription::Parse and read by the skin controls on the UI thread.
//
// The two pending flags tell a control that the record is new since the last parse: while
// layoutPending is set the control re-reads its geometry, while imagePending is set it re-takes
// the image. SkinDescription clears them on the second retrieval (firstRetrieval marks the first).

#include <cstdint>

#include "platform/Text.h"

namespace orvel {

class ImageDecoder;

class SkinElement {
 public:
  virtual ~SkinElement() = default;

  // Decodes the image (stretched by the scale factor); false when there is none.
  virtual bool loadImage(ImageDecoder& decoder) = 0;
  // Multiplies the coordinates by the factor, once in the record's life.
  virtual void applyScale(float scale) { m_scale = scale; }

  bool layoutPending = true;
  bool firstRetrieval = false;
  bool imagePending = true;
  bool imageLoaded = false;
  WString imagePath;  // empty: no image

  float scale() const { return m_scale; }
  bool isScaled() const { return m_scaled; }

 protected:
  // True the first time only, so that coordinates are never scaled twice.
  bool beginScale(float scale) {
    if (m_scaled) return false;
    m_scaled = true;
    m_scale = scale;
    return true;
  }
  bool scaleDiffers() const;

 private:
  float m_scale = 1.0f;
  bool m_scaled = false;
};

}  // namespace orvel
