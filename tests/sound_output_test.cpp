// The system sound output as a listener hears it: each test starts a private
// PulseAudio daemon with a null sink and records its monitor. These tests run on the
// real clock because what they check is real time at the speaker.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <random>
#include <string>

#include "PulseNullSink.h"
#include "WavTestFiles.h"
#include "runtime/Clock.h"
#include "runtime/Events.h"
#include "runtime/SoundDevice.h"

// The PulseAudio client library, loaded by the sound output at run time, keeps a few
// small allocations of its own for the life of the process; a leak check under the
// sanitizers leaves them out (a hook the leak checker looks for by name).
extern "C" const char* __lsan_default_suppressions() { return "leak:libpulse.so\n"; }

namespace {

using pulsetest::NowMs;

constexpr double kMaxOnsetMs = 30;
constexpr double kMaxEndErrorMs = 20;

std::vector<int16_t> Opening(const std::vector<int16_t>& tone) {
  std::vector<int16_t> opening = pulsetest::Resampled(tone.data(), tone.size(), 22050);
  opening.resize(pulsetest::NullSink::kRate / 100);
  return opening;
}

class SoundOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetClock(nullptr);
    sink_ = std::make_unique<pulsetest::NullSink>();
    if (!sink_->Ok()) GTEST_SKIP() << "no PulseAudio null sink to listen to: " << sink_->Why();
    recorder_ = std::make_unique<pulsetest::MonitorRecorder>();
    if (!recorder_->WaitUntilRecording()) GTEST_SKIP() << "parec records nothing from the null sink";
    click_ = dir_.filePath("click.wav");
    tone_ = dir_.filePath("tone.wav");
    testwav::WriteTone(click_, kClickMs, 1000);
    testwav::WriteTone(tone_, kToneMs, 440);
  }
  void TearDown() override {
    device_.reset();  // the output closes while the server still runs
    recorder_.reset();
    sink_.reset();
  }

  static constexpr int kClickMs = 30;
  static constexpr int kToneMs = 300;
  std::unique_ptr<pulsetest::NullSink> sink_;
  std::unique_ptr<pulsetest::MonitorRecorder> recorder_;
  std::unique_ptr<rt::SystemSoundDevice> device_ = std::make_unique<rt::SystemSoundDevice>();
  QTemporaryDir dir_;
  QString click_, tone_;
};

// Each call's sound is heard within maxMs of it; what is not goes into `faults`.
void CheckPromptOnsets(const std::vector<double>& calls, const std::vector<double>& onsets, const char* what,
                       double maxMs, std::vector<std::string>& faults) {
  for (size_t i = 0; i < calls.size(); ++i) {
    const auto heard = std::find_if(onsets.begin(), onsets.end(), [&](double t) { return t >= calls[i] - 5; });
    if (heard == onsets.end())
      faults.push_back(std::string(what) + " " + std::to_string(i) + " never heard");
    else if (*heard - calls[i] > maxMs)
      faults.push_back(std::string(what) + " " + std::to_string(i) + " heard " + std::to_string(*heard - calls[i]) +
                       " ms after its call");
  }
}

TEST_F(SoundOutput, EffectsFiftyMsApartAreAllHeardPromptlyAndSyncSoundsEndOnTime) {
  // One round: the first sound opens the stream (slower, but it must still come soon),
  // twenty clicks 50 ms apart, three synchronous tones.
  const auto round = [&] {
    std::vector<std::string> faults;
    const std::vector<double> opening{NowMs()};
    device_->Play(click_, rt::PlayMode::Async);
    rt::WaitMs(100);
    std::vector<double> clicks, syncCalls, syncReturns;
    for (int i = 0; i < 20; ++i) {
      clicks.push_back(NowMs());
      device_->Play(click_, rt::PlayMode::Async);
      rt::WaitMs(50);
    }
    for (int i = 0; i < 3; ++i) {
      syncCalls.push_back(NowMs());
      device_->Play(tone_, rt::PlayMode::Sync);
      syncReturns.push_back(NowMs());
      rt::WaitMs(100);
    }
    const pulsetest::Recording heard = recorder_->Snapshot();
    const std::vector<double> clickOnsets =
        pulsetest::FindOnsets(heard, Opening(testwav::ToneSamples(kClickMs, 1000)));
    CheckPromptOnsets(opening, clickOnsets, "first click", 100, faults);
    CheckPromptOnsets(clicks, clickOnsets, "click", kMaxOnsetMs, faults);
    CheckPromptOnsets(syncCalls, pulsetest::FindOnsets(heard, Opening(testwav::ToneSamples(kToneMs, 440))), "tone",
                      kMaxOnsetMs, faults);
    for (size_t i = 0; i < syncCalls.size(); ++i) {
      const std::optional<double> end = pulsetest::LastSoundEnd(heard, syncCalls[i], syncReturns[i] + 80);
      if (!end)
        faults.push_back("tone " + std::to_string(i) + " never heard");
      else if (std::abs(syncReturns[i] - *end) > kMaxEndErrorMs)
        faults.push_back("tone " + std::to_string(i) + " returned " + std::to_string(syncReturns[i] - *end) +
                         " ms after its end was heard");
    }
    return faults;
  };
  // A fault of the output shows in every round; a moment in which the machine gave the
  // audio thread no time shows in one. So one clean round of three passes.
  std::vector<std::string> faults;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) rt::WaitMs(1500);  // the stream closes, so the next round opens it again
    faults = round();
    if (faults.empty()) return;
  }
  for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

TEST_F(SoundOutput, ClosesWhenIdleAndFindsARestartedServerOnTheNextPlay) {
  device_->Play(click_, rt::PlayMode::Sync);
  rt::WaitMs(1200);
  FILE* inputs = popen("pactl list short sink-inputs 2>/dev/null | wc -l", "r");
  int open = -1;
  ASSERT_TRUE(inputs);
  EXPECT_EQ(std::fscanf(inputs, "%d", &open), 1);
  pclose(inputs);
  EXPECT_EQ(open, 0) << "the stream stays open while nothing plays";

  // Lost while the stream plays, then back.
  device_->Play(tone_, rt::PlayMode::Async);
  rt::WaitMs(50);
  recorder_.reset();
  ASSERT_TRUE(sink_->Restart());
  recorder_ = std::make_unique<pulsetest::MonitorRecorder>();
  ASSERT_TRUE(recorder_->WaitUntilRecording());
  const double call = NowMs();
  device_->Play(click_, rt::PlayMode::Sync);
  const std::vector<double> onsets =
      pulsetest::FindOnsets(recorder_->Snapshot(), Opening(testwav::ToneSamples(kClickMs, 1000)));
  ASSERT_FALSE(onsets.empty()) << "silent after the server restarted";
  EXPECT_LT(onsets.front() - call, 2000);
}

TEST_F(SoundOutput, PlaysStoppingEachOtherAtRandomMomentsNeitherCrashNorHang) {
  // Sounds of 3 to 40 ms, synchronous and asynchronous mixed; an asynchronous one is
  // stopped by the next after 0 to 5 ms, often while the audio thread reads it.
  std::vector<QString> files;
  for (int ms : {3, 7, 12, 40}) {
    files.push_back(dir_.filePath(QStringLiteral("s%1.wav").arg(ms)));
    testwav::WriteTone(files.back(), ms, 600 + ms * 10);
  }
  files.push_back(dir_.filePath("missing.wav"));  // the default beep
  std::mt19937 random(20070423);
  double longestSyncOverMs = 0;
  for (int i = 0; i < 2000; ++i) {
    const bool sync = random() % 4 == 0;
    const size_t which = sync ? random() % 2 : random() % files.size();
    const double before = NowMs();
    device_->Play(files[which], sync ? rt::PlayMode::Sync : rt::PlayMode::Async);
    if (sync) {
      const double lengthMs = which == 0 ? 3 : 7;
      longestSyncOverMs = std::max(longestSyncOverMs, NowMs() - before - lengthMs);
    } else {
      rt::WaitMs(random() % 6);
    }
    // Now and then the output goes away under a playing sound.
    if (i % 500 == 499) device_ = std::make_unique<rt::SystemSoundDevice>();
  }
  // A hang would be seconds; a busy machine may delay a return by a scheduling slice.
  EXPECT_LT(longestSyncOverMs, 500);
}

TEST_F(SoundOutput, TheProgramMayEndInTheMiddleOfASound) {
  // The child is a copy of this process and plays to the same server; the recorder's
  // thread is not copied, so it stops first.
  recorder_.reset();
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        rt::CurrentSoundDevice().Play(tone_, rt::PlayMode::Async);
        rt::WaitMs(30);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
