#include "runtime/Clock.h"

#include <QDateTime>
#include <QElapsedTimer>

#include "runtime/Seams.h"

namespace rt {

namespace {

constexpr int64_t kMsPerDay = 86'400'000;

class SystemClock : public Clock {
 public:
  double SecondsSinceMidnight() override { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }
  QDate Today() override { return QDate::currentDate(); }
  int64_t MonotonicMs() override {
    static QElapsedTimer timer = [] {
      QElapsedTimer t;
      t.start();
      return t;
    }();
    return timer.elapsed();
  }
};

Seam<Clock*> clockSeam;

}  // namespace

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
  return clockSeam.Replaced() ? *clockSeam.Replacement() : systemClock;
}

void SetClock(Clock* clock) { clockSeam.Set(clock); }

float Timer() { return static_cast<float>(CurrentClock().SecondsSinceMidnight()); }

}  // namespace rt
