#include "RecordingSoundDevice.h"

#include <cmath>

#include "runtime/Blocking.h"
#include "runtime/Clock.h"
#include "runtime/RuntimeError.h"
#include "runtime/WavFile.h"

namespace rt {

void RecordingSoundDevice::Play(const QString& file, PlayMode mode) {
  ++calls_;
  if (failuresLeft_ > 0) {
    --failuresLeft_;
    Raise(failureNumber_);
  }
  Clock& clock = CurrentClock();
  const std::optional<WavSound> recording = LoadWav(file);
  const double lengthMs = (recording ? *recording : DefaultBeep()).LengthMs();
  log_.push_back({file, mode, clock.SecondsSinceMidnight(), clock.MonotonicMs(), lengthMs});
  // Blocks as the real device does, so that whatever would run during the recording
  // is seen to wait for its end.
  if (mode == PlayMode::Sync && clock.IsVirtual()) BlockUntil(clock.MonotonicMs() + std::llround(lengthMs));
}

void RecordingSoundDevice::FailNextCalls(int count, int errorNumber) {
  failuresLeft_ = count;
  failureNumber_ = errorNumber;
}

}  // namespace rt
