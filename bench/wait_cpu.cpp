// CPU cost and deadline accuracy of an effect's 1000 ms wait on the real clock.
// The wait sits in the event loop until its deadline, so it should use almost no
// processor time (target: at most 3 % of one core) and end within 5 ms of its deadline.
#include <sys/resource.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "runtime/Files.h"
#include "settings/SettingsState.h"
#include "support/MainFunctions.h"

namespace {

constexpr int kRuns = 10;
constexpr float kWaitMs = 1000;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Run {
  double cpuPercent;
  double lateMs;
};

Run MeasureOne(const QString& effect) {
  const double cpuBefore = CpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  PlayWaveAndWait(effect, 0, kWaitMs);
  const double wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallBefore).count();
  return {(CpuSeconds() - cpuBefore) * 1000.0 / wallMs * 100.0, wallMs - kWaitMs};
}

void Report(const char* label, const QString& effect) {
  double worstCpu = 0, sumCpu = 0, worstLate = 0, sumLate = 0, earliest = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    const Run run = MeasureOne(effect);
    worstCpu = std::max(worstCpu, run.cpuPercent);
    sumCpu += run.cpuPercent;
    worstLate = std::max(worstLate, run.lateMs);
    earliest = std::min(earliest, run.lateMs);
    sumLate += run.lateMs;
  }
  std::printf("%-28s CPU %% of one core: mean %.2f, worst %.2f | end after deadline (ms): mean %.2f, "
              "min %.2f, max %.2f  (%d runs)\n",
              label, sumCpu / kRuns, worstCpu, sumLate / kRuns, earliest, worstLate, kRuns);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir programFolder;
  rt::SetAppPath(programFolder.path());
  SoundOn = EffectsOn = true;
  // The first playback opens the audio system; keep that out of the figures.
  PlayWaveAndWait("DelBalls", 0, 10);
  Report("effect \"DelBalls\", 1000 ms", "DelBalls");
  Report("pure wait, 1000 ms", "");
  return 0;
}
