#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "RecordingSoundDevice.h"
#include "WavTestFiles.h"
#include "runtime/Clock.h"
#include "runtime/ErrorBox.h"
#include "runtime/MsgBox.h"
#include "runtime/RuntimeError.h"
#include "runtime/SoundDevice.h"
#include "runtime/WavFile.h"
#include "support/Sound.h"

namespace {

TEST(WavFile, ReadsPcmOfEveryCommonShape) {
  struct Case {
    const char* name;
    testwav::Format format;
    int frames;
    double lengthMs;
  };
  const Case cases[] = {
      {"8-bit mono", {11025, 1, 8}, 11025, 1000},
      {"8-bit stereo", {22050, 2, 8}, 2205, 100},
      {"16-bit mono", {8000, 1, 16}, 4000, 500},
      {"16-bit stereo", {44100, 2, 16}, 441, 10},
  };
  // An odd-sized chunk before the samples carries a pad byte that must be skipped.
  const QByteArray list = "LIST" + testwav::Le32(3) + QByteArray("abc\0", 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<rt::WavSound> sound = rt::ParseWav(testwav::Image(c.format, c.frames, list));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->sampleRate, c.format.sampleRate);
    EXPECT_EQ(sound->channels, c.format.channels);
    EXPECT_EQ(sound->bitsPerSample, c.format.bitsPerSample);
    EXPECT_EQ(sound->samples.size(), c.frames * sound->BytesPerFrame());
    EXPECT_EQ(sound->samples.left(3), QByteArray("\0\1\2", 3));
    EXPECT_DOUBLE_EQ(sound->LengthMs(), c.lengthMs);
  }
}

TEST(WavFile, RefusesWhatItCannotPlayAndKeepsWholeFramesOfACutFile) {
  const QByteArray good = testwav::Image({8000, 2, 16}, 100);
  QByteArray compressed = good;
  compressed[20] = 2;  // format tag: not PCM
  QByteArray noData = good;
  noData.replace(noData.indexOf("data"), 4, "junk");
  const struct {
    const char* name;
    QByteArray image;
  } refused[] = {
      {"empty", {}},
      {"not RIFF", "RIFX" + good.mid(4)},
      {"24-bit", testwav::Image({8000, 1, 24}, 10)},
      {"three channels", testwav::Image({8000, 3, 16}, 10)},
      {"compressed", compressed},
      {"no data chunk", noData},
      {"rate zero", testwav::Image({0, 1, 16}, 10)},
  };
  for (const auto& r : refused) EXPECT_FALSE(rt::ParseWav(r.image)) << r.name;

  // 100 stereo frames of 4 bytes, cut 2 bytes into the 51st frame.
  const std::optional<rt::WavSound> cut = rt::ParseWav(good.left(good.size() - 198));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->samples.size(), 50 * 4);
}

struct SoundOnVirtualTime : ::testing::Test {
  rt::VirtualClock clock{QDate(2007, 4, 23), 36000.0};
  rt::RecordingSoundDevice device;
  QTemporaryDir dir;
  QString effect;

  void SetUp() override {
    rt::SetClock(&clock);
    rt::SetSoundDevice(&device);
    effect = dir.filePath("effect.wav");
    testwav::Write(effect, 480);
  }
  void TearDown() override {
    rt::SetSoundDevice(nullptr);
    rt::SetClock(nullptr);
    rt::SetMsgBoxResponder({});
  }
};

TEST_F(SoundOnVirtualTime, SyncPlaysForTheRecordingsLengthAsyncReturnsAtOnce) {
  playsound(effect, -1);
  EXPECT_EQ(clock.MonotonicMs(), 480);
  playsound(effect, 0);
  EXPECT_EQ(clock.MonotonicMs(), 480);
  playsound(dir.filePath("missing.wav"), 1);
  const double beepMs = rt::DefaultBeep().LengthMs();
  EXPECT_GT(beepMs, 0);
  EXPECT_EQ(clock.MonotonicMs(), 480 + std::llround(beepMs));

  ASSERT_EQ(device.Log().size(), 3u);
  EXPECT_EQ(device.Log()[0].mode, rt::PlayMode::Sync);
  EXPECT_EQ(device.Log()[1].mode, rt::PlayMode::Async);
  EXPECT_EQ(device.Log()[1].startSeconds, 36000.48);
  EXPECT_EQ(device.Log()[2].lengthMs, beepMs);
}

TEST_F(SoundOnVirtualTime, ErrorBoxAnswersDecideWhetherThePlaybackIsTriedAgain) {
  struct Case {
    const char* name;
    int failures;
    std::vector<int> answers;
    int calls;
    size_t plays;
  };
  const Case cases[] = {
      {"abort leaves", 1, {3}, 1, 0},
      {"ignore leaves", 1, {5}, 1, 0},
      {"retry plays", 1, {4}, 2, 1},
      {"retry twice then abort", 3, {4, 4, 3}, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rt::RecordingSoundDevice failing;
    rt::SetSoundDevice(&failing);
    failing.FailNextCalls(c.failures, rt::ErrFileNotFound);
    std::vector<int> answers = c.answers;
    int boxes = 0;
    rt::SetMsgBoxResponder([&](const rt::MsgBoxRequest& box) {
      EXPECT_EQ(box.prompt, "Fehler-Nr: 53\r\nFehler     : Datei nicht gefunden");
      EXPECT_EQ(box.style, 562);
      EXPECT_EQ(box.title, "Fehler in: (Quonk-Tirrel) Sub playsound");
      return answers.at(boxes++);
    });
    playsound(effect, 0);
    EXPECT_EQ(boxes, static_cast<int>(c.answers.size()));
    EXPECT_EQ(failing.Calls(), c.calls);
    EXPECT_EQ(failing.Log().size(), c.plays);
  }
}

// Notes when it receives a click, on the clock.
class ClickTarget : public QWidget {
 public:
  std::vector<std::pair<QEvent::Type, int64_t>> seen;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::MouseButtonPress) seen.emplace_back(e->type(), rt::CurrentClock().MonotonicMs());
    return QWidget::event(e);
  }
};

TEST_F(SoundOnVirtualTime, SyncPlaybackBlocksInputAndEveryHandlerUntilItEnds) {
  rt::SystemSoundDevice system;  // no audio output here: silent, but it lasts its length
  ClickTarget target;
  const QPointF at(5, 5);
  QCoreApplication::postEvent(&target, new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton,
                                                       Qt::LeftButton, Qt::NoModifier));
  // A handler of the program that was already due, such as a window's activation.
  QTimer::singleShot(0, [&] {
    rt::RunHandler([&] { target.seen.emplace_back(QEvent::User, rt::CurrentClock().MonotonicMs()); });
  });

  system.Play(effect, rt::PlayMode::Sync);
  EXPECT_EQ(clock.MonotonicMs(), 480);
  EXPECT_TRUE(target.seen.empty());
  QCoreApplication::processEvents();

  ASSERT_EQ(target.seen.size(), 2u);
  EXPECT_EQ(target.seen[0], std::make_pair(QEvent::MouseButtonPress, int64_t{480})) << "in the order they came";
  EXPECT_EQ(target.seen[1], std::make_pair(QEvent::User, int64_t{480}));
}

}  // namespace
