// Events and thread message queues.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/Event.h"
#include "platform/MessageQueue.h"

namespace orvel {
namespace {

TEST(Event, ManualResetStaysSetAutoResetWakesOneWaiter) {
  Event manual(Event::Reset::Manual);
  manual.set();
  EXPECT_TRUE(manual.wait(0));
  EXPECT_TRUE(manual.wait(0));
  manual.reset();
  EXPECT_FALSE(manual.wait(10));

  Event automatic(Event::Reset::Auto, true);
  EXPECT_TRUE(automatic.wait(0));
  EXPECT_FALSE(automatic.wait(0));
}

TEST(Event, WaitForAnyAnswersTheFirstSetEventInListOrderAndConsumesOnlyIt) {
  Event a(Event::Reset::Auto), b(Event::Reset::Auto), c(Event::Reset::Manual);
  b.set();
  c.set();
  EXPECT_EQ(Event::waitForAny({&a, &b, &c}, 0), 1);
  EXPECT_FALSE(b.isSet());
  EXPECT_TRUE(c.isSet());
  EXPECT_EQ(Event::waitForAny({&a, &b}, 20), Event::kTimeout);
}

TEST(Event, AWaiterWakesWhenAnotherThreadSetsTheEvent) {
  Event data(Event::Reset::Manual), idle(Event::Reset::Manual);
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    idle.set();
  });
  EXPECT_EQ(Event::waitForAny({&data, &idle}), 1);
  setter.join();
}

// Two threads hand a token back and forth through auto-reset events, each also waiting for a
// third event that is never set, while other threads come and go with short waits on the same
// events. A lost wake-up stalls the hand-off until its 5 s limit; a waiter left registered after
// its wait ended is touched by a later setting (the address sanitizer reports it).
TEST(Event, HandOffsLoseNoWakeUpWhileOtherWaitsComeAndGo) {
  Event ping(Event::Reset::Auto), pong(Event::Reset::Auto), never(Event::Reset::Manual);
  constexpr int kRounds = 5000;
  std::atomic<bool> done{false};
  std::thread partner([&] {
    for (int i = 0; i < kRounds; ++i) {
      if (Event::waitForAny({&never, &ping}, 5000) != 1) return;
      pong.set();
    }
  });
  std::vector<std::thread> passers;
  std::atomic<int> passerWaits{0};
  for (int t = 0; t < 2; ++t) {
    passers.emplace_back([&] {
      while (!done) {
        Event::waitForAny({&never}, 1);
        passerWaits.fetch_add(1);
      }
    });
  }
  int handed = 0;
  for (; handed < kRounds; ++handed) {
    ping.set();
    if (Event::waitForAny({&never, &pong}, 5000) != 1) break;
  }
  done = true;
  partner.join();
  for (std::thread& passer : passers) passer.join();
  EXPECT_EQ(handed, kRounds);
  EXPECT_GT(passerWaits.load(), 0);
  never.set();  // no waiter is left to notify
  EXPECT_EQ(Event::waitForAny({&ping, &pong}, 0), Event::kTimeout);
}

TEST(MessageQueue, KeepsOrderTakesRangesAndDropsRanges) {
  MessageQueue queue;
  queue.post(1025, 1, 0);
  queue.post(1344, 2, 0);
  queue.post(1026, 3, 0);
  queue.post(957, 4, 0);
  auto m = queue.getInRange(1300, 1400, 0);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->wParam, 2u);
  EXPECT_EQ(queue.removeRange(1025, 1026), 2u);
  EXPECT_EQ(queue.get().message, 957u);
  EXPECT_FALSE(queue.get(10));
}

TEST(MessageQueue, ManyPostersLoseNothing) {
  MessageQueue queue;
  constexpr int kPerThread = 2000;
  std::vector<std::thread> posters;
  for (int t = 0; t < 4; ++t) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) queue.post(1000 + t, static_cast<uintptr_t>(i), 0);
    });
  }
  std::vector<uintptr_t> next(4, 0);
  for (int n = 0; n < 4 * kPerThread; ++n) {
    const Message m = queue.get();
    // Each poster's messages arrive in its own order.
    EXPECT_EQ(m.wParam, next[m.message - 1000]++);
  }
  for (auto& t : posters) t.join();
  EXPECT_EQ(queue.size(), 0u);
}

}  // namespace
}  // namespace orvel
