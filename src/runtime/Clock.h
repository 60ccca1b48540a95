#pragma once
// The clock the whole program reads: seconds since midnight and today's date. It is
// the system's; tests put in a VirtualClock that they set and advance (Seams.h), so
// that waits cost no real time and the midnight wrap can be reached on demand.
#include <QDate>
#include <memory>

namespace rt {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since local midnight, 0 again at midnight (the game holds it as a float).
  virtual double SecondsSinceMidnight() = 0;
  virtual QDate Today() = 0;
  // Milliseconds on a steady scale that never wraps; waits are measured on it.
  virtual int64_t MonotonicMs() = 0;
  // True when time moves only when a test advances it.
  virtual bool IsVirtual() const { return false; }
};

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(QDate day = QDate(2007, 4, 23), double secondsSinceMidnight = 36000.0);
  double SecondsSinceMidnight() override;
  QDate Today() override;
  int64_t MonotonicMs() override { return monotonicMs_; }
  bool IsVirtual() const override { return true; }

  void Set(QDate day, double secondsSinceMidnight);
  // Moves time forward, across midnight into the next days when needed.
  void AdvanceMs(int64_t ms);

 private:
  QDate day_;
  int64_t msOfDay_;
  int64_t monotonicMs_ = 0;
};

// The clock in use; the system's unless a test put in another.
Clock& CurrentClock();
// Test seam (Seams.h): puts in a clock; nullptr puts the system's back.
void SetClock(Clock* clock);

// Seconds since midnight as the game's 32-bit float.
float Timer();

}  // namespace rt
