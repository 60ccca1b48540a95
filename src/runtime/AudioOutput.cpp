#include "runtime/AudioOutput.h"

#include <dlfcn.h>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "runtime/Screen.h"
#include "runtime/WavFile.h"

namespace rt {

namespace {

// Every sound is converted to one format when it starts, so the stream never has to be
// reopened for a recording of another shape.
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr size_t kFrameBytes = kChannels * sizeof(int16_t);
// How often the server asks for more while sound plays, which is also how much it
// passes on to the device ahead of time. A starting sound replaces everything queued
// but that, so it decides how soon a sound is heard on a device that cannot take back
// what it has been given: within about 10 ms, with the server at about 1 % of a core
// while sound plays (bench/sound_output).
constexpr int64_t kRequestUs = 10'000;
// What the server holds of the stream beyond that: how long the program may be kept
// from refilling it before the sound breaks up. A starting sound overwrites it, so it
// costs nothing in how soon a sound is heard. With one busy loop on every processor,
// or two, it never ran dry through a start and the whole tutorial.
constexpr int64_t kQueueUs = 200'000;
// After this much silence the stream pauses until the next sound, and the program
// sleeps. Paused, it still holds the server to its short latency: on a null sink a
// sound after ten minutes of quiet ended as late as one after a second, 11 to 17 ms.
constexpr int64_t kPauseAfterUs = 2'000'000;
// After a failed connection the next try waits this long: looking for a server that is
// not there costs time that every effect of an animation would otherwise pay.
constexpr int64_t kRetryOpenUs = 2'000'000;

int64_t NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

constexpr int64_t FramesToUs(int64_t frames) { return frames * 1'000'000 / kRate; }
constexpr uint32_t UsToBytes(int64_t us) { return static_cast<uint32_t>(us * kRate / 1'000'000 * kFrameBytes); }

// One sample of channel c of frame i as signed 16 bits.
int SampleAt(const WavSound& sound, qsizetype frame, int channel) {
  const qsizetype index = frame * sound.channels + channel;
  if (sound.bitsPerSample == 8) return (static_cast<uint8_t>(sound.samples[index]) - 128) * 256;
  const auto* p = reinterpret_cast<const uint8_t*>(sound.samples.constData()) + 2 * index;
  return static_cast<int16_t>(p[0] | (p[1] << 8));
}

// The sound as interleaved 16-bit stereo at the device rate, by linear interpolation: a
// few milliseconds even for the longest narration, so a sound starts when it is asked for.
std::vector<int16_t> Convert(const WavSound& sound) {
  const qsizetype frames = sound.BytesPerFrame() > 0 ? sound.samples.size() / sound.BytesPerFrame() : 0;
  if (frames == 0) return {};
  const int64_t outFrames = frames * int64_t{kRate} / sound.sampleRate;
  std::vector<int16_t> out(static_cast<size_t>(outFrames) * kChannels);
  for (int64_t i = 0; i < outFrames; ++i) {
    const int64_t scaled = i * sound.sampleRate;  // position in source frames, times kRate
    const qsizetype at = static_cast<qsizetype>(scaled / kRate);
    const qsizetype next = std::min(at + 1, frames - 1);
    const double f = double(scaled % kRate) / kRate;
    for (int c = 0; c < kChannels; ++c) {
      const int channel = std::min(c, sound.channels - 1);
      const double value = SampleAt(sound, at, channel) * (1 - f) + SampleAt(sound, next, channel) * f;
      out[static_cast<size_t>(i) * kChannels + c] = static_cast<int16_t>(std::lround(value));
    }
  }
  return out;
}

// The few functions of the sound server's client library the output uses, looked up
// when the first sound plays.
#define QUONK_PULSE_FUNCTIONS(X)                                                                          \
  X(pa_threaded_mainloop_new)                                                                           \
  X(pa_threaded_mainloop_free) X(pa_threaded_mainloop_start) X(pa_threaded_mainloop_stop)               \
  X(pa_threaded_mainloop_lock) X(pa_threaded_mainloop_unlock) X(pa_threaded_mainloop_get_api)           \
  X(pa_context_new) X(pa_context_set_state_callback) X(pa_context_connect) X(pa_context_get_state)      \
  X(pa_context_disconnect) X(pa_context_unref) X(pa_stream_new) X(pa_stream_set_state_callback)         \
  X(pa_stream_set_write_callback) X(pa_stream_connect_playback) X(pa_stream_get_state)                  \
  X(pa_stream_begin_write) X(pa_stream_cancel_write) X(pa_stream_write) X(pa_stream_cork)                \
  X(pa_stream_update_timing_info) X(pa_stream_get_latency) X(pa_stream_disconnect) X(pa_stream_unref)   \
  X(pa_operation_unref)

struct Pulse {
#define QUONK_DECLARE(name) decltype(&::name) name = nullptr;
  QUONK_PULSE_FUNCTIONS(QUONK_DECLARE)
#undef QUONK_DECLARE
};

// The library, loaded once; nullptr where it is not installed. It stays loaded, and
// its functions stay known, while the process ends: its thread may still run then.
const Pulse* LoadPulse() {
  static Pulse functions;
  static const bool complete = [] {
    void* library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    bool found = true;
#define QUONK_RESOLVE(name) \
  found = found && (functions.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)));
    QUONK_PULSE_FUNCTIONS(QUONK_RESOLVE)
#undef QUONK_RESOLVE
    return found;
  }();
  return complete ? &functions : nullptr;
}

}  // namespace

// The connection's state belongs to the library's thread and is read or changed by the
// program's thread only under the loop's lock.
struct AudioOutput::Connection {
  const Pulse* pa = nullptr;
  pa_threaded_mainloop* loop = nullptr;
  pa_context* context = nullptr;
  pa_stream* stream = nullptr;
  bool playing = false;   // the stream takes samples
  bool paused = false;    // the stream waits for the next sound
  bool reached = false;   // this connection reached the server
  bool lost = false;      // it failed or the server went away
  int64_t failedAtUs = -1;  // when a connection failed last

  void Drop(pa_operation* operation) const {
    if (operation) pa->pa_operation_unref(operation);
  }
  void Disconnect() {
    if (stream) {
      pa->pa_stream_set_state_callback(stream, nullptr, nullptr);
      pa->pa_stream_set_write_callback(stream, nullptr, nullptr);
      pa->pa_stream_disconnect(stream);
      pa->pa_stream_unref(stream);
      stream = nullptr;
    }
    if (context) {
      pa->pa_context_set_state_callback(context, nullptr, nullptr);
      pa->pa_context_disconnect(context);
      pa->pa_context_unref(context);
      context = nullptr;
    }
    playing = paused = reached = lost = false;
  }

  // The loop's lock, which the library's thread holds while it calls the output.
  class Lock {
   public:
    explicit Lock(const Connection& c) : c_(c) { c_.pa->pa_threaded_mainloop_lock(c_.loop); }
    ~Lock() { c_.pa->pa_threaded_mainloop_unlock(c_.loop); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    const Connection& c_;
  };
};

// What the library's thread calls.
struct AudioOutput::Callbacks {
  static void ContextState(pa_context* context, void* self) {
    auto* output = static_cast<AudioOutput*>(self);
    Connection& c = *output->connection_;
    switch (c.pa->pa_context_get_state(context)) {
      case PA_CONTEXT_READY:
        OpenStream(*output);
        return;
      case PA_CONTEXT_FAILED:
      case PA_CONTEXT_TERMINATED:
        Lose(*output);
        return;
      default:
        return;
    }
  }

  static void OpenStream(AudioOutput& output) {
    Connection& c = *output.connection_;
    const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, kChannels};
    c.stream = c.pa->pa_stream_new(c.context, App::Title.toUtf8().constData(), &spec, nullptr);
    if (!c.stream) {
      Lose(output);
      return;
    }
    c.pa->pa_stream_set_state_callback(c.stream, &StreamState, &output);
    c.pa->pa_stream_set_write_callback(c.stream, &Write, &output);
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<uint32_t>(-1);
    buffer.tlength = UsToBytes(kQueueUs);
    // The stream plays from its first frame and never stops to refill its queue: a
    // moment the program was late is a moment of silence, not a longer pause.
    buffer.prebuf = 0;
    buffer.minreq = UsToBytes(kRequestUs);
    buffer.fragsize = static_cast<uint32_t>(-1);
    // Early requests: the device gets one request's worth ahead, the rest stays queued.
    if (c.pa->pa_stream_connect_playback(c.stream, nullptr, &buffer, PA_STREAM_EARLY_REQUESTS, nullptr, nullptr) < 0)
      Lose(output);
  }

  static void StreamState(pa_stream* stream, void* self) {
    auto* output = static_cast<AudioOutput*>(self);
    Connection& c = *output->connection_;
    switch (c.pa->pa_stream_get_state(stream)) {
      case PA_STREAM_READY:
        c.playing = c.reached = true;
        return;
      case PA_STREAM_FAILED:
      case PA_STREAM_TERMINATED:
        Lose(*output);
        return;
      default:
        return;
    }
  }

  // The server went away or never answered: the sound started last goes on silently.
  static void Lose(AudioOutput& output) {
    Connection& c = *output.connection_;
    if (!c.reached) c.failedAtUs = NowUs();
    c.lost = true;
    c.playing = false;
    std::lock_guard guard(output.lock_);
    output.silent_ = true;
  }

  static void Write(pa_stream*, size_t bytes, void* self) { static_cast<AudioOutput*>(self)->Feed(bytes); }

  static void Timing(pa_stream* stream, int success, void* self) {
    auto* output = static_cast<AudioOutput*>(self);
    pa_usec_t latency = 0;
    int negative = 0;
    if (!success || output->connection_->pa->pa_stream_get_latency(stream, &latency, &negative) < 0) return;
    output->NoteEnd(negative ? -static_cast<int64_t>(latency) : static_cast<int64_t>(latency));
  }
};

AudioOutput::AudioOutput() : connection_(std::make_unique<Connection>()) {}

AudioOutput::~AudioOutput() {
  Connection& c = *connection_;
  if (!c.loop) return;
  {
    Connection::Lock hold(c);
    c.Disconnect();
  }
  c.pa->pa_threaded_mainloop_stop(c.loop);
  c.pa->pa_threaded_mainloop_free(c.loop);
}

bool AudioOutput::StartLoop() {
  Connection& c = *connection_;
  if (c.loop) return true;
  if (!c.pa) c.pa = LoadPulse();
  if (!c.pa) return false;
  c.loop = c.pa->pa_threaded_mainloop_new();
  if (c.loop && c.pa->pa_threaded_mainloop_start(c.loop) == 0) return true;
  if (c.loop) c.pa->pa_threaded_mainloop_free(c.loop);
  c.loop = nullptr;
  return false;
}

bool AudioOutput::Connect() {
  Connection& c = *connection_;
  if (c.context && !c.lost) return true;
  if (c.failedAtUs >= 0 && NowUs() - c.failedAtUs < kRetryOpenUs) return false;
  c.Disconnect();
  c.context = c.pa->pa_context_new(c.pa->pa_threaded_mainloop_get_api(c.loop), App::Title.toUtf8().constData());
  if (!c.context) return false;
  c.pa->pa_context_set_state_callback(c.context, &Callbacks::ContextState, this);
  // Never start a server of our own: without one the program is silent.
  if (c.pa->pa_context_connect(c.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0) return true;
  c.failedAtUs = NowUs();
  c.lost = true;
  return false;
}

bool AudioOutput::Start(const WavSound& sound) {
  auto samples = std::make_shared<const std::vector<int16_t>>(Convert(sound));
  const int64_t lengthUs = FramesToUs(static_cast<int64_t>(samples->size() / kChannels));
  if (!StartLoop()) return false;
  Connection& c = *connection_;
  Connection::Lock hold(c);
  if (!Connect()) return false;
  std::shared_ptr<const std::vector<int16_t>> old;
  {
    std::lock_guard guard(lock_);
    // A recording without frames has ended as it starts.
    stopped_ = samples->empty();
    old = std::exchange(samples_, std::move(samples));
    position_ = 0;
    silent_ = false;
    startUs_ = NowUs();
    lengthUs_ = lengthUs;
    endUs_ = -1;
    writtenAfterEnd_ = silentUs_ = 0;
  }
  if (!c.playing) return true;  // the stream plays the sound once it is open
  if (c.paused) {
    c.Drop(c.pa->pa_stream_cork(c.stream, 0, nullptr, nullptr));
    c.paused = false;
  }
  Replace();
  return true;
}

void AudioOutput::Stop() {
  std::shared_ptr<const std::vector<int16_t>> old;
  {
    std::lock_guard guard(lock_);
    old.swap(samples_);
    stopped_ = true;
  }
  Connection& c = *connection_;
  if (!c.loop) return;
  Connection::Lock hold(c);
  if (c.playing && !c.paused) Replace();
}

void AudioOutput::Write(size_t bytes, bool fromReadIndex) {
  Connection& c = *connection_;
  pa_seek_mode_t seek = fromReadIndex ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE;
  bool lastFrameGone = false;
  while (bytes >= kFrameBytes) {
    void* data = nullptr;
    size_t size = bytes;
    if (c.pa->pa_stream_begin_write(c.stream, &data, &size) < 0 || !data) break;
    size = std::min(size, bytes) / kFrameBytes * kFrameBytes;
    if (size == 0) {
      c.pa->pa_stream_cancel_write(c.stream);
      break;
    }
    auto* out = static_cast<int16_t*>(data);
    const size_t wanted = size / sizeof(int16_t);
    size_t copied = 0;
    {
      std::lock_guard guard(lock_);
      if (samples_ && !stopped_ && position_ < samples_->size()) {
        copied = std::min(wanted, samples_->size() - position_);
        std::memcpy(out, samples_->data() + position_, copied * sizeof(int16_t));
        position_ += copied;
        lastFrameGone = lastFrameGone || position_ == samples_->size();
      }
      const auto silentFrames = static_cast<int64_t>((wanted - copied) / kChannels);
      if (endUs_ < 0) writtenAfterEnd_ += silentFrames;
      silentUs_ += FramesToUs(silentFrames);
    }
    std::memset(out + copied, 0, (wanted - copied) * sizeof(int16_t));
    c.pa->pa_stream_write(c.stream, data, size, nullptr, 0, seek);
    seek = PA_SEEK_RELATIVE;
    bytes -= size;
  }
  // Where the last frame stands is known once the server has said how much is queued.
  if (lastFrameGone) c.Drop(c.pa->pa_stream_update_timing_info(c.stream, &Callbacks::Timing, this));
}

void AudioOutput::Replace() { Write(UsToBytes(kQueueUs), true); }

void AudioOutput::Feed(size_t bytes) {
  Connection& c = *connection_;
  Write(bytes, false);
  std::lock_guard guard(lock_);
  if (silentUs_ < kPauseAfterUs || c.paused) return;
  c.Drop(c.pa->pa_stream_cork(c.stream, 1, nullptr, nullptr));
  c.paused = true;
}

void AudioOutput::NoteEnd(int64_t latencyUs) {
  std::lock_guard guard(lock_);
  // A report from before the current sound's last frame was handed over says nothing of it.
  if (!samples_ || stopped_ || position_ < samples_->size() || endUs_ >= 0) return;
  endUs_ = NowUs() + latencyUs - FramesToUs(writtenAfterEnd_);
}

bool AudioOutput::Ended() const {
  std::lock_guard guard(lock_);
  const int64_t now = NowUs();
  if (stopped_) return true;
  if (silent_) return now >= startUs_ + lengthUs_;
  return endUs_ >= 0 && now >= endUs_;
}

}  // namespace rt
