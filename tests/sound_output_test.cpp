// The system sound output as a listener hears it: each test starts a private sound
// server of its own whose sink is clocked like a sound card and read as it renders, so
// the tests may run beside others. They run on the real clock because what they check
// is real time at the speaker.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <QTemporaryDir>
#include <atomic>
#include <cmath>
#include <random>
#include <string>
#include <thread>

#include "SoundServer.h"
#include "WavTestFiles.h"
#include "runtime/Clock.h"
#include "runtime/Events.h"
#include "runtime/SoundDevice.h"

// The sound server's client library, loaded by the sound output at run time, keeps a
// few small allocations of its own for the life of the process; a leak check under the
// sanitizers leaves them out (a hook the leak checker looks for by name).
extern "C" const char* __lsan_default_suppressions() { return "leak:libpulse.so\n"; }

namespace {

using soundserver::NowMs;

constexpr double kMaxOnsetMs = 30;
constexpr double kMaxEndErrorMs = 30;

std::vector<int16_t> Opening(const std::vector<int16_t>& tone) {
  std::vector<int16_t> opening = soundserver::Resampled(tone.data(), tone.size(), 22050);
  opening.resize(soundserver::Recording::kRate / 100);
  return opening;
}

class SoundOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetClock(nullptr);
    if (!server_.Ok() || !server_.WaitUntilHearing())
      GTEST_SKIP() << "no private sound server to listen to: " << server_.Why();
    server_.PointThisProcessHere();
    click_ = dir_.filePath("click.wav");
    tone_ = dir_.filePath("tone.wav");
    testwav::WriteTone(click_, kClickMs, 1000);
    testwav::WriteTone(tone_, kToneMs, 440);
  }
  void TearDown() override {
    device_.reset();  // the output closes while the server still runs
  }

  static constexpr int kClickMs = 30;
  static constexpr int kToneMs = 300;
  soundserver::Server server_{soundserver::Sink::Pipe, {}, true};
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
  // One round: the first sound connects (slower, but it must still come soon), twenty
  // clicks 50 ms apart, three synchronous tones, and a click after a quiet while.
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
    rt::WaitMs(2500);
    clicks.push_back(NowMs());
    device_->Play(click_, rt::PlayMode::Async);
    rt::WaitMs(100);
    const soundserver::Recording heard = server_.Heard();
    const std::vector<double> clickOnsets =
        soundserver::FindOnsets(heard, Opening(testwav::ToneSamples(kClickMs, 1000)));
    CheckPromptOnsets(opening, clickOnsets, "first click", 100, faults);
    CheckPromptOnsets(clicks, clickOnsets, "click", kMaxOnsetMs, faults);
    CheckPromptOnsets(syncCalls, soundserver::FindOnsets(heard, Opening(testwav::ToneSamples(kToneMs, 440))),
                      "tone", kMaxOnsetMs, faults);
    for (size_t i = 0; i < syncCalls.size(); ++i) {
      const std::optional<double> end = soundserver::LastSoundEnd(heard, syncCalls[i], syncReturns[i] + 80);
      if (!end)
        faults.push_back("tone " + std::to_string(i) + " never heard");
      else if (std::abs(syncReturns[i] - *end) > kMaxEndErrorMs)
        faults.push_back("tone " + std::to_string(i) + " returned " + std::to_string(syncReturns[i] - *end) +
                         " ms after its end was heard");
    }
    return faults;
  };
  // A fault of the output shows in every round; a moment in which the machine gave the
  // output no time shows in one. So one clean round of three passes.
  std::vector<std::string> faults;
  for (int attempt = 0; attempt < 3; ++attempt) {
    faults = round();
    if (faults.empty()) return;
  }
  for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

TEST_F(SoundOutput, ADealAndANarrationHoldWhileEveryProcessorIsBusy) {
  // Clicks 50 ms apart, each in place of the one before, then a synchronous recording
  // that never falls silent, with a busy loop at the program's own priority on every
  // processor the program may use: the stream must never run dry, neither between two
  // sounds nor within one. The program is kept to two processors, so that the tests
  // beside it keep the others.
  cpu_set_t allowed;
  ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
  cpu_set_t two;
  CPU_ZERO(&two);
  for (int cpu = 0; cpu < CPU_SETSIZE && CPU_COUNT(&two) < 2; ++cpu) {
    if (CPU_ISSET(cpu, &allowed)) CPU_SET(cpu, &two);
  }
  // This thread and what it starts from now on: the sound library's thread, the loops.
  ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof two, &two), 0);
  const QString narration = dir_.filePath("narration.wav");
  testwav::WriteTone(narration, 2000, 330);
  device_->Play(click_, rt::PlayMode::Sync);  // connected before the load starts
  const int underrunsBefore = server_.Underruns();
  std::atomic<bool> stop{false};
  std::vector<std::thread> loops;
  for (int i = 0; i < CPU_COUNT(&two); ++i)
    loops.emplace_back([&] {
      while (!stop.load(std::memory_order_relaxed)) {
      }
    });
  for (int i = 0; i < 40; ++i) {
    device_->Play(click_, rt::PlayMode::Async);
    rt::WaitMs(50);
  }
  const double call = NowMs();
  device_->Play(narration, rt::PlayMode::Sync);
  stop = true;
  for (std::thread& loop : loops) loop.join();
  pthread_setaffinity_np(pthread_self(), sizeof allowed, &allowed);
  const soundserver::Recording heard = server_.Heard();
  const std::vector<double> onsets = soundserver::FindOnsets(heard, Opening(testwav::ToneSamples(2000, 330)));
  const auto onset = std::find_if(onsets.begin(), onsets.end(), [&](double t) { return t >= call - 5; });
  ASSERT_NE(onset, onsets.end()) << "the narration was never heard";
  EXPECT_EQ(server_.Underruns() - underrunsBefore, 0) << "the stream ran dry";
  EXPECT_EQ(soundserver::Gaps(heard, *onset + 10, *onset + 1990), 0) << "breaks in the narration";
}

TEST_F(SoundOutput, AnIdleStreamPausesAndARestartedServerIsFoundOnTheNextPlay) {
  device_->Play(click_, rt::PlayMode::Sync);
  rt::WaitMs(2500);
  const std::string command = "PULSE_SERVER=" + server_.Address() + " pactl list sink-inputs 2>/dev/null";
  FILE* inputs = popen(command.c_str(), "r");
  ASSERT_TRUE(inputs);
  std::string listing;
  for (char line[256]; std::fgets(line, sizeof line, inputs);) listing += line;
  pclose(inputs);
  EXPECT_NE(listing.find("Corked: yes"), std::string::npos) << "the stream still plays while nothing sounds:\n"
                                                            << listing;

  // Lost while the stream plays, then back.
  device_->Play(tone_, rt::PlayMode::Async);
  rt::WaitMs(50);
  ASSERT_TRUE(server_.Restart());
  const double call = NowMs();
  device_->Play(click_, rt::PlayMode::Sync);
  rt::WaitMs(100);
  const std::vector<double> onsets =
      soundserver::FindOnsets(server_.Heard(), Opening(testwav::ToneSamples(kClickMs, 1000)));
  const auto heard = std::find_if(onsets.begin(), onsets.end(), [&](double t) { return t >= call - 5; });
  ASSERT_NE(heard, onsets.end()) << "silent after the server restarted";
  EXPECT_LT(*heard - call, 100);
}

TEST_F(SoundOutput, PlaysStoppingEachOtherAtRandomMomentsNeitherCrashNorHang) {
  // Sounds of 0 to 40 ms, synchronous and asynchronous mixed; an asynchronous one is
  // stopped by the next after 0 to 5 ms, often while the library's thread reads it.
  const std::vector<int> lengthsMs{0, 3, 7, 12, 40};
  std::vector<QString> files;
  for (int ms : lengthsMs) {
    files.push_back(dir_.filePath(QStringLiteral("s%1.wav").arg(ms)));
    if (ms == 0) testwav::Write(files.back(), 0);  // a data chunk without frames
    else testwav::WriteTone(files.back(), ms, 600 + ms * 10);
  }
  files.push_back(dir_.filePath("missing.wav"));  // the default beep
  std::mt19937 random(20070423);
  double longestSyncOverMs = 0;
  for (int i = 0; i < 800; ++i) {
    const bool sync = random() % 4 == 0;
    const size_t which = sync ? random() % 3 : random() % files.size();
    const double before = NowMs();
    device_->Play(files[which], sync ? rt::PlayMode::Sync : rt::PlayMode::Async);
    if (sync) {
      longestSyncOverMs = std::max(longestSyncOverMs, NowMs() - before - lengthsMs[which]);
    } else {
      rt::WaitMs(random() % 6);
    }
    // Now and then the output goes away under a playing sound.
    if (i % 200 == 199) device_ = std::make_unique<rt::SystemSoundDevice>();
  }
  // A hang would be seconds; a busy machine may delay a return by a scheduling slice.
  EXPECT_LT(longestSyncOverMs, 500);
}

TEST_F(SoundOutput, TheProgramMayEndInTheMiddleOfASound) {
  // The child is a copy of this process and plays to the same server.
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
