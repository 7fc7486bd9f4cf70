// Start-up and exit cost of the radio library as it grows: reading a library file, and the
// database's open (import, sorted) and close (split by origin and write).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "library/RadioDatabase.h"
#include "library/RrdFile.h"
#include "platform/FilePath.h"

namespace orvel {
namespace {

// A library of `streams` streams, 3 per radio, 50 radios per category, as a file on disk.
// With `descending` the lines come highest bitrate first, the slowest order to sort in.
std::string makeLibrary(int streams, bool descending) {
  // Made once, removed when the program ends.
  static const struct Scratch {
    std::string path = [] {
      std::string templ = (std::filesystem::temp_directory_path() / "orvel-bench-XXXXXX").string();
      if (!::mkdtemp(templ.data())) std::abort();
      return templ;
    }();
    ~Scratch() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } scratch;
  const std::string& folder = scratch.path;
  RrdFile file;
  for (int i = 0; i < streams; ++i) {
    const int line = descending ? streams - 1 - i : i;
    const CategoryInfo* category =
        file.AddCategory(CategoryInfo{fromAscii("Category " + std::to_string(line / 150))}, true);
    const RadioInfo* radio = file.AddRadio(
        category, RadioInfo{fromAscii("Radio " + std::to_string(line / 3)), u"Short"}, true);
    StreamInfo info;
    info.url = fromAscii("https://stream.example.com/radio/" + std::to_string(line));
    info.bitrate = fromAscii(std::to_string(32 + line));
    info.format = u"MP3";
    info.comment = u"A comment of ordinary length";
    file.AddStream(radio, info, true);
  }
  const std::string path =
      folder + "/library-" + std::to_string(streams) + (descending ? "-desc" : "-asc") + ".rrd";
  if (!file.Save(fromFsPath(path))) std::abort();
  return path;
}

void loadLibraryFile(benchmark::State& state) {
  const std::string path = makeLibrary(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) {
    RrdFile file;
    benchmark::DoNotOptimize(file.Load(fromFsPath(path), false));
  }
}
BENCHMARK(loadLibraryFile)
    ->ArgsProduct({{1000, 5000, 20000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void openAndCloseDatabase(benchmark::State& state) {
  const std::string path = makeLibrary(static_cast<int>(state.range(0)), false);
  for (auto _ : state) {
    RadioDatabase database;
    benchmark::DoNotOptimize(database.OpenDefaultLibrary(fromFsPath(path)));
    benchmark::DoNotOptimize(database.Close());
  }
}
BENCHMARK(openAndCloseDatabase)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvel

BENCHMARK_MAIN();
