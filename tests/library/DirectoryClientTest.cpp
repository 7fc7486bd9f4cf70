// The station directory client against a loopback stand-in that answers in the directory's JSON
// shape with awkward data, fails in the ways servers fail, and logs what it was asked.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

#include "DirectoryServer.h"
#include "library/DirectoryClient.h"
#include "library/DirectoryMirrors.h"
#include "library/DirectoryResults.h"
#include "library/FoundStations.h"
#include "platform/internet/Url.h"
#include "tests/support/TempHome.h"

namespace orvel {
namespace {

// Stand-in station ids end in their number.
std::string uuidOf(int number) {
  const std::string digits = std::to_string(number);
  return "50000000-0000-4000-8000-" + std::string(12 - digits.size(), '0') + digits;
}

class DirectoryClientTest : public ::testing::Test {
 protected:
  std::vector<std::string> searchLog() const {
    std::vector<std::string> found;
    for (const std::string& line : m_server.requests()) {
      if (line.find("/json/stations/search") != std::string::npos) found.push_back(line);
    }
    return found;
  }

  test::TempHome m_home;
  test::DirectoryServer m_server{m_home.path("requests.log")};
};

TEST_F(DirectoryClientTest, SearchKeepsEveryPlayableStationOnceWithItsTextWhole) {
  DirectoryClient client({m_server.url("ok")});
  std::vector<DirectoryStation> stations;
  std::string error;
  ASSERT_TRUE(client.search(DirectoryQuery{}, stations, error)) << error;

  std::vector<std::string> ids;
  std::set<std::string> urls;
  for (const DirectoryStation& station : stations) {
    ids.push_back(station.uuid);
    UrlComponents parts;
    EXPECT_TRUE(crackUrl(station.url, parts)) << station.url;
    EXPECT_TRUE(urls.insert(station.url).second) << "twice: " << station.url;
    EXPECT_TRUE(std::none_of(station.name.begin(), station.name.end(), [](char c) {
      return static_cast<unsigned char>(c) < 0x20;
    })) << station.name;
    EXPECT_GE(station.bitrateKbps, 0);
    EXPECT_LE(station.bitrateKbps, DirectoryResults::kMaxPlausibleKbps);
    EXPECT_EQ(station.hls, station.uuid == uuidOf(8)) << station.name;
  }
  // Missing and FTP URLs are left out, a repeated id or stream URL comes once, in vote order.
  EXPECT_EQ(ids, (std::vector<std::string>{uuidOf(1), uuidOf(2), uuidOf(3), uuidOf(4), uuidOf(8),
                                           uuidOf(9), uuidOf(10), uuidOf(11)}));
  EXPECT_EQ(stations[1].name, "Радио Джаз ♫");
  EXPECT_EQ(stations[2].name, "إذاعة الجاز");
  EXPECT_EQ(stations[3].name, "Jazz with a break");
  EXPECT_EQ(stations[3].bitrateKbps, 64) << "a bitrate given as text";
  EXPECT_EQ(stations[5].name, stations[5].url) << "a station without a name shows its URL";
  EXPECT_EQ(stations[6].url, "http://127.0.0.1:9/resolved") << "the resolved URL is played";

  const std::vector<std::string> sent = searchLog();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_NE(sent[0].find("hidebroken=true"), std::string::npos) << sent[0];
  EXPECT_NE(sent[0].find(" OrvelRadio/"), std::string::npos) << "names the program: " << sent[0];
}

TEST_F(DirectoryClientTest, QueriesNarrowTheSearchAndBigAnswersFit) {
  DirectoryClient client({m_server.url("ok")});
  std::vector<DirectoryStation> stations;
  std::string error;
  DirectoryQuery query;
  query.name = "джаз";
  ASSERT_TRUE(client.search(query, stations, error)) << error;
  ASSERT_EQ(stations.size(), 1u) << "the name goes out encoded";
  EXPECT_EQ(stations[0].uuid, uuidOf(2));
  query = DirectoryQuery{};
  query.tag = "rock";
  query.countryCode = "TL";
  ASSERT_TRUE(client.search(query, stations, error)) << error;
  ASSERT_EQ(stations.size(), 1u);
  EXPECT_EQ(stations[0].uuid, uuidOf(11));

  DirectoryClient big({m_server.url("big")});
  query = DirectoryQuery{};
  query.limit = 5000;
  ASSERT_TRUE(big.search(query, stations, error)) << error;
  EXPECT_EQ(stations.size(), 5000u);
  query.limit = 7;
  ASSERT_TRUE(big.search(query, stations, error)) << error;
  EXPECT_EQ(stations.size(), 7u);
}

TEST_F(DirectoryClientTest, BrokenServersGiveErrorsAndTheNextServerAnswers) {
  for (const std::string mode : {"500", "invalid", "endless"}) {
    DirectoryClient client({m_server.url(mode)});
    std::vector<DirectoryStation> stations;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.search(DirectoryQuery{}, stations, error)) << mode;
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(DirectoryClient::kTimeoutMs))
        << mode << ": found out before any time limit (an endless body by its size)";
    EXPECT_NE(error.find(m_server.url(mode)), std::string::npos) << error;
    EXPECT_TRUE(stations.empty()) << mode;
  }

  // The first refuses, the second fails, the third answers; later ones are not asked.
  const size_t before = searchLog().size();
  DirectoryClient client({test::DirectoryServer::refusingUrl(), m_server.url("500"),
                          m_server.url("ok"), m_server.url("big")});
  std::vector<DirectoryStation> stations;
  std::string error;
  ASSERT_TRUE(client.search(DirectoryQuery{}, stations, error)) << error;
  EXPECT_FALSE(stations.empty());
  const std::vector<std::string> sent = searchLog();
  ASSERT_EQ(sent.size(), before + 2);
  EXPECT_EQ(sent.back().rfind("/ok/", 0), 0u) << sent.back();

  // The same through the environment, which names the servers in order.
  m_home.setEnv(DirectoryMirrors::kEnvironmentVariable,
                " " + test::DirectoryServer::refusingUrl() + "   " + m_server.url("ok") + "/ ");
  EXPECT_EQ(DirectoryMirrors::find().size(), 2u);
  DirectoryClient fromEnvironment;
  ASSERT_TRUE(fromEnvironment.search(DirectoryQuery{}, stations, error)) << error;
}

TEST_F(DirectoryClientTest, CancelEndsASlowSearchAtOnce) {
  DirectoryClient client({m_server.url("slow")});
  std::vector<DirectoryStation> stations;
  std::string error;
  bool found = true;
  const auto start = std::chrono::steady_clock::now();
  std::thread worker([&] { found = client.search(DirectoryQuery{}, stations, error); });
  while (searchLog().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  client.cancel();
  worker.join();
  EXPECT_FALSE(found);
  EXPECT_EQ(error, "cancelled");
  EXPECT_LT(std::chrono::steady_clock::now() - start,
            std::chrono::milliseconds(DirectoryClient::kTimeoutMs))
      << "ended by the cancel, not by the time limit";
  EXPECT_FALSE(client.countClick(uuidOf(1), error)) << "nothing goes out after a cancel";
}

TEST_F(DirectoryClientTest, OneStationByIdAndOneClickPerCall) {
  DirectoryClient client({m_server.url("ok")});
  DirectoryStation station;
  std::string error;
  ASSERT_TRUE(client.station(uuidOf(3), station, error)) << error;
  EXPECT_EQ(station.name, "إذاعة الجاز");
  EXPECT_EQ(station.bitrateKbps, 0) << "an absurd bitrate counts as unknown";
  EXPECT_FALSE(client.station(uuidOf(999), station, error));
  EXPECT_FALSE(error.empty());

  ASSERT_TRUE(client.countClick(uuidOf(2), error)) << error;
  EXPECT_FALSE(client.countClick(uuidOf(999), error));
  const std::vector<std::string> requests = m_server.requests();
  EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                          [](const std::string& line) {
                            return line.rfind("/ok/json/url/" + uuidOf(2) + " ", 0) == 0;
                          }),
            1);
}

TEST_F(DirectoryClientTest, AFoundStationIsAddedOnceWithItsDetails) {
  DirectoryClient client({m_server.url("ok")});
  std::vector<DirectoryStation> stations;
  std::string error;
  ASSERT_TRUE(client.search(DirectoryQuery{}, stations, error)) << error;
  RadioLibrary library;
  library.AddCategory(CategoryInfo{u"found"}, false);

  const StreamInfo* stream = nullptr;
  EXPECT_EQ(FoundStations::add(library, stations[0], u"Found", &stream),
            FoundStations::Result::Added);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(library.CategoryCount(), 1) << "the category is found without case";
  EXPECT_EQ(toUtf8(stream->radio->title), stations[0].name);
  EXPECT_EQ(stream->radio->selectedStream, stream);
  EXPECT_EQ(toUtf8(stream->url), stations[0].url);
  EXPECT_EQ(toUtf8(stream->format), stations[0].codec);
  EXPECT_EQ(wtol(stream->bitrate), stations[0].bitrateKbps);
  EXPECT_NE(toUtf8(stream->comment).find(stations[0].countryCode), std::string::npos);
  EXPECT_NE(toUtf8(stream->comment).find(stations[0].tags), std::string::npos);

  const StreamInfo* again = nullptr;
  EXPECT_EQ(FoundStations::add(library, stations[0], u"Other", &again),
            FoundStations::Result::AlreadyThere);
  EXPECT_EQ(again, stream);
  EXPECT_EQ(library.allStreams().size(), 1u);
  EXPECT_EQ(library.CategoryCount(), 1);

  ASSERT_EQ(FoundStations::add(library, stations[1], u"Found", &stream),
            FoundStations::Result::Added);
  EXPECT_TRUE(stream->bitrate.empty()) << "an unknown bitrate stays empty";
}

}  // namespace
}  // namespace orvel
