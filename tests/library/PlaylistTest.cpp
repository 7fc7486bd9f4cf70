// M3U and PLS files as stations publish them, and the places where their readers are strict.

#include <gtest/gtest.h>

#include "library/M3uPlaylist.h"
#include "library/PlaylistUrls.h"
#include "library/PlsPlaylist.h"
#include "library/XspfPlaylist.h"
#include "platform/FilePath.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

// "title=url" per stream in the order read, "*" after the selected ones. Playlist streams have
// no bitrate or format, so the stream list holds them newest first.
std::string entries(const RadioLibrary& library) {
  std::string out;
  const std::vector<const StreamInfo*> streams = library.allStreams();
  for (auto it = streams.rbegin(); it != streams.rend(); ++it) {
    const StreamInfo* stream = *it;
    if (!out.empty()) out += " ; ";
    out += toUtf8(stream->radio->title) + "=" + toUtf8(stream->url);
    if (stream->radio->selectedStream == stream) out += "*";
  }
  return out;
}

class PlaylistTest : public ::testing::Test {
 protected:
  template <typename Reader>
  std::string read(const std::string& content, bool* loaded = nullptr) {
    const std::string path = m_home.path("playlist");
    test::writeFile(path, content);
    Reader reader;
    const bool ok = reader.Load(fromFsPath(path), false);
    if (loaded) *loaded = ok;
    if (ok && reader.CategoryCount() > 0) {
      EXPECT_EQ(reader.GetCategory(0)->name, fromFsPath(path)) << "named after the file";
    }
    return ok ? entries(reader) : "<refused>";
  }
  std::string m3u(const std::string& content) { return read<M3uPlaylist>(content); }
  std::string pls(const std::string& content) { return read<PlsPlaylist>(content); }
  std::string xspf(const std::string& content) { return read<XspfPlaylist>(content); }

  test::TempHome m_home;
};

TEST_F(PlaylistTest, ExtendedM3uAsStationsPublishIt) {
  EXPECT_EQ(m3u("#EXTM3U\r\n"
                "#EXTINF:-1,SomaFM: Groove Salad, chilled (#1)\r\n"
                "https://ice1.somafm.com/groovesalad-128-mp3\r\n"
                "#EXTINF:-1,Drone Zone\r\n"
                "https://ice1.somafm.com/dronezone-128-mp3\r\n"),
            "SomaFM: Groove Salad, chilled (#1)=https://ice1.somafm.com/groovesalad-128-mp3* ; "
            "Drone Zone=https://ice1.somafm.com/dronezone-128-mp3*");
  EXPECT_EQ(m3u("#EXTM3U\n#EXTINF:-1,Same\nhttp://a/1\n#EXTINF:-1,Same\nhttp://a/2\n"),
            "Same=http://a/1 ; Same=http://a/2*")
      << "one radio, the later stream selected";
  EXPECT_EQ(m3u("#EXTM3U\n#EXTINF:-1 no comma\nhttp://skipped\n#EXTINF:5,Kept\nhttp://kept\n"),
            "Kept=http://kept*");
  EXPECT_EQ(m3u("#EXTM3U\n#EXTINF:-1,Lost\n\nhttp://orphan\n#EXTINF:-1,Next\nhttp://next"),
            "Next=http://next*")
      << "a failed URL line does not end the list; the orphan URL is skipped";
  EXPECT_EQ(m3u("\xEF\xBB\xBF#EXTM3U\n#EXTINF:-1,Caf\xC3\xA9\nhttp://bom\n"),
            "Caf\xC3\xA9=http://bom*");
  EXPECT_EQ(m3u("#EXTM3U\n#EXTINF:-1,Caf\xE9 8-bit\nhttp://cp1252\n"),
            "Caf\xC3\xA9 8-bit=http://cp1252*");
}

TEST_F(PlaylistTest, PlainM3uTakesEveryLineAsAUrl) {
  EXPECT_EQ(m3u("http://a/stream\r\nhttp://b/stream\r\nhttp://a/stream\r\n"),
            "http://a/stream=http://a/stream ; http://b/stream=http://b/stream* ; "
            "http://a/stream=http://a/stream*");
  EXPECT_EQ(m3u("#EXTM3U \n#EXTINF:-1,Title\nhttp://x\n"),
            "#EXTM3U =#EXTM3U * ; #EXTINF:-1,Title=#EXTINF:-1,Title* ; http://x=http://x*")
      << "a header with a trailing blank is not the extended header";
  EXPECT_EQ(m3u("#extm3u\nhttp://x\n"), "#extm3u=#extm3u* ; http://x=http://x*");
}

TEST_F(PlaylistTest, M3uStopsAtEmptyAndOverlongLines) {
  EXPECT_EQ(m3u("http://one\n\nhttp://two\n"), "http://one=http://one*");
  const std::string fits = "http://" + std::string(251, 'a');     // 258 bytes
  const std::string tooLong = "http://" + std::string(252, 'b');  // 259 bytes
  EXPECT_EQ(m3u(fits + "\nhttp://after\n"), fits + "=" + fits + "* ; http://after=http://after*");
  EXPECT_EQ(m3u("http://first\n" + tooLong + "\nhttp://after\n"), "http://first=http://first*");
  EXPECT_EQ(m3u("#EXTM3U\n#EXTINF:-1," + std::string(300, 't') + "\nhttp://x\n"), "")
      << "an overlong title line ends the list";
}

TEST_F(PlaylistTest, M3uRefusesWhatHasNoFirstLine) {
  bool loaded = true;
  EXPECT_EQ(read<M3uPlaylist>("", &loaded), "<refused>");
  EXPECT_EQ(m3u("\r\nhttp://x\n"), "<refused>");
  EXPECT_EQ(m3u(std::string(400, 'x')), "<refused>");
  M3uPlaylist reader;
  EXPECT_FALSE(reader.Load(fromFsPath(m_home.path("missing.m3u")), false));
  EXPECT_FALSE(reader.Save(fromFsPath(m_home.path("out.m3u"))));
  EXPECT_EQ(m3u("#EXTM3U\n"), "") << "accepted, but nothing in it";
}

TEST_F(PlaylistTest, PlsAsStationsPublishIt) {
  EXPECT_EQ(pls("[playlist]\r\n"
                "NumberOfEntries=2\r\n"
                "File1=https://ice1.somafm.com/groovesalad-256-mp3\r\n"
                "Title1=SomaFM: Groove Salad (#1): A nicely chilled plate, with=signs\r\n"
                "Length1=-1\r\n"
                "File2=https://ice2.somafm.com/groovesalad-256-mp3\r\n"
                "Title2=SomaFM: Groove Salad (#2)\r\n"
                "Length2=-1\r\n"
                "Version=2\r\n"),
            "SomaFM: Groove Salad (#1): A nicely chilled plate, with=signs="
            "https://ice1.somafm.com/groovesalad-256-mp3* ; "
            "SomaFM: Groove Salad (#2)=https://ice2.somafm.com/groovesalad-256-mp3*");
  EXPECT_EQ(pls("[PLAYLIST]\nnumberofentries=1\nFILE=http://a\ntitle=A\nLENGTH=0\n"),
            "A=http://a*");
  EXPECT_EQ(pls("[playlist]\nNUMBEROFENTRIES=9\nFile1=http://a\nTitle1=A\nLength1=-1\n"),
            "A=http://a*")
      << "fewer entries than announced";
  EXPECT_EQ(pls("[playlist]\nnumberofentries=1\nFile1=http://a\nTitle1=A\nLength1=-1\n"
                "File2=http://b\nTitle2=B\nLength2=-1\n"),
            "A=http://a*")
      << "more entries than announced";
}

TEST_F(PlaylistTest, PlsGroupsWithMissingLines) {
  EXPECT_EQ(pls("[playlist]\nnumberofentries=3\nFile1=http://a\nTitle1=A\n"
                "File2=http://b\nTitle2=B\nFile3=http://c\nTitle3=C\n"),
            "A=http://a*")
      << "without Length lines only the first entry is read";
  EXPECT_EQ(pls("[playlist]\nnumberofentries=2\nFile1=http://a\nFile2=http://b\nTitle2=B\n"
                "Length2=-1\n"),
            "=http://a* ; B=http://b*")
      << "a File line that ends an entry starts the next";
  EXPECT_EQ(pls("[playlist]\nnumberofentries=2\nFile1=http://a\nLength1=-1\nFile2=http://b\n"
                "Title2=B\nLength2=-1\n"),
            "=http://a* ; B=http://b*");
  EXPECT_EQ(pls("[playlist]\nnumberofentries=2\nFile1=http://a\nTitle1=A\nLength1=-1\n\n"
                "File2=http://b\nTitle2=B\nLength2=-1\n"),
            "A=http://a*")
      << "an empty line ends the list";
  EXPECT_EQ(pls("[playlist]\nnumberofentries=2\nFil=http://a\nFile2=http://b\n"), "")
      << "a short key ends the list";
  EXPECT_EQ(pls("[playlist]\nnumberofentries=1\nTitle1=A\nFile1=http://a\n"), "");
}

TEST_F(PlaylistTest, PlsRefusesWhatIsNotAPlaylist) {
  const char* refused[] = {
      "[playlist]\nFile1=http://a\nTitle1=A\nLength1=-1\nNumberOfEntries=1\n",
      "[playlist]\nNumberOfEntries=0\nFile1=http://a\n",
      "[playlist]\nNumberOfEntries=-3\nFile1=http://a\n",
      "[playlist]\nNumberOfEntries\nFile1=http://a\n",
      "[playlist] \nNumberOfEntries=1\nFile1=http://a\n",
      "\n[playlist]\nNumberOfEntries=1\nFile1=http://a\n",
      "#EXTM3U\nhttp://a\n",
      "",
  };
  for (const char* content : refused) EXPECT_EQ(pls(content), "<refused>") << content;
  EXPECT_EQ(pls("\xEF\xBB\xBF[playlist]\nNumberOfEntries= 1\nFile1=http://a\n"), "=http://a*");
}

TEST_F(PlaylistTest, XspfTracksWithTheirLocations) {
  EXPECT_EQ(xspf("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<!-- <track><location>http://commented</location></track> -->\n"
                 "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>\n"
                 " <track><title>Jazz &amp; Blues &#x263A;</title>\n"
                 "  <location> http://a/jazz?x=1&amp;y=2 </location></track>\n"
                 " <track><annotation><![CDATA[R&B <live>]]></annotation>"
                 "<location>http://b/rnb</location></track>\n"
                 " <track><title>No location</title></track>\n"
                 " <x:track xmlns:x=\"http://xspf.org/ns/0/\"><x:location>http://c/</x:location>"
                 "</x:track>\n"
                 "</trackList></playlist>"),
            "Jazz & Blues \xE2\x98\xBA=http://a/jazz?x=1&y=2* ; R&B <live>=http://b/rnb* ; "
            "http://c/=http://c/*");
  EXPECT_EQ(xspf("<html><body>not a playlist</body></html>"), "<refused>");
  EXPECT_EQ(xspf("<playlist><trackList><track><location>http://whole</location></track>"
                 "<track><location>http://cut"),
            "<refused>")
      << "a file cut short gives no URL that may be cut too";
}

// What a playlist URL's body yields, in playlist order: the connection tries them in turn.
TEST(PlaylistUrlsTest, EveryFormatGivesItsUrlsInOrder) {
  using V = std::vector<std::string>;
  EXPECT_EQ(PlaylistUrls::read("[playlist]\nNumberOfEntries=2\nFile1=http://z/1\nTitle1=Z\n"
                               "Length1=-1\nFile2=http://a/2\nTitle2=A\nLength2=-1\n"),
            (V{"http://z/1", "http://a/2"}))
      << "not sorted by title";
  EXPECT_EQ(PlaylistUrls::read("#EXTM3U\n#EXTINF:-1,B\nhttp://b\n#EXTINF:-1,A\nhttp://a\n"),
            (V{"http://b", "http://a"}));
  EXPECT_EQ(PlaylistUrls::read("#EXTM3U\r\nhttp://only/stream\r\n"), (V{"http://only/stream"}))
      << "an extended header over bare URL lines";
  EXPECT_EQ(PlaylistUrls::read("# a comment\nhttp://x\n\n  relative/path.mp3\n"),
            (V{"http://x", "relative/path.mp3"}));
  EXPECT_EQ(PlaylistUrls::read("<?xml version='1.0'?><playlist><trackList>"
                               "<track><location>http://x1</location></track>"
                               "<track><location>http://x2</location></track>"
                               "</trackList></playlist>"),
            (V{"http://x1", "http://x2"}));
  EXPECT_EQ(PlaylistUrls::read("<ASX version=\"3.0\"><Entry><Title>T</Title>"
                               "<Ref href=\"http://w/1\"/><REF HREF='http://w/2?a=1&amp;b=2'/>"
                               "</Entry><entry><ref href=\"mms://w/3\" /></entry></ASX>"),
            (V{"http://w/1", "http://w/2?a=1&b=2", "mms://w/3"}));
  EXPECT_EQ(
      PlaylistUrls::read("[Reference]\r\nRef1=http://wm/1?MSWMExt=.asf\r\nRef2= http://wm/2\r\n"),
      (V{"http://wm/1?MSWMExt=.asf", "http://wm/2"}));
  EXPECT_TRUE(PlaylistUrls::read("").empty());
  EXPECT_TRUE(PlaylistUrls::read("<asx><entry><ref href=\"http://unclosed").empty());
  EXPECT_TRUE(PlaylistUrls::read("[playlist]\nNumberOfEntries=0\n").empty());
}

}  // namespace
}  // namespace orvel
