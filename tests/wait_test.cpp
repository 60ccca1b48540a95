#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include "RecordingSoundDevice.h"
#include "WavTestFiles.h"
#include "runtime/Clock.h"
#include "runtime/Events.h"
#include "runtime/Files.h"
#include "settings/SettingsState.h"
#include "support/MainFunctions.h"

namespace {

struct EffectWaits : ::testing::Test {
  rt::VirtualClock clock{QDate(2007, 4, 23), 36000.0};
  rt::RecordingSoundDevice device;
  QTemporaryDir dir;

  void SetUp() override {
    rt::SetClock(&clock);
    rt::SetSoundDevice(&device);
    rt::SetAppPath(dir.path());
    for (const char* folder : {"sounds/speech", "tutorial"}) QDir(dir.path()).mkpath(folder);
    testwav::Write(dir.filePath("sounds/DelBalls.wav"), 300);
    testwav::Write(dir.filePath("sounds/speech/ssta0001.wav"), 300);
    testwav::Write(dir.filePath("tutorial/tut01.wav"), 300);
  }
  void TearDown() override {
    rt::SetAppPath({});
    rt::SetSoundDevice(nullptr);
    rt::SetClock(nullptr);
  }
};

TEST_F(EffectWaits, SwitchesGateNamedSoundsButNeverPureWaits) {
  struct Case {
    const char* name;
    bool soundOn, effectsOn, learnMode, commentsOn;
    QString sound;
    uint8_t kind;
    QString played;  // file below the program folder, empty when nothing plays
    int64_t waitedMs;
  };
  const Case cases[] = {
      {"effect plays, then waits", true, true, false, false, "Delballs", 0, "sounds/DelBalls.wav", 110},
      {"effects off: no sound, no wait", true, false, true, true, "DelBalls", 0, "", 0},
      {"effects off: a pure wait still waits", true, false, false, false, "", 0, "", 40},
      {"sound off: no sound, no wait", false, true, true, true, "DelBalls", 0, "", 0},
      {"sound off: a pure wait still waits", false, false, false, false, "", 0, "", 40},
      {"speech needs learn mode", true, true, false, true, "ssta0001", 1, "", 0},
      {"speech in learn mode", true, false, true, false, "ssta0001", 1, "sounds/speech/ssta0001.wav", 110},
      {"tutorial needs comments", true, true, true, false, "tut01", 2, "", 0},
      {"tutorial with comments", true, false, false, true, "tut01", 2, "tutorial/tut01.wav", 110},
      {"unknown kind plays nothing", true, true, true, true, "DelBalls", 3, "", 0},
      {"unknown kind: a pure wait still waits", true, true, true, true, "", 3, "", 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rt::RecordingSoundDevice log;
    rt::SetSoundDevice(&log);
    SoundOn = c.soundOn;
    EffectsOn = c.effectsOn;
    LearnMode = c.learnMode;
    CommentsOn = c.commentsOn;
    const int64_t start = clock.MonotonicMs();

    PlayWaveAndWait(c.sound, c.kind, c.sound.isEmpty() ? 40 : 110);

    EXPECT_EQ(clock.MonotonicMs() - start, c.waitedMs);
    EXPECT_FALSE(SoundBusy);
    if (c.played.isEmpty()) {
      EXPECT_TRUE(log.Log().empty());
      continue;
    }
    ASSERT_EQ(log.Log().size(), 1u);
    EXPECT_EQ(log.Log()[0].file, dir.filePath(c.played));
    EXPECT_EQ(log.Log()[0].mode, rt::PlayMode::Async);
    EXPECT_EQ(log.Log()[0].startMs, start);
  }
}

TEST_F(EffectWaits, RequestsFromHandlersDuringAWaitAreDropped) {
  SoundOn = EffectsOn = true;
  std::vector<bool> busySeen;
  const auto request = [&] {
    busySeen.push_back(SoundBusy);
    PlayWaveAndWait("DelBalls", 0, 200);
    PlayWaveAndWait("", 0, 300);
  };
  QTimer::singleShot(0, request);
  rt::ClockTimer* tick = nullptr;
  rt::ClockTimer once([&] {
    tick->SetEnabled(false);
    request();
  });
  tick = &once;
  once.SetInterval(50);

  PlayWaveAndWait("DelBalls", 0, 110);

  EXPECT_EQ(busySeen, std::vector<bool>({true, true}));
  EXPECT_EQ(clock.MonotonicMs(), 110);
  EXPECT_EQ(device.Log().size(), 1u);
  EXPECT_FALSE(SoundBusy);
}

TEST_F(EffectWaits, AWaitAcrossMidnightLastsItsFullLength) {
  clock.Set(QDate(2007, 4, 23), 86399.9);
  PlayWaveAndWait("", 0, 720);
  EXPECT_NEAR(clock.SecondsSinceMidnight(), 0.62, 1e-9);
  EXPECT_EQ(clock.Today(), QDate(2007, 4, 24));
  EXPECT_EQ(clock.MonotonicMs(), 720);
}

}  // namespace
