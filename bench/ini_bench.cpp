// A whole save with the speech statistics (146 keys) reads the settings file once and
// writes it once, into the default file and into a hand-edited file of 5 MB; each read
// of one key parses the file anew. Targets: 5 ms and 100 ms for the two saves.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "runtime/Profile.h"

#include "runtime/Files.h"
#include "settings/DefaultSettings.h"
#include "settings/IniHandler.h"
#include "settings/Settings.h"
#include "settings/SettingsState.h"

namespace {

class BenchHost : public SettingsHost {
 public:
  int16_t GameRows() const override { return 12; }
  void SetGameRows(int16_t) override {}
  int16_t GameColumns() const override { return 11; }
  void SetGameColumns(int16_t) override {}
  int16_t MaxBallsOnStart() const override { return 8; }
  void SetMaxBallsOnStart(int16_t) override {}
  float PlayTimeToday() const override { return 754.25f; }
  void SetPlayTimeToday(float) override {}
  float WindowTop() const override { return 1200; }
  void SetWindowTop(float) override {}
  float WindowLeft() const override { return 2400; }
  void SetWindowLeft(float) override {}
  void SetTimeLeftVisible(bool) override {}
  void CheckSoundMenu(bool) override {}
  void SetBusyPointer(bool) override {}
  QString SpeechPath() const override { return QStringLiteral("\\sounds\\speech\\"); }
  SpeechStatistics SpeechEntry(int token) const override {
    return {int16_t(token % 9 + 1), 70, false, QStringLiteral("3,1,4")};
  }
  void SetPlayed(int, const QString&) override {}
};

void FreshDefaultFile(const QTemporaryDir& dir) {
  IniFile = dir.path() + QStringLiteral("/QT.Ini");
  QFile::remove(IniFile);
  WriteDefaultSettings();
}

void BM_FullSaveIntoDefaultFile(benchmark::State& state) {
  QTemporaryDir dir;
  BenchHost host;
  CommentsOn = true;
  for (auto _ : state) {
    state.PauseTiming();
    FreshDefaultFile(dir);
    state.ResumeTiming();
    SaveSettings(host);
  }
  state.counters["keys"] = 146;
}
BENCHMARK(BM_FullSaveIntoDefaultFile)->Unit(benchmark::kMillisecond);

// The default file with 5 MB of a parent's comments in its speech section.
void FreshLargeFile(const QTemporaryDir& dir) {
  FreshDefaultFile(dir);
  QByteArray text;
  QFile file(IniFile);
  file.open(QIODevice::ReadOnly);
  text = file.readAll();
  file.close();
  QByteArray comments;
  while (comments.size() < 5 * 1024 * 1024)
    comments += "; notes on the recordings, line " + QByteArray::number(comments.size()) + "\r\n";
  text.replace("[SPEECH]\r\n", "[SPEECH]\r\n" + comments);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(text);
}

void BM_FullSaveIntoLargeFile(benchmark::State& state) {
  QTemporaryDir dir;
  BenchHost host;
  CommentsOn = true;
  for (auto _ : state) {
    state.PauseTiming();
    FreshLargeFile(dir);
    state.ResumeTiming();
    SaveSettings(host);
  }
  state.counters["keys"] = 146;
}
BENCHMARK(BM_FullSaveIntoLargeFile)->Unit(benchmark::kMillisecond);

void BM_ReadIniValueFromDefaultFile(benchmark::State& state) {
  QTemporaryDir dir;
  FreshDefaultFile(dir);
  for (auto _ : state) benchmark::DoNotOptimize(ReadIniValue(QStringLiteral("SPEECH"), QStringLiteral("PLAYED_32")));
}
BENCHMARK(BM_ReadIniValueFromDefaultFile)->Unit(benchmark::kMicrosecond);

// The start reads about 130 keys one by one, most of them behind the comments.
void BM_ReadIniValueFromLargeFile(benchmark::State& state) {
  QTemporaryDir dir;
  FreshLargeFile(dir);
  for (auto _ : state) benchmark::DoNotOptimize(ReadIniValue(QStringLiteral("SPEECH"), QStringLiteral("PLAYED_32")));
}
BENCHMARK(BM_ReadIniValueFromLargeFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
