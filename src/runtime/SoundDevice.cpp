#include "runtime/SoundDevice.h"

#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMediaDevices>
#include <QPointer>
#include <QTimer>
#include <cmath>
#include <utility>
#include <vector>

#include "runtime/Clock.h"
#include "runtime/Events.h"
#include "runtime/RuntimeError.h"
#include "runtime/WavFile.h"

namespace rt {

namespace {

// How long a synchronous playback may outlast its recording while the output drains
// its buffers before the wait gives up on the device.
constexpr int kDrainAllowanceMs = 2000;

SoundDevice* installedDevice = nullptr;
SystemSoundDevice* systemDevice = nullptr;

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

// Holds back user input that reaches the program as posted events while a
// synchronous sound plays and posts it again, in order, once the sound has ended.
// Input from the window system stays queued there meanwhile (ExcludeUserInputEvents).
class InputHold : public QObject {
 public:
  InputHold() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputHold() override {
    QCoreApplication::instance()->removeEventFilter(this);
    for (auto& [receiver, event] : held_) {
      if (receiver) QCoreApplication::postEvent(receiver, event.release());
    }
  }

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!IsUserInput(event->type())) return false;
    held_.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
    return true;
  }

 private:
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};

void ProcessAllButInput() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

QAudioFormat FormatOf(const WavSound& sound) {
  QAudioFormat format;
  format.setSampleRate(sound.sampleRate);
  format.setChannelCount(sound.channels);
  format.setSampleFormat(sound.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
  return format;
}

}  // namespace

struct SystemSoundDevice::Playback {
  std::unique_ptr<QAudioSink> sink;
  QByteArray samples;
  QBuffer buffer;
  // When the current sound ends, in runtime-clock monotonic ms.
  int64_t endMs = 0;

  void Stop() {
    if (sink) sink->stop();
    sink.reset();
    buffer.close();
    endMs = CurrentClock().MonotonicMs();
  }

  void Start(const WavSound& sound) {
    endMs = CurrentClock().MonotonicMs() + std::llround(sound.LengthMs());
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) return;
    samples = sound.samples;
    buffer.setBuffer(&samples);
    buffer.open(QIODevice::ReadOnly);
    sink = std::make_unique<QAudioSink>(output, FormatOf(sound));
    sink->start(&buffer);
    if (sink->error() != QAudio::OpenError) return;
    Stop();
    throw RuntimeError(ErrSoundOutput, QStringLiteral("Audioausgabe kann nicht geöffnet werden"));
  }

  bool Playing() const {
    return sink && (sink->state() == QAudio::ActiveState || sink->state() == QAudio::SuspendedState);
  }

  void WaitForEnd() {
    InputHold hold;
    TimerHold timers;
    Clock& clock = CurrentClock();
    if (clock.IsVirtual()) {
      ProcessAllButInput();
      static_cast<VirtualClock&>(clock).AdvanceMs(endMs - clock.MonotonicMs());
      ProcessAllButInput();
      return;
    }
    const int64_t remaining = endMs - clock.MonotonicMs() + (sink ? kDrainAllowanceMs : 0);
    if (remaining <= 0 || (sink && !Playing())) return;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (sink) {
      QObject::connect(sink.get(), &QAudioSink::stateChanged, &loop, [this, &loop] {
        if (!Playing()) loop.quit();
      });
    }
    deadline.start(static_cast<int>(remaining));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
};

SystemSoundDevice::SystemSoundDevice() : playback_(std::make_unique<Playback>()) {}

SystemSoundDevice::~SystemSoundDevice() { playback_->Stop(); }

void SystemSoundDevice::Play(const QString& file, PlayMode mode) {
  playback_->Stop();
  const std::optional<WavSound> recording = LoadWav(file);
  playback_->Start(recording ? *recording : DefaultBeep());
  if (mode == PlayMode::Sync) playback_->WaitForEnd();
}

SoundDevice& CurrentSoundDevice() {
  if (installedDevice) return *installedDevice;
  if (!systemDevice) {
    systemDevice = new SystemSoundDevice;
    // The output must close while the application still exists.
    qAddPostRoutine([] {
      delete systemDevice;
      systemDevice = nullptr;
    });
  }
  return *systemDevice;
}

void SetSoundDevice(SoundDevice* device) { installedDevice = device; }

}  // namespace rt
