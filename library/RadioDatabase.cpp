#include "library/RadioDatabase.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "library/AsxPlaylist.h"
#include "library/M3uPlaylist.h"
#include "library/PlsPlaylist.h"
#include "library/XspfPlaylist.h"
#include "platform/FilePath.h"
#include "resources/StringTable.h"

namespace orvel {
namespace {

std::unique_ptr<PlaylistFile> readerFor(const WString& extension) {
  if (equalsNoCase(extension, u"asx")) return std::make_unique<AsxPlaylist>();
  if (equalsNoCase(extension, u"m3u") || equalsNoCase(extension, u"m3u8")) {
    return std::make_unique<M3uPlaylist>();
  }
  if (equalsNoCase(extension, u"pls")) return std::make_unique<PlsPlaylist>();
  if (equalsNoCase(extension, u"xspf")) return std::make_unique<XspfPlaylist>();
  if (equalsNoCase(extension, u"rrd")) return std::make_unique<RrdFile>();
  return nullptr;
}

bool fileExists(const WString& path) {
  struct stat status {};
  return ::stat(toFsPath(path).c_str(), &status) == 0;
}

RadioInfo titlesOf(const RadioInfo& radio) {
  RadioInfo titles;
  titles.title = radio.title;
  titles.shortTitle = radio.shortTitle;
  return titles;
}

}  // namespace

RadioDatabase::RadioDatabase() = default;
RadioDatabase::~RadioDatabase() = default;

bool RadioDatabase::OpenDefaultLibrary(const WString& path) {
  return openLibrary(m_shipped, path, kOriginShipped);
}

bool RadioDatabase::OpenUserLibrary(const WString& path) {
  return openLibrary(m_user, path, kOriginUser);
}

bool RadioDatabase::openLibrary(LibraryFile& file, const WString& path, int32_t origin) {
  file.path = path;
  file.known = true;
  const bool loaded = import(path, nullptr, origin);
  file.unreadable = !loaded && fileExists(path);
  return loaded;
}

bool RadioDatabase::OpenPresets(const WString& path) {
  m_presets = std::make_unique<RrdFile>();
  m_presetsFile.path = path;
  m_presetsFile.known = true;
  m_presetsFile.unreadable = !m_presets->Load(path, true) && fileExists(path);
  ensurePresets();
  return true;
}

bool RadioDatabase::ImportFile(const WString& path, const CategoryInfo* category) {
  if (!category || !GetCategoryInfo(category)) return false;
  return import(path, category, kOriginUser);
}

bool RadioDatabase::ImportIntoMyRadios(const WString& path) {
  const WString name = StringTable::load(kStrMyRadios);
  const CategoryInfo* target = nullptr;
  for (const CategoryInfo* category : allCategories()) {
    if (equalsNoCase(category->name, name)) {
      target = category;
      break;
    }
  }
  if (!target) target = AddCategory(CategoryInfo{name}, false);
  return ImportFile(path, target);
}

bool RadioDatabase::import(const WString& path, const CategoryInfo* fixedCategory, int32_t origin) {
  const PathParts parts = splitPath(path);
  if (parts.extension.empty()) return false;
  std::unique_ptr<PlaylistFile> reader = readerFor(parts.extension);
  if (!reader || !reader->Load(path, false)) return false;
  const auto radios = reader->radiosByCategory();
  const auto streams = reader->streamsByRadio();
  for (const CategoryInfo* category : reader->allCategories()) {
    const CategoryInfo* target =
        fixedCategory ? fixedCategory : AddCategory(CategoryInfo{category->name}, false);
    if (!target) return false;
    const auto found = radios.find(category);
    if (found != radios.end()) copyRadios(found->second, streams, target, origin);
  }
  return true;
}

void RadioDatabase::copyRadios(const std::vector<const RadioInfo*>& radios,
                               const StreamsByRadio& streams, const CategoryInfo* target,
                               int32_t origin) {
  for (const RadioInfo* radio : radios) {
    const RadioInfo* ours = AddRadio(target, titlesOf(*radio), false);
    const auto found = streams.find(radio);
    if (!ours || found == streams.end()) continue;
    for (const StreamInfo* stream : found->second) {
      StreamInfo copy = *stream;
      copy.origin = origin;
      const StreamInfo* added = AddStream(ours, copy, false);
      if (added && radio->selectedStream == stream) SetSelectedStream(ours, added);
    }
  }
}

std::unique_ptr<RrdFile> RadioDatabase::extract(int32_t origin) const {
  auto file = std::make_unique<RrdFile>();
  auto radios = radiosByCategory();
  auto streams = streamsByRadio();
  // Radios and categories that would get no stream of this origin are left out altogether.
  for (const CategoryInfo* category : allCategories()) {
    const CategoryInfo* fileCategory = nullptr;
    for (const RadioInfo* radio : radios[category]) {
      std::vector<const StreamInfo*> own;
      for (const StreamInfo* stream : streams[radio]) {
        if (stream->origin == origin) own.push_back(stream);
      }
      if (own.empty()) continue;
      if (!fileCategory) fileCategory = file->AddCategory(CategoryInfo{category->name}, false);
      const RadioInfo* fileRadio = file->AddRadio(fileCategory, titlesOf(*radio), false);
      for (const StreamInfo* stream : own) {
        const StreamInfo* added = file->AddStream(fileRadio, *stream, false);
        if (radio->selectedStream == stream) file->SetSelectedStream(fileRadio, added);
      }
    }
  }
  return file;
}

bool RadioDatabase::write(const LibraryFile& file, PlaylistFile& content) {
  if (file.unreadable) {
    const std::string fsPath = toFsPath(file.path);
    if (std::rename(fsPath.c_str(), (fsPath + ".corrupt").c_str()) != 0) return false;
  }
  return content.Save(file.path);
}

bool RadioDatabase::Close() {
  bool written = true;
  if (m_shipped.known) written = write(m_shipped, *extract(kOriginShipped)) && written;
  if (m_user.known) written = write(m_user, *extract(kOriginUser)) && written;
  if (m_presets && m_presetsFile.known) written = write(m_presetsFile, *m_presets) && written;
  m_shipped = LibraryFile();
  m_user = LibraryFile();
  m_presetsFile = LibraryFile();
  m_presets.reset();
  return written;
}

void RadioDatabase::ensurePresets() {
  for (int i = m_presets->CategoryCount(); i < kPresetCount; ++i) {
    const CategoryInfo* category =
        m_presets->AddCategory(CategoryInfo{fromAscii("Cat" + std::to_string(i))}, true);
    const RadioInfo* radio = m_presets->AddRadio(category, RadioInfo(), true);
    m_presets->AddStream(radio, StreamInfo(), true);
  }
}

const RadioInfo* RadioDatabase::presetRadio(int index) const {
  if (!m_presets || index < 0 || index >= kPresetCount) return nullptr;
  return m_presets->GetRadio(m_presets->GetCategory(index), 0);
}

const StreamInfo* RadioDatabase::GetPreset(int index) const {
  const RadioInfo* radio = presetRadio(index);
  const StreamInfo* stream = radio ? m_presets->GetStream(radio, 0) : nullptr;
  return stream && !stream->url.empty() ? stream : nullptr;
}

bool RadioDatabase::SetPreset(int index, const StreamInfo* stream) {
  if (!GetStreamInfo(stream)) return false;
  const RadioInfo* radio = presetRadio(index);
  if (!radio) return false;
  radio = m_presets->SetRadioInfo(radio, titlesOf(*stream->radio));
  const StreamInfo* first = m_presets->GetStream(radio, 0);
  const StreamInfo* copy = first ? m_presets->SetStreamInfo(first, *stream)
                                 : m_presets->AddStream(radio, *stream, false);
  return copy && m_presets->SetSelectedStream(radio, copy);
}

WString RadioDatabase::PresetCaption(int index) const {
  const RadioInfo* radio = presetRadio(index);
  if (!radio) return WString();
  return radio->shortTitle.empty() ? radio->title : radio->shortTitle;
}

WString RadioDatabase::GetOpenFilter() {
  using namespace std::string_literals;
  return u"All playlists\0*.m3u;*.pls\0M3U playlist\0*.m3u\0PLS playlist\0*.pls\0\0"s;
}

}  // namespace orvel
