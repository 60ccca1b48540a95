#pragma once
// One long-lived output stream to the default audio device that plays one sound at a
// time. Opening a stream costs tens of milliseconds, more than the game leaves between
// two clicks of a deal, so the stream stays open while sounds follow each other and is
// closed only after a second without sound (an idle open stream keeps the sound server
// and the program awake). A lost or restarted sound server is noticed on the next start
// and the stream opened anew.
//
// The audio thread takes its samples from the current sound under a lock that Start and
// Stop take too, so a sound is never replaced or freed while the audio thread reads it.
// It also notes the moment each sound's last frame will have left the device, which any
// thread can ask for.
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace rt {

struct WavSound;

class AudioOutput : public QObject {
 public:
  AudioOutput();
  ~AudioOutput() override;
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Plays sound in place of the one playing. False when there is no audio output: the
  // caller then keeps the sound's length on its own.
  bool Start(const WavSound& sound);
  // Silences the current sound.
  void Stop();

  // Thread-safe: the sound started last has been heard to its end (or was stopped).
  bool Ended() const;
  // Thread-safe: milliseconds until then, 0 once ended. Exact once the device has taken
  // the sound's last frame; before that an estimate from the frames still to come.
  int64_t RemainingMs() const;

 private:
  struct Device;
  bool Open();
  void Close();
  void CloseIfIdle();
  void Feed(uint8_t* stream, int bytes);
  static void FeedCallback(void* self, uint8_t* stream, int bytes);
  int64_t RemainingUsLocked(int64_t nowUs) const;

  std::unique_ptr<Device> device_;
  QTimer idleTimer_;

  // Shared with the audio thread, under lock_.
  mutable std::mutex lock_;
  std::shared_ptr<const std::vector<int16_t>> samples_;  // device format, interleaved
  size_t position_ = 0;                                   // next sample to hand over
  int64_t endUs_ = -1;  // when the last frame will have been heard; -1 until known
  bool stopped_ = true;
};

}  // namespace rt
