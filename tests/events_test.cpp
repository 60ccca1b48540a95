#include <gtest/gtest.h>

#include <QTimer>
#include <memory>
#include <vector>

#include "runtime/Clock.h"
#include "runtime/Blocking.h"
#include "runtime/ErrorBox.h"
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

TEST_F(VirtualTime, ABlockingWaitRunsNoHandlerAndDeliversWhatArrivedAfterwardsInOrder) {
  std::vector<QString> seen;
  const auto now = [&] { return QString::number(clock.MonotonicMs()); };
  rt::ClockTimer timer([&] { seen.push_back("tick " + now()); });
  timer.SetInterval(250);
  auto context = std::make_unique<QObject>();
  QTimer::singleShot(0, [&] {
    rt::RunHandler([&] { seen.push_back("queued " + now()); });
    rt::RunHandler([&] { seen.push_back("of a closed window"); }, context.get());
    rt::WhenUnblocked([&] { seen.push_back("request " + now()); });
  });
  rt::BlockUntil(1000);
  EXPECT_TRUE(seen.empty()) << "nothing runs inside the wait";
  EXPECT_EQ(clock.MonotonicMs(), 1000);
  EXPECT_FALSE(rt::Blocked());
  context.reset();
  rt::DoEvents();
  EXPECT_EQ(seen, (std::vector<QString>{"queued 1000", "request 1000", "tick 1000"})) << "the timer ticks once";

  seen.clear();
  rt::WaitMs(500);
  EXPECT_EQ(seen, (std::vector<QString>{"tick 1250", "tick 1500"})) << "then on its beat again";
  seen.clear();
  rt::WhenUnblocked([&] { seen.push_back("at once"); });
  EXPECT_EQ(seen, std::vector<QString>{"at once"});

  // Work that runs an event loop of its own inside a handler holds the handlers too.
  seen.clear();
  {
    rt::HandlerHold hold;
    QTimer::singleShot(0, [&] { rt::RunHandler([&] { seen.push_back("held"); }); });
    rt::DoEvents();
    EXPECT_TRUE(seen.empty());
  }
  rt::DoEvents();
  EXPECT_EQ(seen, std::vector<QString>{"held"});
}

}  // namespace
