#pragma once
// Playback of WAV files, one sound at a time. The game plays effects asynchronously
// and speech synchronously; tests install a device of their own in place of the real
// one so that sounds are logged and take virtual time only.
#include <QString>
#include <cstdint>
#include <memory>

namespace rt {

enum class PlayMode { Sync, Async };

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // Plays a WAV file. Sync returns when the sound has ended and blocks the program
  // meanwhile (see Blocking.h: windows still repaint, no handler runs, what arrives is
  // delivered afterwards); Async returns at once. A new playback ends the sound still playing. A missing or
  // unreadable file plays a short default beep instead. A device may raise RuntimeError
  // when its output fails; the system's plays silently instead.
  virtual void Play(const QString& file, PlayMode mode) = 0;
};

// Plays through the default audio output. Without one, a sound is silent but still
// lasts the recording's length on the runtime clock.
class SystemSoundDevice : public SoundDevice {
 public:
  SystemSoundDevice();
  ~SystemSoundDevice() override;
  void Play(const QString& file, PlayMode mode) override;

  // Thread-safe: the sound played last has been heard to its end (or was stopped), so a
  // wait for a synchronous sound may poll it from anywhere.
  bool SoundEnded() const;
  // Thread-safe: milliseconds until then; exact once the output has taken the sound's
  // last frame, an estimate before.
  int64_t RemainingMs() const;

 private:
  struct Playback;
  std::unique_ptr<Playback> playback_;
};

// The device in use; the system's unless a test installed another.
SoundDevice& CurrentSoundDevice();
// Installs a device (nullptr restores the system's). The caller keeps ownership.
void SetSoundDevice(SoundDevice* device);

}  // namespace rt
