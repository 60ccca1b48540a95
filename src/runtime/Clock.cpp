#include "runtime/Clock.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace rt {

namespace {
constexpr int64_t kMsPerDay = 86'400'000;
Clock* installedClock = nullptr;
}  // namespace

double SystemClock::SecondsSinceMidnight() {
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDate SystemClock::Today() { return QDate::currentDate(); }

int64_t SystemClock::MonotonicMs() {
  static QElapsedTimer timer = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return timer.elapsed();
}

VirtualClock::VirtualClock(QDate day, double secondsSinceMidnight) { Set(day, secondsSinceMidnight); }

double VirtualClock::SecondsSinceMidnight() { return msOfDay_ / 1000.0; }
QDate VirtualClock::Today() { return day_; }

void VirtualClock::Set(QDate day, double secondsSinceMidnight) {
  day_ = day;
  msOfDay_ = static_cast<int64_t>(secondsSinceMidnight * 1000.0 + 0.5);
}

void VirtualClock::AdvanceMs(int64_t ms) {
  if (ms <= 0) return;
  monotonicMs_ += ms;
  msOfDay_ += ms;
  while (msOfDay_ >= kMsPerDay) {
    msOfDay_ -= kMsPerDay;
    day_ = day_.addDays(1);
  }
}

Clock& CurrentClock() {
  static SystemClock systemClock;
  return installedClock ? *installedClock : systemClock;
}

void SetClock(Clock* clock) { installedClock = clock; }

float Timer() { return static_cast<float>(CurrentClock().SecondsSinceMidnight()); }

}  // namespace rt
