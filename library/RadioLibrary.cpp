#include "library/RadioLibrary.h"

#include <iterator>

namespace orvel {
namespace {

int32_t bitrateOf(const WString& bitrate) { return bitrate.empty() ? -1 : wtol(bitrate); }

// True when a stream of (bitrate, format) is listed before one of (otherBitrate, otherFormat).
bool comesBefore(int32_t bitrate, const WString& format, int32_t otherBitrate,
                 const WString& otherFormat) {
  if (bitrate != otherBitrate) return bitrate > otherBitrate;
  return compareNoCase(format, otherFormat) < 0;
}

std::unique_ptr<StreamInfo> copyStream(const RadioInfo* radio, const StreamInfo& info) {
  auto copy = std::make_unique<StreamInfo>();
  copy->radio = radio;
  copy->url = info.url;
  copy->comment = info.comment;
  copy->bitrate = info.bitrate;
  copy->format = info.format;
  copy->origin = info.origin;
  return copy;
}

}  // namespace

RadioLibrary::RadioLibrary() = default;
RadioLibrary::~RadioLibrary() = default;

int RadioLibrary::CategoryCount() const {
  return static_cast<int>(std::distance(m_categories.begin(), m_categories.end()));
}

const CategoryInfo* RadioLibrary::GetCategory(int index) const {
  if (index < 0) return nullptr;
  for (const auto& category : m_categories) {
    if (index-- == 0) return category.get();
  }
  return nullptr;
}

const CategoryInfo* RadioLibrary::GetCategoryInfo(const CategoryInfo* category) const {
  return findCategory(category);
}

const CategoryInfo* RadioLibrary::AddCategory(const CategoryInfo& info, bool append) {
  auto before = m_categories.before_begin();
  if (!append) {
    for (auto it = m_categories.begin(); it != m_categories.end(); before = it++) {
      const int order = (*it)->name.compare(info.name);
      if (order == 0) return it->get();
      if (order > 0) break;
    }
  }
  return m_categories.insert_after(before, std::make_unique<CategoryInfo>(info))->get();
}

bool RadioLibrary::DeleteCategory(const CategoryInfo* category) {
  if (!findCategory(category)) return false;
  for (const RadioInfo* radio : radiosOf(category)) DeleteRadio(radio);
  m_categories.remove_if([category](const auto& node) { return node.get() == category; });
  return true;
}

int RadioLibrary::RadioCount(const CategoryInfo* category) const {
  return static_cast<int>(radiosOf(category).size());
}

const RadioInfo* RadioLibrary::GetRadio(const CategoryInfo* category, int index) const {
  if (index < 0 || !findCategory(category)) return nullptr;
  for (const auto& radio : m_radios) {
    if (radio->category == category && index-- == 0) return radio.get();
  }
  return nullptr;
}

const RadioInfo* RadioLibrary::GetRadioInfo(const RadioInfo* radio) const {
  return findRadio(radio);
}

RadioLibrary::RadioList::iterator RadioLibrary::radioInsertionPoint(const CategoryInfo* category,
                                                                    const WString& title,
                                                                    RadioInfo** existing) {
  auto before = m_radios.before_begin();
  for (auto it = m_radios.begin(); it != m_radios.end(); before = it++) {
    const int order = (*it)->title.compare(title);
    if (order == 0 && (*it)->category == category) {
      *existing = it->get();
      break;
    }
    if (order > 0) break;
  }
  return before;
}

const RadioInfo* RadioLibrary::AddRadio(const CategoryInfo* category, const RadioInfo& info,
                                        bool append) {
  if (!findCategory(category)) return nullptr;
  auto before = m_radios.before_begin();
  if (!append) {
    RadioInfo* existing = nullptr;
    before = radioInsertionPoint(category, info.title, &existing);
    if (existing) return existing;
  }
  auto radio = std::make_unique<RadioInfo>();
  radio->title = info.title;
  radio->shortTitle = info.shortTitle;
  radio->category = category;
  return m_radios.insert_after(before, std::move(radio))->get();
}

bool RadioLibrary::DeleteRadio(const RadioInfo* radio) {
  if (!findRadio(radio)) return false;
  for (const StreamInfo* stream : streamsOf(radio)) DeleteStream(stream, false);
  m_radios.remove_if([radio](const auto& node) { return node.get() == radio; });
  return true;
}

const RadioInfo* RadioLibrary::SetRadioInfo(const RadioInfo* radio, const RadioInfo& info) {
  for (auto& node : m_radios) {
    if (node.get() != radio) continue;
    auto replacement = std::make_unique<RadioInfo>();
    replacement->title = info.title;
    replacement->shortTitle = info.shortTitle;
    replacement->category = node->category;
    replacement->selectedStream = node->selectedStream;
    for (auto& stream : m_streams) {
      if (stream.info->radio == radio) stream.info->radio = replacement.get();
    }
    node = std::move(replacement);
    return node.get();
  }
  return nullptr;
}

bool RadioLibrary::SetSelectedStream(const RadioInfo* radio, const StreamInfo* stream) {
  RadioInfo* target = findRadio(radio);
  if (!target || !stream || stream->radio != radio) return false;
  if (findStreamBefore(stream) == m_streams.end()) return false;
  target->selectedStream = stream;
  return true;
}

int RadioLibrary::StreamCount(const RadioInfo* radio) const {
  return static_cast<int>(streamsOf(radio).size());
}

const StreamInfo* RadioLibrary::GetStream(const RadioInfo* radio, int index) const {
  if (index < 0 || !findRadio(radio)) return nullptr;
  for (const auto& stream : m_streams) {
    if (stream.info->radio == radio && index-- == 0) return stream.info.get();
  }
  return nullptr;
}

const StreamInfo* RadioLibrary::GetStreamInfo(const StreamInfo* stream) const {
  for (const auto& node : m_streams) {
    if (node.info.get() == stream) return stream;
  }
  return nullptr;
}

RadioLibrary::StreamList::iterator RadioLibrary::streamInsertionPoint(int32_t bitrateKbps,
                                                                      const WString& format) {
  auto before = m_streams.before_begin();
  for (auto it = m_streams.begin(); it != m_streams.end(); before = it++) {
    if (!comesBefore(it->bitrateKbps, it->info->format, bitrateKbps, format)) break;
  }
  return before;
}

const StreamInfo* RadioLibrary::AddStream(const RadioInfo* radio, const StreamInfo& info,
                                          bool append) {
  if (!findRadio(radio)) return nullptr;
  const int32_t bitrateKbps = bitrateOf(info.bitrate);
  auto before = append ? m_streams.before_begin() : streamInsertionPoint(bitrateKbps, info.format);
  return m_streams.insert_after(before, StreamNode{copyStream(radio, info), bitrateKbps})
      ->info.get();
}

bool RadioLibrary::DeleteStream(const StreamInfo* stream, bool fixSelection) {
  auto before = findStreamBefore(stream);
  if (before == m_streams.end()) return false;
  RadioInfo* radio = findRadio(stream->radio);
  const bool wasSelected = radio && radio->selectedStream == stream;
  m_streams.erase_after(before);
  // Without the flag the selection is cleared rather than left pointing at a deleted record.
  if (wasSelected) radio->selectedStream = fixSelection ? GetStream(radio, 0) : nullptr;
  return true;
}

const StreamInfo* RadioLibrary::SetStreamInfo(const StreamInfo* stream, const StreamInfo& info) {
  auto before = findStreamBefore(stream);
  if (before == m_streams.end()) return nullptr;
  StreamNode& node = *std::next(before);
  RadioInfo* radio = findRadio(stream->radio);
  const bool wasSelected = radio && radio->selectedStream == stream;
  node.info = copyStream(stream->radio, info);
  node.bitrateKbps = bitrateOf(info.bitrate);
  if (wasSelected) radio->selectedStream = node.info.get();
  return node.info.get();
}

std::vector<const RadioInfo*> RadioLibrary::radiosOf(const CategoryInfo* category) const {
  std::vector<const RadioInfo*> radios;
  if (!findCategory(category)) return radios;
  for (const auto& radio : m_radios) {
    if (radio->category == category) radios.push_back(radio.get());
  }
  return radios;
}

std::vector<const StreamInfo*> RadioLibrary::streamsOf(const RadioInfo* radio) const {
  std::vector<const StreamInfo*> streams;
  if (!findRadio(radio)) return streams;
  for (const auto& stream : m_streams) {
    if (stream.info->radio == radio) streams.push_back(stream.info.get());
  }
  return streams;
}

std::vector<const StreamInfo*> RadioLibrary::allStreams() const {
  std::vector<const StreamInfo*> streams;
  for (const auto& stream : m_streams) streams.push_back(stream.info.get());
  return streams;
}

CategoryInfo* RadioLibrary::findCategory(const CategoryInfo* category) const {
  for (const auto& node : m_categories) {
    if (node.get() == category) return node.get();
  }
  return nullptr;
}

RadioInfo* RadioLibrary::findRadio(const RadioInfo* radio) const {
  for (const auto& node : m_radios) {
    if (node.get() == radio) return node.get();
  }
  return nullptr;
}

RadioLibrary::StreamList::iterator RadioLibrary::findStreamBefore(const StreamInfo* stream) {
  auto before = m_streams.before_begin();
  for (auto it = m_streams.begin(); it != m_streams.end(); before = it++) {
    if (it->info.get() == stream) return before;
  }
  return m_streams.end();
}

}  // namespace orvel
