// The settings file rewrites itself once per key: a full save with the speech
// statistics is 146 writes into the default file, and each read parses the file anew.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

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

void BM_ReadIniValueFromDefaultFile(benchmark::State& state) {
  QTemporaryDir dir;
  FreshDefaultFile(dir);
  for (auto _ : state) benchmark::DoNotOptimize(ReadIniValue(QStringLiteral("SPEECH"), QStringLiteral("PLAYED_32")));
}
BENCHMARK(BM_ReadIniValueFromDefaultFile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
