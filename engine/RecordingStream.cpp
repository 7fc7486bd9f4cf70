#include "engine/RecordingStream.h"

#include <filesystem>
#include <utility>

#include "engine/OpenDataStream.h"
#include "platform/FilePath.h"
#include "platform/StorageVolumes.h"
#include "resources/StringTable.h"

namespace orvel {

RecordingStream::RecordingStream(PlayerEvents* events, RecDirSource recDir, Timing timing)
    : IcyStream(events, timing), m_recDir(std::move(recDir)) {}

RecordingStream::~RecordingStream() { RecordStop(); }

WString RecordingStream::recordingFolder(const WString& recDir) {
  if (recDir.empty()) return fromFsPath(StorageVolumes::documentsFolder());
  std::error_code error;
  if (std::filesystem::exists(toFsPath(joinPath(recDir, u"ignore_my_docs")), error)) return recDir;
  // A card gets a documents folder of its own.
  return joinPath(recDir, fromFsPath(StorageVolumes::documentsFolderInHome()));
}

WString RecordingStream::nextRecordingPath(const WString& folder, const WString& extension) {
  std::vector<WString> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(toFsPath(folder), error)) {
    names.push_back(fromFsPath(entry.path().filename().string()));
  }
  for (uint32_t i = 0;; ++i) {
    WString stem = u"RadioRec";
    if (i > 0) stem += fromAscii((i < 10 ? "0" : "") + std::to_string(i));
    bool taken = false;
    for (const WString& name : names) {
      if (equalsNoCase(name, stem) ||
          (name.size() > stem.size() && startsWithNoCase(name, stem + u"."))) {
        taken = true;
        break;
      }
    }
    if (!taken) return joinPath(folder, stem + extension);
  }
}

bool RecordingStream::enoughSpace(std::optional<uint64_t> freeBytes, bool onCard) {
  uint64_t free = freeBytes.value_or(0xFFFFFFFFu);
  if (free > 0xFFFFFFFFu) free = 0xFFFFFFFFu;
  return free > (onCard ? kCardThresholdBytes : kMemoryThresholdBytes);
}

bool RecordingStream::RecordStart() {
  std::lock_guard lock(m_recordLock);
  m_error = 0;
  if (m_file != nullptr) return true;
  if (!openRecording()) {
    if (m_error == 0) m_error = kStrCannotCreateFile;
    return false;
  }
  return true;
}

bool RecordingStream::openRecording() {
  const WString folder = recordingFolder(m_recDir ? m_recDir() : WString());
  std::error_code error;
  const std::string fsFolder = toFsPath(folder);
  if (!std::filesystem::is_directory(fsFolder, error) &&
      !std::filesystem::create_directories(fsFolder, error)) {
    return false;
  }
  std::string format;
  if (!FormatName(format) || (format != "mp3" && format != "aac")) {
    m_error = kStrRecordingOnlyMp3;
    return false;
  }
  const bool aac = format == "aac";
  const WString path = nextRecordingPath(folder, aac ? u".aac" : u".mp3");
  DataStream* file = nullptr;
  if (OpenDataStream(path, false, &file) != 0 || file == nullptr) return false;
  m_file = file;
  m_writer.start(file, aac ? FrameKind::kAdts : FrameKind::kMp3);
  m_path = path;
  m_recorded = 0;
  m_checkedAt = 0;
  return true;
}

int32_t RecordingStream::RecordStop() {
  std::lock_guard lock(m_recordLock);
  m_writer.start(nullptr);
  if (m_file != nullptr) m_file->Release();
  m_file = nullptr;
  m_path.clear();
  m_outOfSpace = false;
  return 1;
}

WString RecordingStream::RecordingPath() {
  std::lock_guard lock(m_recordLock);
  return m_path;
}

bool RecordingStream::Disconnect() {
  RecordStop();
  return IcyStream::Disconnect();
}

int32_t RecordingStream::TakeError() {
  {
    std::lock_guard lock(m_recordLock);
    if (m_error != 0) return std::exchange(m_error, 0);
  }
  return IcyStream::TakeError();
}

int32_t RecordingStream::Read(void* buffer, int32_t size) {
  const int32_t got = IcyStream::Read(buffer, size);
  return record(static_cast<const uint8_t*>(buffer), got);
}

int32_t RecordingStream::ReadChunk(const uint8_t** data, uint32_t* spare) {
  const int32_t got = IcyStream::ReadChunk(data, spare);
  return record(got > 0 ? *data : nullptr, got);
}

int32_t RecordingStream::record(const uint8_t* bytes, int32_t length) {
  std::lock_guard lock(m_recordLock);
  if (m_file == nullptr || length <= 0) return length;
  if (m_outOfSpace) return 0;
  m_recorded += static_cast<uint32_t>(length);
  if (m_recorded - m_checkedAt > kSpaceCheckBytes) {
    if (!spaceLeft()) {
      m_outOfSpace = true;
      length = 0;
    }
    m_checkedAt = m_recorded;
  }
  if (length > 0) m_writer.write(bytes, static_cast<uint32_t>(length));
  return length;
}

void RecordingStream::Spliced() {
  std::lock_guard lock(m_recordLock);
  m_writer.splice();
}

bool RecordingStream::spaceLeft() {
  const std::string path = toFsPath(m_path);
  return enoughSpace(StorageVolumes::freeBytes(path),
                     StorageVolumes::removableMountOf(path).has_value());
}

}  // namespace orvel
