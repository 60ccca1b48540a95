#pragma once
// A blocking wait: the program behaves as a thread that is busy until a synchronous
// recording has ended. Qt keeps repainting its own widgets, but no handler of the
// program runs meanwhile: no activation, paint, timer, key, click, change or close
// handler and no queued call. What arrives during the wait is delivered afterwards, in
// the order it arrived, once control is back in the event loop; a timer that fell due
// ticks once. Nothing that runs during the wait can start another sound, so a spoken
// recording is never cut off or overtaken.
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

namespace rt {

// True while a blocking wait runs.
bool Blocked();

// Blocks until deadlineMs on the runtime clock's monotonic time, or earlier once
// ended() says so; ended() is first asked at firstLookMs (when nothing can have ended
// before), then every few milliseconds. On a virtual clock the time passes at once,
// while the events that would arrive meanwhile (queued calls, timers falling due)
// arrive and are held.
void BlockUntil(int64_t deadlineMs, const std::function<bool()>& ended = {}, int64_t firstLookMs = 0);

// Holds the program's handlers and input while it exists, as a blocking wait does, for
// work that runs an event loop of its own inside a handler (an audio output that is
// closed waits for its stream); what arrived is delivered once the last hold ends.
class HandlerHold {
 public:
  HandlerHold();
  ~HandlerHold();
  HandlerHold(const HandlerHold&) = delete;
  HandlerHold& operator=(const HandlerHold&) = delete;

 private:
  bool outer_;
  std::unique_ptr<QObject> input_;
};

// Runs action now; during a blocking wait it is held and delivered afterwards through
// the event loop, in order with everything else held. A held action whose context
// object is destroyed before delivery is dropped.
void WhenUnblocked(std::function<void()> action, const QObject* context = nullptr);

}  // namespace rt
