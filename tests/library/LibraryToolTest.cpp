// orvel-library run as a user would, on a private program directory seeded from the source tree.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "DirectoryServer.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

struct ToolRun {
  int status;
  std::string out;
};

class LibraryToolTest : public ::testing::Test {
 protected:
  LibraryToolTest() { m_home.setEnv("ORVEL_RADIO_HOME", m_home.path("program")); }

  ToolRun tool(const std::string& arguments) {
    const std::string command = std::string(ORVEL_BIN_DIR) + "/orvel-library " + arguments;
    ToolRun run{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  test::TempHome m_home;
};

TEST_F(LibraryToolTest, ListsTheShippedLibraryAndEmptyPresets) {
  const ToolRun list = tool("list");
  ASSERT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("category Eclectic\n  radio FIP | FIP\n"
                          "    stream https://icecast.radiofrance.fr/fip-midfi.mp3 | 128 | MP3 | "
                          "Radio France, Paris | origin=1 *\n"),
            std::string::npos)
      << list.out;
  EXPECT_NE(list.out.find("| 192 | Ogg Vorbis |"), std::string::npos);
  EXPECT_EQ(list.out.find("origin=0"), std::string::npos);

  const ToolRun presets = tool("presets");
  ASSERT_EQ(presets.status, 0);
  EXPECT_EQ(presets.out,
            "1: (empty)\n2: (empty)\n3: (empty)\n4: (empty)\n5: (empty)\n6: (empty)\n"
            "7: (empty)\n8: (empty)\n9: (empty)\n");
  EXPECT_TRUE(std::filesystem::exists(m_home.path("program/Radios/presets.rrd")))
      << "closed as clean-up does";
}

TEST_F(LibraryToolTest, ImportsIntoMyRadiosAndKeepsThemAcrossRuns) {
  const std::string playlist = m_home.path("station.pls");
  test::writeFile(playlist,
                  "[playlist]\r\nnumberofentries=1\r\nFile1=http://127.0.0.1:9/live\r\n"
                  "Title1=Test Station\r\nLength1=-1\r\n");
  const ToolRun imported = tool(playlist);
  EXPECT_EQ(imported.status, 2) << "no command given";
  const ToolRun import = tool("import " + playlist);
  ASSERT_EQ(import.status, 0);
  EXPECT_EQ(import.out, "imported\n");

  const ToolRun list = tool("list");
  EXPECT_NE(list.out.find("category My Radios\n  radio Test Station | \n"
                          "    stream http://127.0.0.1:9/live |  |  |  | origin=0 *\n"),
            std::string::npos)
      << list.out;

  test::writeFile(m_home.path("bad.m3u"), "");
  const ToolRun bad = tool("import " + m_home.path("bad.m3u"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "Cannot load playlist! It has unsupported format.\n");
}

TEST_F(LibraryToolTest, TheShippedLibraryIsMadeFromItsStationList) {
  const std::string made = m_home.path("default.rrd");
  const std::string source = std::string(ORVEL_SOURCE_DIR) + "/resources/Radios/";
  ASSERT_EQ(tool("generate " + source + "default-stations.txt " + made).status, 0);
  EXPECT_EQ(test::readFile(made), test::readFile(source + "default.rrd"))
      << "run: orvel-library generate resources/Radios/default-stations.txt "
         "resources/Radios/default.rrd";
}

TEST_F(LibraryToolTest, SearchesTheDirectoryAndAddsAFoundStationOnce) {
  test::DirectoryServer server(m_home.path("requests.log"));
  m_home.setEnv("ORVEL_RADIO_DIRECTORY",
                test::DirectoryServer::refusingUrl() + " " + server.url("ok"));
  const ToolRun search = tool("search jazz --country DE --language german --limit 5");
  ASSERT_EQ(search.status, 0) << search.out;
  EXPECT_EQ(search.out,
            "found 50000000-0000-4000-8000-000000000001 | Jazz Lounge | MP3 | 192 | DE | "
            "http://127.0.0.1:9/jazz-lounge\n");
  // Every line has the six fields, whatever the names hold.
  const ToolRun all = tool("search ''");
  ASSERT_EQ(all.status, 0);
  std::istringstream lines(all.out);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_EQ(line.rfind("found ", 0), 0u) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '|'), 5) << line;
  }
  EXPECT_EQ(count, 8) << "the playable stations, each once";
  EXPECT_EQ(tool("search jazz --limit 0").status, 2);

  const std::string uuid = "50000000-0000-4000-8000-000000000002";
  const ToolRun added = tool("add-found " + uuid);
  ASSERT_EQ(added.status, 0) << added.out;
  EXPECT_EQ(added.out, "added\n");
  const std::string before = tool("list").out;
  EXPECT_NE(before.find("category Found\n  radio Радио Джаз ♫ | \n    stream "
                        "http://127.0.0.1:9/radio-jazz |  | AAC | TL; jazz | origin=0 *\n"),
            std::string::npos)
      << before;
  const ToolRun again = tool("add-found " + uuid + " Jazz");
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.out.rfind("already in the library", 0), 0u) << again.out;
  EXPECT_EQ(tool("list").out, before);

  m_home.setEnv("ORVEL_RADIO_DIRECTORY", server.url("500"));
  const ToolRun failed = tool("search jazz 2>&1");
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out.rfind("The station directory cannot be reached.\n", 0), 0u) << failed.out;
  EXPECT_NE(failed.out.find("500"), std::string::npos) << failed.out;
  EXPECT_EQ(tool("add-found " + uuid + " 2>&1").status, 1);
}

}  // namespace
}  // namespace orvel
