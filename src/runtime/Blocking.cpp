#include "runtime/Blocking.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "runtime/Clock.h"
#include "runtime/Events.h"

namespace rt {

namespace {

// How often a blocking wait asks whether the sound has ended before its deadline.
constexpr int kEndPollMs = 5;

bool blocked = false;

// What arrived during a blocking wait, in arrival order; each entry hands its event
// back to the event loop.
std::vector<std::function<void()>>& Held() {
  static std::vector<std::function<void()>> held;
  return held;
}

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

// Input from the window system stays queued there during the wait
// (ExcludeUserInputEvents); input that reaches the program as an event all the same
// (posted, or sent directly) is held as a copy and posted again afterwards.
class InputHold : public QObject {
 public:
  InputHold() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputHold() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!IsUserInput(event->type())) return false;
    QPointer<QObject> target(receiver);
    std::shared_ptr<QEvent> copy(event->clone());
    Held().push_back([target, copy] {
      if (target) QCoreApplication::postEvent(target, copy->clone());
    });
    return true;
  }
};

void Release() {
  const std::vector<std::function<void()>> held = std::exchange(Held(), {});
  for (const auto& deliver : held) deliver();
}

void BlockReal(int64_t deadlineMs, const std::function<bool()>& ended, int64_t firstLookMs) {
  const int64_t now = CurrentClock().MonotonicMs();
  const int64_t remaining = deadlineMs - now;
  if (remaining <= 0) return;
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  QTimer poll;
  if (ended) {
    // Nothing can have ended before the first look: the program sleeps until then.
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (ended()) loop.quit();
      poll.setInterval(kEndPollMs);
    });
    poll.start(static_cast<int>(std::clamp<int64_t>(firstLookMs - now, kEndPollMs, remaining)));
  }
  deadline.start(static_cast<int>(remaining));
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

bool Blocked() { return blocked; }

HandlerHold::HandlerHold() : outer_(std::exchange(blocked, true)), input_(std::make_unique<InputHold>()) {}

HandlerHold::~HandlerHold() {
  input_.reset();
  blocked = outer_;
  if (!outer_) Release();
}

void BlockUntil(int64_t deadlineMs, const std::function<bool()>& ended, int64_t firstLookMs) {
  HandlerHold hold;
  if (ended && ended()) return;
  Clock& clock = CurrentClock();
  if (!clock.IsVirtual()) {
    BlockReal(deadlineMs, ended, firstLookMs);
    return;
  }
  // The time passes as in an idle event loop, so that everything that would arrive
  // meanwhile arrives, and is held.
  WaitMs(static_cast<double>(std::max<int64_t>(0, deadlineMs - clock.MonotonicMs())));
}

void WhenUnblocked(std::function<void()> action, const QObject* context) {
  if (!blocked) {
    action();
    return;
  }
  QPointer<QObject> target(const_cast<QObject*>(context));
  const bool bound = context != nullptr;
  Held().push_back([action = std::move(action), target, bound] {
    if (bound && !target) return;
    QMetaObject::invokeMethod(bound ? target.data() : QCoreApplication::instance(), action, Qt::QueuedConnection);
  });
}

}  // namespace rt
