#include "library/RadioLibrary.h"

#include <iterator>

namespace orvel {
namespace {

int32_t bitrateOf(const WString& bitrate) { return bitrate.empty() ? -1 : wtol(bitrate); }

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

bool RadioLibrary::StreamKeyBefore::operator()(const StreamKey& a, const StreamKey& b) const {
  if (a.bitrateKbps != b.bitrateKbps) return a.bitrateKbps > b.bitrateKbps;
  return compareNoCase(a.format, b.format) < 0;
}

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
  auto indexPlace = m_categoryIndex.nodes.end();
  if (append) {
    m_categoryIndex.drop();
  } else if (m_categoryIndex.sorted) {
    // After every category of the same name or a smaller one: the first of equal name is it.
    const auto [equal, after] = m_categoryIndex.nodes.equal_range(info.name);
    if (equal != after) return equal->second->get();
    if (after != m_categoryIndex.nodes.begin()) before = std::prev(after)->second;
    indexPlace = after;
  } else {
    for (auto it = m_categories.begin(); it != m_categories.end(); before = it++) {
      const int order = (*it)->name.compare(info.name);
      if (order == 0) return it->get();
      if (order > 0) break;
    }
  }
  const auto node = m_categories.insert_after(before, std::make_unique<CategoryInfo>(info));
  if (m_categoryIndex.sorted) m_categoryIndex.nodes.emplace_hint(indexPlace, info.name, node);
  m_liveCategories.insert(node->get());
  return node->get();
}

bool RadioLibrary::DeleteCategory(const CategoryInfo* category) {
  if (!findCategory(category)) return false;
  for (const RadioInfo* radio : radiosOf(category)) DeleteRadio(radio);
  m_categoryIndex.erase(category->name,
                        [category](const auto& node) { return node.get() == category; });
  m_categories.remove_if([category](const auto& node) { return node.get() == category; });
  m_liveCategories.erase(category);
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
  if (m_radioIndex.sorted) {
    const auto [equal, after] = m_radioIndex.nodes.equal_range(title);
    for (auto it = equal; it != after; ++it) {
      if ((*it->second)->category == category) {
        *existing = it->second->get();
        return before;
      }
    }
    return after == m_radioIndex.nodes.begin() ? before : std::prev(after)->second;
  }
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
  if (append) {
    m_radioIndex.drop();
  } else {
    RadioInfo* existing = nullptr;
    before = radioInsertionPoint(category, info.title, &existing);
    if (existing) return existing;
  }
  auto radio = std::make_unique<RadioInfo>();
  radio->title = info.title;
  radio->shortTitle = info.shortTitle;
  radio->category = category;
  const auto node = m_radios.insert_after(before, std::move(radio));
  if (m_radioIndex.sorted) {
    m_radioIndex.nodes.emplace_hint(m_radioIndex.nodes.upper_bound(info.title), info.title, node);
  }
  m_liveRadios.insert(node->get());
  return node->get();
}

bool RadioLibrary::DeleteRadio(const RadioInfo* radio) {
  if (!findRadio(radio)) return false;
  for (const StreamInfo* stream : streamsOf(radio)) DeleteStream(stream, false);
  m_radioIndex.erase(radio->title, [radio](const auto& node) { return node.get() == radio; });
  m_radios.remove_if([radio](const auto& node) { return node.get() == radio; });
  m_liveRadios.erase(radio);
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
    m_radioIndex.drop();  // the new title stays where the old one was
    m_liveRadios.erase(radio);
    m_liveRadios.insert(replacement.get());
    node = std::move(replacement);
    return node.get();
  }
  return nullptr;
}

bool RadioLibrary::SetSelectedStream(const RadioInfo* radio, const StreamInfo* stream) {
  RadioInfo* target = findRadio(radio);
  if (!target || !m_liveStreams.count(stream) || stream->radio != radio) return false;
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
  return m_liveStreams.count(stream) ? stream : nullptr;
}

RadioLibrary::StreamList::iterator RadioLibrary::streamInsertionPoint(const StreamKey& key) {
  // In front of the first stream that does not come before the new one.
  if (m_streamIndex.sorted) {
    const auto first = m_streamIndex.nodes.lower_bound(key);
    return first == m_streamIndex.nodes.begin() ? m_streams.before_begin()
                                                : std::prev(first)->second;
  }
  const StreamKeyBefore comesBefore;
  auto before = m_streams.before_begin();
  for (auto it = m_streams.begin(); it != m_streams.end(); before = it++) {
    if (!comesBefore(StreamKey{it->bitrateKbps, it->info->format}, key)) break;
  }
  return before;
}

const StreamInfo* RadioLibrary::AddStream(const RadioInfo* radio, const StreamInfo& info,
                                          bool append) {
  if (!findRadio(radio)) return nullptr;
  StreamKey key{bitrateOf(info.bitrate), info.format};
  if (append) m_streamIndex.drop();
  const auto before = append ? m_streams.before_begin() : streamInsertionPoint(key);
  const auto node =
      m_streams.insert_after(before, StreamNode{copyStream(radio, info), key.bitrateKbps});
  if (m_streamIndex.sorted) {
    const auto place = m_streamIndex.nodes.lower_bound(key);
    m_streamIndex.nodes.emplace_hint(place, std::move(key), node);
  }
  m_liveStreams.insert(node->info.get());
  return node->info.get();
}

bool RadioLibrary::DeleteStream(const StreamInfo* stream, bool fixSelection) {
  auto before = findStreamBefore(stream);
  if (before == m_streams.end()) return false;
  RadioInfo* radio = findRadio(stream->radio);
  const bool wasSelected = radio && radio->selectedStream == stream;
  m_streamIndex.erase(StreamKey{std::next(before)->bitrateKbps, stream->format},
                      [stream](const StreamNode& node) { return node.info.get() == stream; });
  m_streams.erase_after(before);
  m_liveStreams.erase(stream);
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
  m_streamIndex.drop();  // the new bitrate and format stay where the old ones were
  node.info = copyStream(stream->radio, info);
  node.bitrateKbps = bitrateOf(info.bitrate);
  m_liveStreams.erase(stream);
  m_liveStreams.insert(node.info.get());
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

std::vector<const CategoryInfo*> RadioLibrary::allCategories() const {
  std::vector<const CategoryInfo*> categories;
  for (const auto& category : m_categories) categories.push_back(category.get());
  return categories;
}

std::vector<const StreamInfo*> RadioLibrary::allStreams() const {
  std::vector<const StreamInfo*> streams;
  for (const auto& stream : m_streams) streams.push_back(stream.info.get());
  return streams;
}

// The records are created non-const by this container, so handing back a writable pointer to one
// of its own records is sound.
std::unordered_map<const CategoryInfo*, std::vector<const RadioInfo*>>
RadioLibrary::radiosByCategory() const {
  std::unordered_map<const CategoryInfo*, std::vector<const RadioInfo*>> groups;
  for (const auto& radio : m_radios) groups[radio->category].push_back(radio.get());
  return groups;
}

std::unordered_map<const RadioInfo*, std::vector<const StreamInfo*>> RadioLibrary::streamsByRadio()
    const {
  std::unordered_map<const RadioInfo*, std::vector<const StreamInfo*>> groups;
  for (const auto& stream : m_streams) groups[stream.info->radio].push_back(stream.info.get());
  return groups;
}

CategoryInfo* RadioLibrary::findCategory(const CategoryInfo* category) const {
  return m_liveCategories.count(category) ? const_cast<CategoryInfo*>(category) : nullptr;
}

RadioInfo* RadioLibrary::findRadio(const RadioInfo* radio) const {
  return m_liveRadios.count(radio) ? const_cast<RadioInfo*>(radio) : nullptr;
}

RadioLibrary::StreamList::iterator RadioLibrary::findStreamBefore(const StreamInfo* stream) {
  auto before = m_streams.before_begin();
  for (auto it = m_streams.begin(); it != m_streams.end(); before = it++) {
    if (it->info.get() == stream) return before;
  }
  return m_streams.end();
}

}  // namespace orvel
