// What the sound output sounds like: a private sound server plays to a sink clocked like
// a sound card, whose output is read as it is rendered, and every figure is read off
// that. Onset is the delay from a play call to its sound; the end of a synchronous sound
// is its return against the heard end; dropouts are the server's own underrun reports
// and breaks in a tone that never falls silent. Also the server's processor time while
// sound plays, the program's idle ticks, and the first sound after a quiet while.
// Run: build/bench/sound_output [--load] (needs pulseaudio; starts and stops its own).
//   --load   one busy loop per processor runs beside the narration and the tone.
//   --null   null sinks instead: how late a sound ends after pauses of play, on a sink
//            that renders ahead while nothing plays and on one the server suspends.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <numeric>
#include <thread>

#include "../tests/SoundServer.h"
#include "../tests/WavTestFiles.h"
#include "runtime/Events.h"
#include "runtime/Files.h"
#include "runtime/SoundDevice.h"
#include "runtime/WavFile.h"
#include "settings/SettingsState.h"
#include "support/MainFunctions.h"

namespace {

using soundserver::NowMs;

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
  std::printf("%-46s found %zu/%zu  mean %7.1f  min %7.1f  max %7.1f ms\n", what, s.count, of, s.mean, s.min,
              s.max);
}

std::vector<int16_t> Opening(const QString& file) {
  const std::optional<rt::WavSound> sound = rt::LoadWav(file);
  if (!sound) return {};
  const auto* samples = reinterpret_cast<const int16_t*>(sound->samples.constData());
  std::vector<int16_t> all = soundserver::Resampled(samples, sound->samples.size() / 2, sound->sampleRate);
  all.resize(std::min<size_t>(all.size(), soundserver::Recording::kRate / 100));
  return all;
}

// A tone's opening matches a few of its periods early as well, so an onset may show a
// little before its call.
constexpr double kOnsetSlackMs = 5;

// Delay from each call to the first onset after it.
std::vector<double> Delays(const std::vector<double>& calls, const std::vector<double>& onsets) {
  std::vector<double> delays;
  for (double call : calls) {
    const auto it = std::find_if(onsets.begin(), onsets.end(), [&](double t) { return t >= call - kOnsetSlackMs; });
    if (it != onsets.end() && *it - call < 2500) delays.push_back(*it - call);
    if (qEnvironmentVariableIsSet("SOUND_BENCH_VERBOSE"))
      std::printf("  call at %.1f: onset %+.1f\n", call, it != onsets.end() ? *it - call : -1.0);
  }
  return delays;
}

// Processor time of this process in clock ticks, without the thread that reads the sink.
long Ticks() {
  long ticks = 0;
  for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile stat("/proc/self/task/" + task + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1) == soundserver::kReaderName) continue;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() > 12) ticks += fields[11].toLong() + fields[12].toLong();
  }
  return ticks;
}

// One busy loop per processor at ordinary priority, while it exists.
class Load {
 public:
  explicit Load(bool on) {
    if (!on) return;
    for (unsigned i = 0; i < std::thread::hardware_concurrency(); ++i) {
      loops_.emplace_back([this] {
        while (!stop_.load(std::memory_order_relaxed)) {
        }
      });
    }
  }
  ~Load() {
    stop_ = true;
    for (std::thread& loop : loops_) loop.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> loops_;
};

// Processor time this process has used, in ms, without the thread that reads the sink.
double CpuMs() {
  double ns = 0;
  for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile comm("/proc/self/task/" + task + "/comm");
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == soundserver::kReaderName) continue;
    QFile stat("/proc/self/task/" + task + "/schedstat");
    if (stat.open(QIODevice::ReadOnly)) ns += stat.readAll().split(' ').value(0).toDouble();
  }
  return ns / 1e6;
}

// On null sinks, which have no clock a listener shares: how late a synchronous tone
// ends (its return minus its call and its length) after pauses as long as a child
// thinks between moves, and what the program costs meanwhile.
int NullSinkRun(rt::SoundDevice& device, const QString& tone, int toneMs) {
  for (const auto& [sink, name] : {std::pair{soundserver::Sink::Null, "null sink"},
                                   std::pair{soundserver::Sink::SuspendingNull, "null sink suspended when idle"}}) {
    soundserver::Server server(sink);
    if (!server.Ok()) {
      std::printf("no %s: %s\n", name, server.Why().c_str());
      return 1;
    }
    server.PointThisProcessHere();
    // The first pause comes before the first sound: the output connects after it.
    bool first = true;
    for (const int pauseS : {6, 1, 3, 10, 30, 60}) {
      const double cpuBefore = CpuMs();
      rt::WaitMs(2500);
      const double cpuSounding = CpuMs() - cpuBefore;
      const long ticksBefore = Ticks();
      rt::WaitMs(pauseS * 1000 - 2500);
      const long idleTicks = Ticks() - ticksBefore;
      const double call = NowMs();
      device.Play(tone, rt::PlayMode::Sync);
      std::printf("%-30s %-16s after %2d s: late by %6.1f ms; program CPU %5.1f ms in the first 2.5 s, then %ld ticks\n",
                  name, first ? "(first sound)" : "", pauseS, NowMs() - call - toneMs, cpuSounding, idleTicks);
      first = false;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const bool loaded = QCoreApplication::arguments().contains("--load");
  rt::SetAppPath(QDir(QCoreApplication::applicationDirPath() + "/../quonk-tirrel").absolutePath());
  SoundOn = EffectsOn = true;
  QTemporaryDir dir;
  const QString burst = dir.filePath("burst.wav");
  const QString tone = dir.filePath("tone.wav");
  const QString longTone = dir.filePath("long.wav");
  testwav::WriteTone(burst, 30, 1000);
  testwav::WriteTone(tone, 400, 440);
  testwav::WriteTone(longTone, 10000, 440);
  const QString setball = rt::AppPath() + "/sounds/setball.wav";
  rt::SoundDevice& device = rt::CurrentSoundDevice();
  if (QCoreApplication::arguments().contains("--null")) return NullSinkRun(device, tone, 400);

  soundserver::Server server(soundserver::Sink::Pipe, {}, true);
  if (!server.Ok() || !server.WaitUntilHearing()) {
    std::printf("no pipe sink to listen to: %s\n", server.Why().c_str());
    return 1;
  }
  server.PointThisProcessHere();

  // First sound: the output connects.
  std::vector<double> coldCalls, warmCalls, dealCalls, syncCalls, syncReturns, quietCalls;
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
  // Sounds seconds apart, as in a game.
  for (int i = 0; i < 3; ++i) {
    rt::WaitMs(3000);
    quietCalls.push_back(NowMs());
    device.Play(burst, rt::PlayMode::Async);
  }
  rt::WaitMs(300);

  soundserver::Recording heard = server.Heard();
  const std::vector<double> burstOnsets = soundserver::FindOnsets(heard, Opening(burst));
  Print("onset, first sound (output connects)", Summary(Delays(coldCalls, burstOnsets)), coldCalls.size());
  Print("onset, 30 ms bursts 50 ms apart", Summary(Delays(warmCalls, burstOnsets)), warmCalls.size());
  Print("onset, \"setball\" 50 ms apart (deal)",
        Summary(Delays(dealCalls, soundserver::FindOnsets(heard, Opening(setball)))), dealCalls.size());
  std::vector<double> endErrors;
  for (size_t i = 0; i < syncCalls.size(); ++i) {
    if (const auto end = soundserver::LastSoundEnd(heard, syncCalls[i], syncReturns[i] + 100))
      endErrors.push_back(syncReturns[i] - *end);
  }
  Print("sync 400 ms tone: return minus heard end", Summary(endErrors), syncCalls.size());
  Print("onset, a sound after 3 s of quiet", Summary(Delays(quietCalls, burstOnsets)), quietCalls.size());

  // Idle: the program left alone for a minute once its stream has paused, then a sound.
  rt::WaitMs(3000);
  const long ticksBefore = Ticks();
  rt::WaitMs(60000);
  const long idleTicks = Ticks() - ticksBefore;
  const int streams = server.Streams();
  const double afterIdle = NowMs();
  device.Play(burst, rt::PlayMode::Async);
  rt::WaitMs(300);
  const std::vector<double> idleOnset = Delays({afterIdle}, soundserver::FindOnsets(server.Heard(), Opening(burst)));
  std::printf("%-46s %ld ticks, %d streams open; then onset %.1f ms\n", "idle 60 s from 3 s after a sound", idleTicks,
              streams, idleOnset.empty() ? -1.0 : idleOnset.front());

  // A deal, a long tone, then the tutorial's narration in a row: the server's processor
  // time and every dropout.
  {
    Load load(loaded);
    const int dealBefore = server.Underruns();
    for (int i = 0; i < 60; ++i) PlayWaveAndWait("setball", 0, 50);
    device.Play(tone, rt::PlayMode::Sync);
    std::printf("%-46s %d underruns%s\n", "60 \"setball\" 50 ms apart, then a sync tone", server.Underruns() - dealBefore,
                loaded ? " (busy loops on every processor)" : "");
    const int underrunsBefore = server.Underruns();
    const long serverBefore = server.CpuTicks();
    const double call = NowMs();
    device.Play(longTone, rt::PlayMode::Sync);
    const double returned = NowMs();
    const long serverTicks = server.CpuTicks() - serverBefore;
    heard = server.Heard();
    const std::vector<double> onsets = soundserver::FindOnsets(heard, Opening(longTone));
    const auto onset = std::find_if(onsets.begin(), onsets.end(), [&](double t) { return t >= call - kOnsetSlackMs; });
    const double start = onset == onsets.end() ? call : *onset;
    std::printf("%-46s %.2f %% of a core; %d underruns, %d gaps%s\n", "10 s tone: server CPU",
                serverTicks * 100.0 / sysconf(_SC_CLK_TCK) / ((returned - call) / 1000),
                server.Underruns() - underrunsBefore, soundserver::Gaps(heard, start + 5, start + 9990),
                loaded ? " (busy loops on every processor)" : "");

    const QDir folder(rt::AppPath() + "/tutorial");
    const int before = server.Underruns();
    const long tutorialServerBefore = server.CpuTicks();
    double sumMs = 0, longestOverMs = 0;
    const double first = NowMs();
    // The recordings end in a little silence of their own, so each call is held against
    // its length: the onset and the heard end together.
    for (const QString& name : folder.entryList({"tut*.wav"}, QDir::Files, QDir::Name)) {
      const auto recording = rt::LoadWav(folder.filePath(name));
      const double lengthMs = recording ? recording->LengthMs() : 0;
      sumMs += lengthMs;
      const double at = NowMs();
      device.Play(folder.filePath(name), rt::PlayMode::Sync);
      longestOverMs = std::max(longestOverMs, NowMs() - at - lengthMs);
    }
    const double tookMs = NowMs() - first;
    std::printf("%-46s %d underruns; %.0f ms for %.0f ms of recordings; longest call over its length %.1f ms; "
                "server CPU %.2f %% of a core\n",
                "tutorial narration in a row", server.Underruns() - before, tookMs, sumMs, longestOverMs,
                (server.CpuTicks() - tutorialServerBefore) * 100.0 / sysconf(_SC_CLK_TCK) / (tookMs / 1000));
  }

  // The server goes away while a sound plays, and comes back.
  device.Play(tone, rt::PlayMode::Async);
  rt::WaitMs(100);
  server.Restart();
  std::vector<double> restartCalls;
  for (int i = 0; i < 3; ++i) {
    restartCalls.push_back(NowMs());
    device.Play(burst, rt::PlayMode::Async);
    rt::WaitMs(300);
  }
  Print("onset after the server restarted",
        Summary(Delays(restartCalls, soundserver::FindOnsets(server.Heard(), Opening(burst)))), restartCalls.size());

  // No server at all: silent, the length kept, and the play calls stay cheap.
  server.Kill();
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
  std::printf("%-46s slowest call %.1f ms, 400 ms sync lasted %.1f ms\n", "no server", slowestCallMs,
              NowMs() - syncBefore);
  return 0;
}
