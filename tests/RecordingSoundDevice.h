#pragma once
// A sound device for tests: it logs every playback and "plays" for the recording's
// length in virtual time, so tests can check which sounds a procedure makes, in which
// mode and when, at no cost in real time. Tests install it with rt::SetSoundDevice.
#include <QString>
#include <cstdint>
#include <vector>

#include "runtime/SoundDevice.h"

namespace rt {

// The error a failing playback raises unless a test names another: the one an audio
// output that cannot be opened gives.
constexpr int ErrSoundOutput = 5;

struct PlayRecord {
  QString file;
  PlayMode mode;
  // When the playback started, on the runtime clock.
  double startSeconds;  // seconds since midnight
  int64_t startMs;      // monotonic
  double lengthMs;      // the recording's length, or the default beep's
};

class RecordingSoundDevice : public SoundDevice {
 public:
  // A synchronous playback blocks for the recording's length on a virtual clock, with
  // the event loop running as during a real playback.
  void Play(const QString& file, PlayMode mode) override;

  // The next count calls of Play raise RuntimeError(errorNumber) and play nothing.
  void FailNextCalls(int count, int errorNumber = ErrSoundOutput);

  const std::vector<PlayRecord>& Log() const { return log_; }
  // Calls of Play, failed ones included.
  int Calls() const { return calls_; }

 private:
  std::vector<PlayRecord> log_;
  int calls_ = 0;
  int failuresLeft_ = 0;
  int failureNumber_ = 0;
};

}  // namespace rt
