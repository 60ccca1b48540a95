#include "runtime/AudioOutput.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "runtime/WavFile.h"

namespace rt {

namespace {

// Every sound is converted to one format when it starts, so the stream never has to be
// reopened for a recording of another shape.
constexpr int kRate = 44100;
constexpr int kChannels = 2;
// Frames per hand-over to the device: small enough that a new sound is heard within a
// few milliseconds of its start, large enough that the audio thread sleeps between.
constexpr int kBlockFrames = 512;
// The stream is closed after this long without sound.
constexpr int kIdleCloseMs = 1000;
// After a failed open the next try waits this long: looking for a server that is not
// there costs time that every effect of an animation would otherwise pay.
constexpr int64_t kRetryOpenUs = 2'000'000;

int64_t NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

constexpr int64_t FramesToUs(int64_t frames) { return frames * 1'000'000 / kRate; }

// From handing a block to the device until it is heard: the server asks for the next
// block when the one before it starts to play.
constexpr int64_t kLatencyUs = FramesToUs(kBlockFrames);

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

}  // namespace

struct AudioOutput::Device {
  SDL_AudioDeviceID id = 0;
  int64_t failedAtUs = -1;  // when opening failed last
};

AudioOutput::AudioOutput() : device_(std::make_unique<Device>()) {
  idleTimer_.setSingleShot(true);
  QObject::connect(&idleTimer_, &QTimer::timeout, this, [this] { CloseIfIdle(); });
}

AudioOutput::~AudioOutput() { Close(); }

bool AudioOutput::Open() {
  // A device whose server went away reports itself stopped; start over with a new
  // connection, which also finds a restarted server.
  if (device_->id && SDL_GetAudioDeviceStatus(device_->id) != SDL_AUDIO_PLAYING) Close();
  if (device_->id) return true;
  if (device_->failedAtUs >= 0 && NowUs() - device_->failedAtUs < kRetryOpenUs) return false;
  device_->failedAtUs = NowUs();
  // The program handles its own termination signals.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The server holds little more than one block, so a late audio thread is heard as a
  // gap: let it run before ordinary work where the system allows.
  SDL_SetHint(SDL_HINT_THREAD_FORCE_REALTIME_TIME_CRITICAL, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec wanted{};
  wanted.freq = kRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kChannels;
  wanted.samples = kBlockFrames;
  wanted.callback = &AudioOutput::FeedCallback;
  wanted.userdata = this;
  // No changes allowed: SDL converts to the device's own format where that differs.
  device_->id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (!device_->id) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  device_->failedAtUs = -1;
  SDL_PauseAudioDevice(device_->id, 0);
  return true;
}

void AudioOutput::Close() {
  idleTimer_.stop();
  if (!device_->id) return;
  // Closing waits for the audio thread to finish.
  SDL_CloseAudioDevice(device_->id);
  device_->id = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Stop();
}

void AudioOutput::CloseIfIdle() {
  const int64_t remaining = RemainingMs();
  if (remaining > 0) {
    idleTimer_.start(static_cast<int>(remaining) + kIdleCloseMs);
    return;
  }
  Close();
}

bool AudioOutput::Start(const WavSound& sound) {
  auto samples = std::make_shared<const std::vector<int16_t>>(Convert(sound));
  if (!Open()) return false;
  std::shared_ptr<const std::vector<int16_t>> old;
  {
    std::lock_guard guard(lock_);
    old = std::exchange(samples_, std::move(samples));
    position_ = 0;
    endUs_ = -1;
    stopped_ = false;
  }
  idleTimer_.start(static_cast<int>(RemainingMs()) + kIdleCloseMs);
  return true;
}

void AudioOutput::Stop() {
  // The old samples are freed here, outside the lock and never under the audio thread.
  std::shared_ptr<const std::vector<int16_t>> old;
  std::lock_guard guard(lock_);
  old.swap(samples_);
  stopped_ = true;
}

void AudioOutput::FeedCallback(void* self, uint8_t* stream, int bytes) {
  static_cast<AudioOutput*>(self)->Feed(stream, bytes);
}

void AudioOutput::Feed(uint8_t* stream, int bytes) {
  auto* out = reinterpret_cast<int16_t*>(stream);
  const size_t wanted = static_cast<size_t>(bytes) / sizeof(int16_t);
  size_t copied = 0;
  {
    std::lock_guard guard(lock_);
    if (samples_ && !stopped_ && endUs_ < 0) {
      const std::vector<int16_t>& samples = *samples_;
      copied = std::min(wanted, samples.size() - position_);
      std::memcpy(out, samples.data() + position_, copied * sizeof(int16_t));
      position_ += copied;
      if (position_ == samples.size())
        endUs_ = NowUs() + kLatencyUs + FramesToUs(static_cast<int64_t>(copied / kChannels));
    }
  }
  std::memset(out + copied, 0, (wanted - copied) * sizeof(int16_t));
}

int64_t AudioOutput::RemainingUsLocked(int64_t nowUs) const {
  if (stopped_) return 0;
  if (endUs_ >= 0) return std::max<int64_t>(0, endUs_ - nowUs);
  const size_t left = samples_ ? samples_->size() - position_ : 0;
  return FramesToUs(static_cast<int64_t>(left / kChannels)) + kLatencyUs;
}

bool AudioOutput::Ended() const {
  std::lock_guard guard(lock_);
  return stopped_ || (endUs_ >= 0 && NowUs() >= endUs_);
}

int64_t AudioOutput::RemainingMs() const {
  std::lock_guard guard(lock_);
  return (RemainingUsLocked(NowUs()) + 999) / 1000;
}

}  // namespace rt
