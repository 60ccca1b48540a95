#include "runtime/SoundDevice.h"

#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <cmath>

#include "runtime/Blocking.h"
#include "runtime/Clock.h"
#include "runtime/RuntimeError.h"
#include "runtime/WavFile.h"

namespace rt {

namespace {

// How long a synchronous playback may outlast its recording while the output drains
// its buffers before the wait gives up on the device.
constexpr int kDrainAllowanceMs = 2000;

SoundDevice* installedDevice = nullptr;
SystemSoundDevice* systemDevice = nullptr;

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

  // Blocks the program until the recording has ended: by its length, or earlier when
  // the output says it has stopped.
  void WaitForEnd() {
    const int64_t deadline = endMs + (sink ? kDrainAllowanceMs : 0);
    // The output reports its start a moment after it was asked to play, and its end as
    // soon as it holds the last samples: only a sound seen playing can have stopped, and
    // none before its length has passed.
    bool seenPlaying = false;
    BlockUntil(deadline, [this, &seenPlaying] {
      if (Playing()) seenPlaying = true;
      return seenPlaying && !Playing() && CurrentClock().MonotonicMs() >= endMs;
    });
  }
};

SystemSoundDevice::SystemSoundDevice() : playback_(std::make_unique<Playback>()) {}

SystemSoundDevice::~SystemSoundDevice() { playback_->Stop(); }

void SystemSoundDevice::Play(const QString& file, PlayMode mode) {
  // Closing the output runs an event loop: no handler of the program may run inside it.
  HandlerHold hold;
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
