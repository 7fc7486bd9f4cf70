#pragma once
// The program's radio library: the shipped library "Radios/default.rrd" and the user's library
// "Radios/user.rrd" merged into one container, and the nine presets of "Radios/presets.rrd".
//
// Every stream remembers the file it came from (its origin); Close writes each library file
// with exactly the streams of its origin, so radios and categories without such streams are in
// neither file. Radios merge by title within a category, so a stream that the user added to a
// shipped radio joins that radio again at the next start. Nothing is written before Close.
//
// A library or presets file that exists but cannot be read is not overwritten blindly: Close
// keeps it aside as "<file>.corrupt" before it writes the new one.
//
// Threads: created, used and closed on the user-interface thread only; no locks. Open..., Import
// and Close block on the disk.

#include <memory>

#include "library/RadioLibrary.h"
#include "library/RrdFile.h"

namespace orvel {

class RadioDatabase : public RadioLibrary {
 public:
  static constexpr int kPresetCount = 9;

  RadioDatabase();
  ~RadioDatabase() override;

  // Start-up: remembers the path and imports the shipped library with origin kOriginShipped.
  // False when it cannot be read (start-up shows "Cannot open default database!"); the database
  // stays usable with whatever was imported.
  bool OpenDefaultLibrary(const WString& path);
  // Start-up: remembers the path and imports the user's library with origin kOriginUser. False
  // when it cannot be read, which is not reported: the shipped library alone is then shown.
  bool OpenUserLibrary(const WString& path);
  // Start-up: remembers the path and loads the presets in file order (a missing or unreadable
  // file gives an empty list), then makes sure there are nine. Always true.
  bool OpenPresets(const WString& path);
  // Imports a library or playlist file (".rrd", ".m3u", ".pls", ".asx", any case) into the
  // category, every stream with origin kOriginUser. False when the file cannot be read or is
  // not of its format; nothing is added then.
  bool ImportFile(const WString& path, const CategoryInfo* category);
  // What the import dialog does: imports into the category "My Radios" (found without case,
  // made when missing).
  bool ImportIntoMyRadios(const WString& path);
  // Clean-up: writes the shipped file, the user's file and the presets (each only when its path
  // is known), then forgets the paths and the presets. A file that cannot be written keeps its
  // previous content. False when any write failed.
  bool Close();

  // The stream of preset 0..8; nullptr when the preset is empty (no stream or an empty URL).
  // Its radio gives the title and short title. Valid until that preset is set or Close.
  const StreamInfo* GetPreset(int index) const;
  // Copies a stream of the library (with its radio's titles) into preset 0..8.
  bool SetPreset(int index, const StreamInfo* stream);
  // The text of preset button 0..8: the short title, else the title, else nothing.
  WString PresetCaption(int index) const;

  // The playlist open dialog's filter: pairs of description and pattern, each part ended by a
  // NUL, the whole ended by an empty part.
  static WString GetOpenFilter();

 private:
  // One library file: where it is, and whether Close must keep the old one aside first.
  struct LibraryFile {
    WString path;
    bool known = false;
    bool unreadable = false;  // it exists but could not be read
  };

  bool openLibrary(LibraryFile& file, const WString& path, int32_t origin);
  bool import(const WString& path, const CategoryInfo* fixedCategory, int32_t origin);
  using StreamsByRadio = std::unordered_map<const RadioInfo*, std::vector<const StreamInfo*>>;
  // Adds a reader's radios with their streams to the target category.
  void copyRadios(const std::vector<const RadioInfo*>& radios, const StreamsByRadio& streams,
                  const CategoryInfo* target, int32_t origin);
  // The library's streams of one origin as a library file.
  std::unique_ptr<RrdFile> extract(int32_t origin) const;
  static bool write(const LibraryFile& file, PlaylistFile& content);
  void ensurePresets();
  const RadioInfo* presetRadio(int index) const;

  LibraryFile m_shipped;
  LibraryFile m_user;
  LibraryFile m_presetsFile;
  std::unique_ptr<RrdFile> m_presets;  // filled with the append flag: one category per line
};

}  // namespace orvel
