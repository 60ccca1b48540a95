#pragma once
// One long-lived output stream to the desktop's sound server that plays one sound at a
// time. The sound library is loaded when the first sound plays, not at start, and the
// connection is made on the library's own thread, so a desktop without a sound server
// costs the program neither time nor messages. The stream stays open for the life of
// the program: a sound that starts replaces what is still queued and is heard within
// the server's part of the buffer. After a while without sound the stream pauses, so
// an idle program sleeps, but it keeps its place at the server: a server renders far
// ahead while no stream is open, and a new stream would wait behind that. A lost or
// restarted server is noticed on the next start and the stream opened anew.
//
// The library's thread takes its samples from the current sound under a lock that
// Start and Stop take too, so a sound is never replaced or freed while it is read. It
// also notes the moment the sound's last frame will have been heard, which any thread
// can ask for.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace rt {

struct WavSound;

class AudioOutput {
 public:
  AudioOutput();
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Plays sound in place of the one playing. False when there is no audio output: the
  // caller then keeps the sound's length on its own.
  bool Start(const WavSound& sound);
  // Silences the current sound.
  void Stop();

  // Thread-safe: the sound started last has been heard to its end (or was stopped).
  bool Ended() const;

 private:
  struct Connection;
  struct Callbacks;
  // Loads the library and starts its thread, once.
  bool StartLoop();
  // Under the loop's lock: connects unless connected, or a try failed a moment ago.
  bool Connect();
  // On the library's thread, which holds the loop's lock.
  void Feed(size_t bytes);
  void NoteEnd(int64_t latencyUs);
  int64_t RemainingUsLocked(int64_t nowUs) const;

  std::unique_ptr<Connection> connection_;

  // Shared with the library's thread, under lock_.
  mutable std::mutex lock_;
  std::shared_ptr<const std::vector<int16_t>> samples_;  // stream format, interleaved
  size_t position_ = 0;                                   // next sample to hand over
  bool stopped_ = true;
  // Counts the sounds started, so that a report about an earlier one is ignored.
  uint64_t generation_ = 0;
  int64_t startUs_ = 0;        // when the current sound was started
  int64_t lengthUs_ = 0;       // its length
  int64_t endUs_ = -1;         // when its last frame will have been heard; -1 until known
  int64_t writtenAfterEnd_ = 0;  // frames handed over behind its last frame
  int64_t silentUs_ = 0;       // silence handed over since the last sound ended
  // Without a connection (it failed, or the server went away) the sound lasts its length.
  bool silent_ = false;
};

}  // namespace rt
