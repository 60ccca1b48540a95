#include "runtime/Events.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "runtime/Blocking.h"
#include "runtime/Clock.h"

namespace rt {

namespace {

std::vector<ClockTimer*>& VirtualTimers() {
  static std::vector<ClockTimer*> timers;
  return timers;
}

VirtualClock* Virtual() {
  Clock& clock = CurrentClock();
  return clock.IsVirtual() ? static_cast<VirtualClock*>(&clock) : nullptr;
}

// The running timer that falls due first, at or before deadline.
ClockTimer* NextDueTimer(int64_t deadline) {
  ClockTimer* next = nullptr;
  for (ClockTimer* t : VirtualTimers()) {
    if (!t->Running() || t->DueMs() > deadline) continue;
    if (!next || t->DueMs() < next->DueMs()) next = t;
  }
  return next;
}

void AdvanceVirtual(VirtualClock& clock, double ms) {
  const int64_t deadline = clock.MonotonicMs() + static_cast<int64_t>(std::llround(ms));
  DoEvents();
  while (ClockTimer* t = NextDueTimer(deadline)) {
    clock.AdvanceMs(t->DueMs() - clock.MonotonicMs());
    t->FireVirtual();
    DoEvents();
  }
  clock.AdvanceMs(deadline - clock.MonotonicMs());
  DoEvents();
}

void WaitReal(double ms) {
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(static_cast<int>(std::max(0.0, std::round(ms))));
  loop.exec();
}

}  // namespace

void DoEvents() {
  // Qt's own processing skips events posted before the handler that calls this one
  // started; they are pending all the same.
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitMs(double ms) {
  if (VirtualClock* clock = Virtual()) {
    AdvanceVirtual(*clock, ms);
    return;
  }
  WaitReal(ms);
}

void IdleMs(double ms) { WaitMs(ms); }

ClockTimer::ClockTimer(std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)), realTimer_(new QTimer(this)) {
  realTimer_->setTimerType(Qt::PreciseTimer);
  connect(realTimer_, &QTimer::timeout, this, [this] {
    if (!Virtual()) Tick();
  });
  VirtualTimers().push_back(this);
}

ClockTimer::~ClockTimer() { std::erase(VirtualTimers(), this); }

void ClockTimer::SetInterval(int ms) {
  intervalMs_ = std::max(0, ms);
  Restart();
}

void ClockTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Restart();
}

void ClockTimer::Restart() {
  dueMs_ = CurrentClock().MonotonicMs() + intervalMs_;
  if (Running() && !Virtual())
    realTimer_->start(intervalMs_);
  else
    realTimer_->stop();
}

void ClockTimer::FireVirtual() {
  // Counted from now, so that a timer overdue after a blocking wait ticks once, not once per
  // interval it missed.
  dueMs_ = CurrentClock().MonotonicMs() + intervalMs_;
  Tick();
}

void ClockTimer::Tick() {
  if (Blocked()) {
    if (tickHeld_) return;
    tickHeld_ = true;
    WhenUnblocked([this] { FireHeld(); }, this);
    return;
  }
  if (onTick_) onTick_();
}

void ClockTimer::FireHeld() {
  if (!tickHeld_) return;
  tickHeld_ = false;
  if (Running()) Tick();
}

}  // namespace rt
