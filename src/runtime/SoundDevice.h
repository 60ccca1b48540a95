#pragma once
// Playback of WAV files, one sound at a time. The game plays effects asynchronously
// and speech synchronously; tests install a device of their own in place of the real
// one so that sounds are logged and take virtual time only.
#include <QString>
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

 private:
  struct Playback;
  std::unique_ptr<Playback> playback_;
};

// The device in use; the system's unless a test put in another.
SoundDevice& CurrentSoundDevice();
// Test seam (Seams.h): puts in a device; nullptr puts the system's back.
void SetSoundDevice(SoundDevice* device);

}  // namespace rt
