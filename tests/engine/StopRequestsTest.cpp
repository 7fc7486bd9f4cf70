// When a Stop or Close makes the stream's waiting reads return at once, and when it no longer
// does: a read cut at the wrong moment makes a healthy Open or Play fail, one not cut hangs the
// command thread behind a dripping server.
#include <gtest/gtest.h>

#include <vector>

#include "engine/StopRequests.h"

namespace orvel {
namespace {

using Command = StopRequests::Command;

class StopRequestsTest : public testing::Test {
 protected:
  bool cut() const { return !m_calls.empty() && m_calls.back(); }

  std::vector<bool> m_calls;
  StopRequests m_stops{[this](bool on) { m_calls.push_back(on); }};
};

TEST_F(StopRequestsTest, AQueuedStopCutsReadsWhileItRunsOrWhileADecodingCommandIsAhead) {
  m_stops.issued();
  EXPECT_FALSE(cut());
  // A command that does not decode (a record start) ahead of the Stop runs to its end.
  m_stops.started(Command::Other);
  EXPECT_FALSE(cut());
  m_stops.finished(Command::Other);
  // An Open ahead of it decodes the first frames: cut, and said so while it runs.
  m_stops.started(Command::Open);
  EXPECT_TRUE(cut());
  EXPECT_TRUE(m_stops.cutting());
  m_stops.finished(Command::Open);
  EXPECT_FALSE(cut());
  EXPECT_FALSE(m_stops.cutting());
  m_stops.started(Command::Stop);
  EXPECT_TRUE(cut());
  EXPECT_TRUE(m_stops.stopping());
  m_stops.finished(Command::Stop);
  EXPECT_FALSE(cut());
  EXPECT_FALSE(m_stops.stopping());
  // With nothing pending, a Play reads normally.
  m_stops.started(Command::Play);
  EXPECT_FALSE(cut());
  // A Stop issued while it runs cuts its reads at once, and only until the Play ends.
  m_stops.issued();
  EXPECT_TRUE(cut());
  m_stops.finished(Command::Play);
  EXPECT_FALSE(cut());
  m_stops.started(Command::Stop);
  m_stops.finished(Command::Stop);
  EXPECT_EQ(m_calls, (std::vector<bool>{true, false, true, false, true, false, true, false}));
}

TEST_F(StopRequestsTest, EveryIssuedStopCountsUntilItRanOrWasDropped) {
  // Two Stops issued; after the first ran, a Play between them is still cut.
  m_stops.issued();
  m_stops.issued();
  m_stops.started(Command::Stop);
  m_stops.finished(Command::Stop);
  m_stops.started(Command::Play);
  EXPECT_TRUE(cut());
  m_stops.finished(Command::Play);
  // A dropped Stop no longer counts: the next Play reads normally.
  m_stops.dropped();
  m_stops.started(Command::Play);
  EXPECT_FALSE(cut());
  m_stops.finished(Command::Play);
  // More drops than issues (a queue emptied twice) cannot make the count negative.
  m_stops.dropped();
  m_stops.issued();
  m_stops.started(Command::Play);
  EXPECT_TRUE(cut());
}

}  // namespace
}  // namespace orvel
