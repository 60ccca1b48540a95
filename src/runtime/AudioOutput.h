#pragma once
// One long-lived output stream to the desktop's sound server that plays one sound at a
// time. The sound library is loaded when the first sound plays, not at start, and the
// connection is made on the library's own thread, so a desktop without a sound server
// costs the program neither time nor messages. The stream stays open for the life of
// the program. The server holds a long queue of it, so that a busy machine may keep the
// program from refilling it for a good while before the sound breaks up; a sound that
// starts overwrites that queue from the frame the server reads next, so it is heard as
// soon as the little the server has already passed on to the device has played. After
// a while without sound the stream pauses, so an idle program sleeps, but it keeps its
// place at the server: a server renders far ahead while no stream is open, and a new
// stream would wait behind that, as the program's first sound on such a server still
// does. A lost or restarted server is noticed on the next start and the stream opened
// anew.
//
// Start hands the server the new sound's opening itself; the library's thread hands
// over the rest as the server asks for it. Both take their samples from the current
// sound under a lock that Stop takes too, so a sound is never replaced or freed while
// it is read. The library's thread also notes the moment the sound's last frame will
// have been heard, which any thread can ask for.
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
  // Under the loop's lock: hands the server `bytes` of the current sound, then silence,
  // behind what it holds or from the frame it reads next.
  void Write(size_t bytes, bool fromReadIndex);
  // Under the loop's lock: the current sound (or silence) in place of all the server
  // has queued.
  void Replace();
  // On the library's thread, which holds the loop's lock.
  void Feed(size_t bytes);
  void NoteEnd(int64_t latencyUs);

  std::unique_ptr<Connection> connection_;

  // Shared with the library's thread, under lock_.
  mutable std::mutex lock_;
  std::shared_ptr<const std::vector<int16_t>> samples_;  // stream format, interleaved
  size_t position_ = 0;                                   // next sample to hand over
  bool stopped_ = true;
  int64_t startUs_ = 0;        // when the current sound was started
  int64_t lengthUs_ = 0;       // its length
  int64_t endUs_ = -1;         // when its last frame will have been heard; -1 until known
  int64_t writtenAfterEnd_ = 0;  // frames handed over behind its last frame
  int64_t silentUs_ = 0;       // silence handed over since the last sound ended
  // Without a connection (it failed, or the server went away) the sound lasts its length.
  bool silent_ = false;
};

}  // namespace rt
