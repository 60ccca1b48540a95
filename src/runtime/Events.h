#pragma once
// Event processing and waits on the runtime clock. A wait never spins: on the real
// clock it sleeps inside Qt's event loop until its deadline, so window events keep
// flowing at no cost; on a virtual clock it advances time at once, firing every
// runtime timer that falls due on the way, so a 4-second wait costs a test nothing.
#include <QObject>
#include <functional>

class QTimer;

namespace rt {

// Processes pending window events and returns.
void DoEvents();

// Blocks for ms milliseconds of runtime-clock time while window events are processed.
void WaitMs(double ms);

// Lets virtual time pass as if the program sat idle in its event loop (tests only;
// on the real clock it behaves like WaitMs).
void IdleMs(double ms);

// A periodic timer on the runtime clock. It ticks only while window events are
// processed (in the event loop, DoEvents or a wait), like any window timer; during a
// blocking wait it ticks once afterwards.
class ClockTimer : public QObject {
  Q_OBJECT
 public:
  explicit ClockTimer(std::function<void()> onTick, QObject* parent = nullptr);
  ~ClockTimer() override;

  // Interval in ms; 0 stops the timer.
  void SetInterval(int ms);
  int Interval() const { return intervalMs_; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }

  // Virtual-clock bookkeeping, used by the waits.
  int64_t DueMs() const { return dueMs_; }
  bool Running() const { return enabled_ && intervalMs_ > 0; }
  void FireVirtual();
  // Delivers the one tick held back by a blocking wait.
  void FireHeld();

 private:
  void Restart();
  void Tick();

  std::function<void()> onTick_;
  QTimer* realTimer_;
  int intervalMs_ = 0;
  bool enabled_ = true;
  int64_t dueMs_ = 0;
  bool tickHeld_ = false;
};

}  // namespace rt
