#include "tools/orvel-library/LibraryCommands.h"

#include "library/RadioDatabase.h"
#include "library/RrdFile.h"
#include "platform/FilePath.h"
#include "platform/ProgramDirectory.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"
#include "tools/orvel-library/DirectoryCommands.h"
#include "tools/orvel-library/StationList.h"

namespace orvel {
namespace {

constexpr const char* kUsage =
    "usage: orvel-library list | presets | import PATH | generate STATIONS.txt OUT.rrd\n"
    "       orvel-library search TEXT [--tag T] [--country CC] [--language L] [--codec C]\n"
    "                            [--limit N]\n"
    "       orvel-library add-found UUID [CATEGORY]\n";

}  // namespace

bool LibraryCommands::openLikeStartup(RadioDatabase& database, std::ostream& err) {
  const std::string dir = ProgramDirectory::ensure(Registry::global());
  if (dir.empty()) {
    err << "cannot make the program directory " << ProgramDirectory::location() << '\n';
    return false;
  }
  const std::string radios = joinPath(dir, "Radios");
  if (!database.OpenDefaultLibrary(fromFsPath(joinPath(radios, "default.rrd")))) {
    err << toUtf8(StringTable::load(kStrCannotOpenDefaultDatabase)) << '\n';
  }
  database.OpenUserLibrary(fromFsPath(joinPath(radios, "user.rrd")));
  database.OpenPresets(fromFsPath(joinPath(radios, "presets.rrd")));
  return true;
}

int LibraryCommands::run(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err) {
  const std::string command = args.empty() ? std::string() : args[0];
  if (command == "generate" && args.size() == 3) return generate(args[1], args[2], err);
  if (command == "search") return DirectoryCommands::search(args, out, err);
  if (command == "add-found") return DirectoryCommands::addFound(args, out, err);
  const bool known = (args.size() == 1 && (command == "list" || command == "presets")) ||
                     (args.size() == 2 && command == "import");
  if (!known) {
    err << kUsage;
    return 2;
  }
  RadioDatabase database;
  if (!openLikeStartup(database, err)) return 1;
  int status = 0;
  if (command == "list") {
    printTree(database, out);
  } else if (command == "presets") {
    printPresets(database, out);
  } else if (database.ImportIntoMyRadios(fromFsPath(args[1]))) {
    out << "imported\n";
  } else {
    out << toUtf8(StringTable::load(kStrPlaylistUnsupported)) << '\n';
    status = 1;
  }
  database.Close();
  return status;
}

void LibraryCommands::printTree(const RadioLibrary& library, std::ostream& out) {
  for (const CategoryInfo* category : library.allCategories()) {
    out << "category " << toUtf8(category->name) << '\n';
    for (const RadioInfo* radio : library.radiosOf(category)) {
      out << "  radio " << toUtf8(radio->title) << " | " << toUtf8(radio->shortTitle) << '\n';
      for (const StreamInfo* stream : library.streamsOf(radio)) {
        out << "    stream " << toUtf8(stream->url) << " | " << toUtf8(stream->bitrate) << " | "
            << toUtf8(stream->format) << " | " << toUtf8(stream->comment)
            << " | origin=" << stream->origin << (radio->selectedStream == stream ? " *" : "")
            << '\n';
      }
    }
  }
}

void LibraryCommands::printPresets(const RadioDatabase& database, std::ostream& out) {
  for (int index = 0; index < RadioDatabase::kPresetCount; ++index) {
    out << index + 1 << ": ";
    const StreamInfo* stream = database.GetPreset(index);
    if (stream) {
      out << toUtf8(stream->radio->title) << " | " << toUtf8(stream->url) << '\n';
    } else {
      out << "(empty)\n";
    }
  }
}

int LibraryCommands::generate(const std::string& sourcePath, const std::string& outputPath,
                              std::ostream& err) {
  const auto source = readWholeFile(sourcePath);
  if (!source) {
    err << "cannot read " << sourcePath << '\n';
    return 1;
  }
  RrdFile file;
  std::string error;
  const std::string_view text(reinterpret_cast<const char*>(source->data()), source->size());
  if (!StationList::read(text, file, error)) {
    err << sourcePath << ": " << error << '\n';
    return 1;
  }
  // One pass through the database puts equal streams in the order that every later start and
  // exit keeps, so the shipped file is not reshuffled by the first run.
  RadioDatabase database;
  const bool written = file.Save(fromFsPath(outputPath)) &&
                       database.OpenDefaultLibrary(fromFsPath(outputPath)) && database.Close();
  if (!written) {
    err << "cannot write " << outputPath << '\n';
    return 1;
  }
  return 0;
}

}  // namespace orvel
