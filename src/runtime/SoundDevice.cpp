#include "runtime/SoundDevice.h"

#include <QCoreApplication>
#include <cmath>

#include "runtime/AudioOutput.h"
#include "runtime/Blocking.h"
#include "runtime/Clock.h"
#include "runtime/Seams.h"
#include "runtime/WavFile.h"

namespace rt {

namespace {

// How long a synchronous playback may outlast its recording's length before the wait
// gives up on an output that stopped taking frames.
constexpr int kDrainAllowanceMs = 2000;
// The output may report the end a little before the length has passed on the runtime
// clock (its stream started at once); the wait looks that much earlier.
constexpr int kEndLookAheadMs = 20;

Seam<SoundDevice*> deviceSeam;
SystemSoundDevice* systemDevice = nullptr;

}  // namespace

struct SystemSoundDevice::Playback {
  AudioOutput output;
  // The output plays the current sound; without one it is silent but keeps its length.
  bool audible = false;
  // When the current sound ends by its length, in runtime-clock monotonic ms.
  int64_t endMs = 0;

  void Stop() {
    output.Stop();
    audible = false;
    endMs = CurrentClock().MonotonicMs();
  }

  // The sound takes the place of the one playing.
  void Start(const WavSound& sound) {
    endMs = CurrentClock().MonotonicMs() + std::llround(sound.LengthMs());
    // Virtual time belongs to tests, which must stay silent.
    audible = !CurrentClock().IsVirtual() && output.Start(sound);
    if (!audible) output.Stop();
  }

  bool Ended() const { return audible ? output.Ended() : CurrentClock().MonotonicMs() >= endMs; }

  // Blocks the program until the recording has really ended.
  void WaitForEnd() {
    // The output knows the end exactly once it has taken the last frame; without one
    // the recording's length stands for it. Before its length has passed it cannot end.
    BlockUntil(endMs + (audible ? kDrainAllowanceMs : 0), [this] { return Ended(); }, endMs - kEndLookAheadMs);
  }
};

SystemSoundDevice::SystemSoundDevice() : playback_(std::make_unique<Playback>()) {}

SystemSoundDevice::~SystemSoundDevice() { playback_->Stop(); }

void SystemSoundDevice::Play(const QString& file, PlayMode mode) {
  // Nothing of the program runs between the end of one sound and the start of the next.
  HandlerHold hold;
  // The sound playing goes on while the next one loads, so the output never runs dry
  // between them.
  const std::optional<WavSound> recording = LoadWav(file);
  playback_->Start(recording ? *recording : DefaultBeep());
  if (mode == PlayMode::Sync) playback_->WaitForEnd();
}

SoundDevice& CurrentSoundDevice() {
  if (deviceSeam.Replaced()) return *deviceSeam.Replacement();
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

void SetSoundDevice(SoundDevice* device) { deviceSeam.Set(device); }

}  // namespace rt
