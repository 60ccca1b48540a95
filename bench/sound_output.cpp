// What the sound output sounds like: a private PulseAudio null sink is recorded while
// the program plays, and every figure is read off the recording. Onset is the delay
// from a play call to its sound in the recording; the end of a synchronous sound is
// its return against the recorded end. Also the processor time of an effect with its
// wait, the idle ticks, and the first sound after a restarted sound server.
// Run: build/bench/sound_output (needs pulseaudio and parec; starts and stops its own).
#include <sys/resource.h>
#include <sys/times.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <numeric>

#include "../tests/PulseNullSink.h"
#include "../tests/WavTestFiles.h"
#include "runtime/Events.h"
#include "runtime/Files.h"
#include "runtime/SoundDevice.h"
#include "runtime/WavFile.h"
#include "settings/SettingsState.h"
#include "support/MainFunctions.h"

namespace {

using pulsetest::NowMs;

struct Stats {
  double mean = 0, min = 0, max = 0;
  size_t count = 0;
};

Stats Summary(std::vector<double> values) {
  Stats s;
  s.count = values.size();
  if (values.empty()) return s;
  s.mean = std::accumulate(values.begin(), values.end(), 0.0) / values.size();
  s.min = *std::min_element(values.begin(), values.end());
  s.max = *std::max_element(values.begin(), values.end());
  return s;
}

void Print(const char* what, const Stats& s, size_t of) {
  std::printf("%-44s found %zu/%zu  mean %7.1f  min %7.1f  max %7.1f ms\n", what, s.count, of, s.mean, s.min,
              s.max);
}

std::vector<int16_t> Opening(const QString& file) {
  const std::optional<rt::WavSound> sound = rt::LoadWav(file);
  if (!sound) return {};
  const auto* samples = reinterpret_cast<const int16_t*>(sound->samples.constData());
  std::vector<int16_t> all = pulsetest::Resampled(samples, sound->samples.size() / 2, sound->sampleRate);
  all.resize(std::min<size_t>(all.size(), pulsetest::NullSink::kRate / 100));
  return all;
}

// Delay from each call to the first onset after it (and before the call after next).
std::vector<double> Delays(const std::vector<double>& calls, const std::vector<double>& onsets) {
  std::vector<double> delays;
  for (double call : calls) {
    const auto it = std::find_if(onsets.begin(), onsets.end(), [&](double t) { return t >= call - 2; });
    if (it != onsets.end() && *it - call < 150) delays.push_back(*it - call);
    if (qEnvironmentVariableIsSet("SOUND_BENCH_VERBOSE"))
      std::printf("  call at %.1f: onset %+.1f\n", call, it != onsets.end() ? *it - call : -1.0);
  }
  return delays;
}

long Ticks() {
  tms t{};
  times(&t);
  return t.tms_utime + t.tms_stime;
}

double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

int SinkInputs() {
  FILE* p = popen("pactl list short sink-inputs 2>/dev/null | wc -l", "r");
  int n = -1;
  if (p) {
    if (std::fscanf(p, "%d", &n) != 1) n = -1;
    pclose(p);
  }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  pulsetest::NullSink sink;
  if (!sink.Ok()) {
    std::printf("no PulseAudio null sink: %s\n", sink.Why().c_str());
    return 1;
  }
  QApplication app(argc, argv);
  auto recorder = std::make_unique<pulsetest::MonitorRecorder>();
  if (!recorder->WaitUntilRecording()) {
    std::printf("parec records nothing\n");
    return 1;
  }
  rt::SetAppPath(QDir(QCoreApplication::applicationDirPath() + "/../quonk-tirrel").absolutePath());
  SoundOn = EffectsOn = true;
  QTemporaryDir dir;
  const QString burst = dir.filePath("burst.wav");
  const QString tone = dir.filePath("tone.wav");
  testwav::WriteTone(burst, 30, 1000);
  testwav::WriteTone(tone, 400, 440);
  const QString setball = rt::AppPath() + "/sounds/setball.wav";
  rt::SoundDevice& device = rt::CurrentSoundDevice();

  // With --tutorial: every narration of the tutorial, synchronously in a row, against
  // the sum of the recordings' lengths.
  if (QCoreApplication::arguments().contains("--tutorial")) {
    const QDir folder(rt::AppPath() + "/tutorial");
    double sumMs = 0;
    const double before = NowMs();
    for (const QString& name : folder.entryList({"tut*.wav"}, QDir::Files, QDir::Name)) {
      const auto recording = rt::LoadWav(folder.filePath(name));
      const double lengthMs = recording ? recording->LengthMs() : 0;
      sumMs += lengthMs;
      const double call = NowMs();
      device.Play(folder.filePath(name), rt::PlayMode::Sync);
      if (qEnvironmentVariableIsSet("SOUND_BENCH_VERBOSE"))
        std::printf("  %s: %.0f ms, returned after %+.1f ms more\n", qPrintable(name), lengthMs, NowMs() - call - lengthMs);
    }
    const double tookMs = NowMs() - before;
    std::printf("%-44s %.0f ms for recordings of %.0f ms (%+.2f %%)\n", "tutorial narration in a row", tookMs, sumMs,
                (tookMs - sumMs) * 100 / sumMs);
    return 0;
  }

  // First sound: the stream opens.
  std::vector<double> coldCalls, warmCalls, dealCalls, syncCalls, syncReturns;
  coldCalls.push_back(NowMs());
  device.Play(burst, rt::PlayMode::Async);
  rt::WaitMs(300);
  for (int i = 0; i < 20; ++i) {
    warmCalls.push_back(NowMs());
    device.Play(burst, rt::PlayMode::Async);
    rt::WaitMs(50);
  }
  rt::WaitMs(200);
  for (int i = 0; i < 20; ++i) {
    dealCalls.push_back(NowMs());
    PlayWaveAndWait("setball", 0, 50);
  }
  rt::WaitMs(300);
  for (int i = 0; i < 10; ++i) {
    syncCalls.push_back(NowMs());
    device.Play(tone, rt::PlayMode::Sync);
    syncReturns.push_back(NowMs());
    rt::WaitMs(150);
  }
  // Cold again after the stream was closed for idleness.
  rt::WaitMs(1500);
  const int inputsIdle = SinkInputs();
  coldCalls.push_back(NowMs());
  device.Play(burst, rt::PlayMode::Async);
  rt::WaitMs(300);

  pulsetest::Recording heard = recorder->Snapshot();
  const std::vector<double> burstOnsets = pulsetest::FindOnsets(heard, Opening(burst));
  const std::vector<double> setballOnsets = pulsetest::FindOnsets(heard, Opening(setball));
  Print("onset, first sound (stream opens)", Summary(Delays(coldCalls, burstOnsets)), coldCalls.size());
  Print("onset, 30 ms bursts 50 ms apart", Summary(Delays(warmCalls, burstOnsets)), warmCalls.size());
  Print("onset, \"setball\" 50 ms apart (deal)", Summary(Delays(dealCalls, setballOnsets)), dealCalls.size());
  std::vector<double> endErrors;
  for (size_t i = 0; i < syncCalls.size(); ++i) {
    if (const auto end = pulsetest::LastSoundEnd(heard, syncCalls[i], syncReturns[i] + 100))
      endErrors.push_back(syncReturns[i] - *end);
  }
  Print("sync 400 ms tone: return minus recorded end", Summary(endErrors), syncCalls.size());
  std::printf("%-44s %d (stream closed after 1.5 s idle when 0)\n", "sink inputs after 1.5 s idle", inputsIdle);

  // Processor time of an effect with its wait; the recorder's thread is stopped so
  // that only the program's own time counts.
  recorder.reset();
  const double cpuBefore = CpuMs();
  const double wallBefore = NowMs();
  for (int i = 0; i < 20; ++i) PlayWaveAndWait("WrongBall", 0, 510);
  std::printf("%-44s %.2f %% of a core\n", "\"WrongBall\" with its 510 ms wait",
              (CpuMs() - cpuBefore) * 100.0 / (NowMs() - wallBefore));

  rt::WaitMs(1500);
  const long ticksBefore = Ticks();
  rt::WaitMs(10000);
  std::printf("%-44s %ld ticks\n", "idle over 10 s with a server", Ticks() - ticksBefore);

  // The server goes away while the stream is open, and comes back.
  device.Play(tone, rt::PlayMode::Async);
  rt::WaitMs(100);
  sink.Restart();
  recorder = std::make_unique<pulsetest::MonitorRecorder>();
  recorder->WaitUntilRecording();
  std::vector<double> restartCalls;
  for (int i = 0; i < 3; ++i) {
    restartCalls.push_back(NowMs());
    device.Play(burst, rt::PlayMode::Async);
    rt::WaitMs(300);
  }
  heard = recorder->Snapshot();
  Print("onset after the server restarted", Summary(Delays(restartCalls, pulsetest::FindOnsets(heard, Opening(burst)))),
        restartCalls.size());
  recorder.reset();

  // No server at all: silent, the length kept, and the play calls stay cheap.
  sink.Kill();
  rt::WaitMs(100);
  double slowestCallMs = 0;
  for (int i = 0; i < 10; ++i) {
    const double before = NowMs();
    device.Play(burst, rt::PlayMode::Async);
    slowestCallMs = std::max(slowestCallMs, NowMs() - before);
    rt::WaitMs(200);
  }
  const double syncBefore = NowMs();
  device.Play(tone, rt::PlayMode::Sync);
  std::printf("%-44s slowest call %.1f ms, 400 ms sync lasted %.1f ms\n", "no server", slowestCallMs,
              NowMs() - syncBefore);
  return 0;
}
