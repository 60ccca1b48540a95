#include <gtest/gtest.h>

#include <QTimer>

#include "runtime/Clock.h"
#include "runtime/Events.h"

namespace {

struct VirtualTime : ::testing::Test {
  rt::VirtualClock clock;
  void SetUp() override { rt::SetClock(&clock); }
  void TearDown() override { rt::SetClock(nullptr); }
};

TEST_F(VirtualTime, WaitAdvancesTheClockAcrossMidnight) {
  clock.Set(QDate(2007, 4, 23), 86399.9);
  rt::WaitMs(720);
  EXPECT_NEAR(clock.SecondsSinceMidnight(), 0.62, 1e-6);
  EXPECT_EQ(clock.Today(), QDate(2007, 4, 24));
}

TEST_F(VirtualTime, TimersTickOnlyWhileTimePassesInAWait) {
  int ticks = 0;
  rt::ClockTimer timer([&] { ++ticks; });
  timer.SetInterval(250);
  EXPECT_EQ(ticks, 0);
  rt::WaitMs(1000);
  EXPECT_EQ(ticks, 4);
  timer.SetInterval(0);
  rt::WaitMs(1000);
  EXPECT_EQ(ticks, 4);
}

TEST_F(VirtualTime, ATimerStoppedByItsOwnTickDoesNotTickAgain) {
  int ticks = 0;
  rt::ClockTimer* timer = nullptr;
  rt::ClockTimer t([&] {
    ++ticks;
    timer->SetEnabled(false);
  });
  timer = &t;
  t.SetInterval(100);
  rt::WaitMs(1000);
  EXPECT_EQ(ticks, 1);
}

TEST(RealTime, WaitDeliversQueuedEvents) {
  bool delivered = false;
  QTimer::singleShot(0, [&] { delivered = true; });
  rt::WaitMs(5);
  EXPECT_TRUE(delivered);
}

}  // namespace

namespace {

TEST_F(VirtualTime, ATimerBlockedByASynchronousSoundTicksOnceAfterIt) {
  int ticks = 0;
  rt::ClockTimer timer([&] { ++ticks; });
  timer.SetInterval(250);
  {
    rt::TimerHold hold;
    rt::WaitMs(1000);
    EXPECT_EQ(ticks, 0);
  }
  EXPECT_EQ(ticks, 1);
  clock.AdvanceMs(1000);  // time passed without any event processing
  rt::WaitMs(0);
  EXPECT_EQ(ticks, 2);
}

}  // namespace

namespace {

TEST(Blocking, ARequestWaitsForTheEndOfABlockingSound) {
  std::vector<int> order;
  {
    rt::TimerHold hold;
    rt::WhenUnblocked([&] { order.push_back(2); });
    order.push_back(1);
  }
  rt::WhenUnblocked([&] { order.push_back(3); });
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

}  // namespace
