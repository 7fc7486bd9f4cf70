#include "skin/SkinDescription.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/FilePath.h"
#include "resources/StringTable.h"
#include "skin/SkinButtonElement.h"
#include "skin/SkinIniFile.h"
#include "skin/SkinPanelElement.h"
#include "skin/SkinSectionReader.h"
#include "skin/SkinTextElement.h"

namespace orvel {
namespace {

constexpr const char* kSectionNames[SkinDescription::kElementCount] = {
    "PresetsPanel", "Preset1Btn",    "Preset2Btn", "Preset3Btn", "Preset4Btn", "Preset5Btn",
    "Preset6Btn",   "Preset7Btn",    "Preset8Btn", "Preset9Btn", "MainPanel",  "PlayBtn",
    "VolumeUpBtn",  "VolumeDownBtn", "StateText",  "StaticText", "LiveText"};

// An edge from a position and a size that a skin file may give as any 32-bit numbers: a sum past
// the range stops at its end.
int32_t edge(int32_t position, int32_t size) {
  const int64_t sum = int64_t{position} + size;
  return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

bool isPanel(int index) {
  return index == SkinDescription::kPresetsPanel || index == SkinDescription::kMainPanel;
}
bool isText(int index) { return index >= SkinDescription::kStateText; }

bool readPanel(SkinSectionReader& reader, SkinPanelElement& panel) {
  int32_t x = 0, y = 0;
  if (!reader.require("X", x)) return false;
  panel.x = static_cast<uint16_t>(x);
  if (!reader.require("Y", y)) return false;
  panel.y = static_cast<uint16_t>(y);
  const auto width = reader.integer("Width");
  const auto height = reader.integer("Height");
  panel.width = static_cast<uint16_t>(width && *width >= 0 ? *width : 0);
  panel.height = static_cast<uint16_t>(height && *height >= 0 ? *height : 0);
  return reader.requireImage(panel.imagePath);
}

bool readImageKeys(SkinSectionReader& reader, SkinImageElement& element) {
  int32_t x = 0, y = 0, width = 0, height = 0;
  if (!reader.requireImage(element.imagePath)) return false;
  if (!reader.require("X", x)) return false;
  element.x = static_cast<uint16_t>(x);
  element.left = x;
  if (!reader.require("Y", y)) return false;
  element.y = static_cast<uint16_t>(y);
  element.top = y;
  if (!reader.require("Width", width)) return false;
  element.right = edge(x, width);
  if (!reader.require("Height", height)) return false;
  element.bottom = edge(y, height);
  return true;
}

// Every key is optional; reading stops at the first one missing and the rest keep defaults.
void readButtonText(SkinSectionReader& reader, SkinButtonElement& button) {
  const auto colour = reader.colour();
  if (!colour) return;
  button.textColor = *colour;
  const auto font = reader.text("FontName");
  if (!font) return;
  button.fontName = *font;
  const auto size = reader.integer("FontSize");
  if (!size) return;
  button.fontSize = *size;
  int32_t* fields[] = {&button.textLeft, &button.textTop, &button.textRight, &button.textBottom};
  const char* keys[] = {"TextX", "TextY", "TextWidth", "TextHeight"};
  for (int i = 0; i < 4; ++i) {
    const auto value = reader.integer(keys[i]);
    *fields[i] = value.value_or(-1);
    if (!value) return;
  }
  button.textRight = edge(button.textLeft, button.textRight);
  button.textBottom = edge(button.textTop, button.textBottom);
}

bool readText(SkinSectionReader& reader, SkinTextElement& text) {
  int32_t r = 0, g = 0, b = 0, scrolling = 0;
  if (!reader.require("TextColorR", r) || !reader.require("TextColorG", g) ||
      !reader.require("TextColorB", b)) {
    return false;
  }
  text.textColor = qRgb(r & 0xFF, g & 0xFF, b & 0xFF);
  if (!reader.require("FontName", text.fontName)) return false;
  if (!reader.require("FontSize", text.fontSize)) return false;
  if (!reader.require("Scrolling", scrolling)) return false;
  text.scrolling = scrolling != 0;
  return true;
}

bool readInfo(SkinSectionReader& reader, SkinInfo& info) {
  return reader.require("Width", info.width) && reader.require("Height", info.height) &&
         reader.require("Name", info.name) && reader.require("Subname", info.subname) &&
         reader.require("Author", info.author) && reader.require("Comments", info.comments) &&
         reader.require("Web", info.web);
}

}  // namespace

const char* SkinDescription::sectionName(int index) {
  return index >= 0 && index < kElementCount ? kSectionNames[index] : nullptr;
}

SkinDescription::SkinDescription(ImageDecoder* decoder) : m_decoder(decoder) {}

void SkinDescription::Clear() {
  for (auto& element : m_elements) element.reset();
  m_info.reset();
}

bool SkinDescription::Parse(const WString& path, WString& error) {
  Clear();
  error.clear();
  const WString folder = splitPath(path).directory;
  SkinIniFile file;
  if (!file.Open(toFsPath(path))) {
    error = StringTable::load(kStrCannotOpenSkinFile);
    return false;
  }
  std::string errorText;
  const bool ok = parseSections(file, folder, errorText);
  error = decodeAnsi(errorText);
  return ok;
}

bool SkinDescription::parseSections(const SkinIniFile& file, const WString& folder,
                                    std::string& error) {
  bool ok = true;
  for (int index = 0; index < kElementCount; ++index) {
    SkinSectionReader reader(file, kSectionNames[index], folder, error);
    bool sectionOk = false;
    if (isPanel(index)) {
      auto panel = std::make_unique<SkinPanelElement>();
      sectionOk = readPanel(reader, *panel);
      m_elements[index] = std::move(panel);
    } else if (isText(index)) {
      auto text = std::make_unique<SkinTextElement>();
      sectionOk = readImageKeys(reader, *text) && readText(reader, *text);
      m_elements[index] = std::move(text);
    } else {
      auto button = std::make_unique<SkinButtonElement>();
      sectionOk = readImageKeys(reader, *button);
      if (sectionOk) readButtonText(reader, *button);
      m_elements[index] = std::move(button);
    }
    ok = ok && sectionOk;
  }
  SkinSectionReader infoReader(file, "Info", folder, error);
  m_info = std::make_unique<SkinInfo>();
  return readInfo(infoReader, *m_info) && ok;
}

double SkinDescription::currentScale() const {
  // A skin without a usable design width is shown as drawn.
  if (m_info == nullptr || m_info->width <= 0 || m_screenWidth <= 0) return 1.0;
  return static_cast<float>(m_screenWidth) / static_cast<float>(m_info->width);
}

SkinElement* SkinDescription::ElementForLayout(int index) {
  if (index < 0 || index >= kElementCount || !m_elements[index]) return nullptr;
  SkinElement& element = *m_elements[index];
  if (element.layoutPending) {
    if (element.firstRetrieval) {
      element.layoutPending = false;
    } else {
      element.firstRetrieval = true;
    }
    const double scale = currentScale();
    if (std::fabs(scale - 1.0) > 0.000001) element.applyScale(static_cast<float>(scale));
  }
  return &element;
}

SkinElement* SkinDescription::ElementForDrawing(int index) {
  SkinElement* element = ElementForLayout(index);
  if (element == nullptr || !element->imagePending) return element;
  if (element->imageLoaded) {
    element->imagePending = false;
  } else {
    if (m_decoder != nullptr) element->loadImage(*m_decoder);
    element->imageLoaded = true;
  }
  return element;
}

}  // namespace orvel
