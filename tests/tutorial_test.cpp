// The spoken tutorial: its script of pictures, narrations, effects and pauses, the
// buttons' requests while it runs, the switches, and opening it again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "RecordingSoundDevice.h"
#include "runtime/Clock.h"
#include "runtime/Controls.h"
#include "runtime/Events.h"
#include "runtime/Files.h"
#include "runtime/Screen.h"
#include "runtime/WavFile.h"
#include "settings/SettingsState.h"
#include "support/MainFunctions.h"
#include "windows/frmGameExplanation.h"

namespace {

QString BaseName(const QString& file) { return QFileInfo(file).completeBaseName().toLower(); }

// Tells the test about each playback before it is logged and takes its time.
class HookedSoundDevice : public rt::RecordingSoundDevice {
 public:
  std::function<void(const QString& name)> beforePlay;
  void Play(const QString& file, rt::PlayMode mode) override {
    if (beforePlay) beforePlay(BaseName(file));
    RecordingSoundDevice::Play(file, mode);
  }
};

// What the window showed when a sound started.
struct Heard {
  QString sound;
  double startMs;
  double endMs;  // when the next step could start: after a narration, at once after an effect
  QString picture;
  int pointer;
};

enum class Action { kOK, kRepeat, kEscape };

class TutorialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetClock(&clock_);
    rt::SetSoundDevice(&sound_);
    for (const char* folder : {"sounds", "tutorial"})
      QFile::link(QStringLiteral(QUONK_PROGRAM_DIR "/") + folder, dir_.path() + QLatin1Char('/') + folder);
    rt::SetAppPath(dir_.path());
    for (const char* name : {"TutTitle", "board_1", "board_2", "board_3", "board_4", "board_5"})
      pictures_[name] = rt::LoadPicture(rt::AppFile(QStringLiteral("tutorial/%1.JPG").arg(name))).Pixmap().toImage();
    SoundOn = EffectsOn = LearnMode = CommentsOn = true;
    sound_.beforePlay = [this](const QString& name) { Note(name); };
    main_.show();
  }

  void TearDown() override {
    rt::SetAppPath({});
    rt::SetSoundDevice(nullptr);
    rt::SetClock(nullptr);
  }

  // Opens the window modally as the main window does and returns when it has closed.
  // The actions are clicks the player makes while the n-th playback of a sound runs.
  void Open() {
    // A script that never closes the window would leave the test waiting for the player.
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, &form_, [this] { form_.Hide(); });
    stuck.start(20000);
    // The window manager makes the main window active when the tutorial goes; the
    // offscreen platform leaves that to us.
    main_.activateWindow();
    rt::DoEvents();
    form_.ShowModal();
    ASSERT_FALSE(form_.IsLoaded()) << "the window did not close itself";
  }
  void During(const QString& sound, Action action, int occurrence = 1) {
    actions_.push_back({sound, occurrence, action});
  }
  // Forgets the planned clicks and counts sounds afresh, for the next opening.
  void ForgetClicks() {
    actions_.clear();
    played_.clear();
  }

  rt::PictureBox& Picture(const QString& name) { return *form_.findChild<rt::PictureBox*>(name); }

  // The narrations heard since log entry from, in order.
  QString Narrations(size_t from = 0) const {
    QStringList names;
    for (size_t i = from; i < heard_.size(); ++i)
      if (heard_[i].sound.startsWith(QLatin1String("tut"))) names << heard_[i].sound;
    return names.join(QLatin1Char(' '));
  }

  rt::VirtualClock clock_;
  HookedSoundDevice sound_;
  QTemporaryDir dir_;
  QWidget main_;
  frmGameExplanation form_;
  std::vector<Heard> heard_;

 private:
  struct Planned {
    QString sound;
    int occurrence;
    Action action;
  };

  void Note(const QString& name) {
    const double start = static_cast<double>(clock_.MonotonicMs());
    const bool narration = name.startsWith(QLatin1String("tut"));
    const double length = narration ? rt::LoadWav(rt::AppFile(QStringLiteral("tutorial/") + name + ".wav"))->LengthMs() : 0;
    heard_.push_back({name, start, start + std::round(length), ShownPicture(), form_.MousePointer()});
    const int occurrence = ++played_[name];
    for (const Planned& p : actions_)
      if (p.sound == name && p.occurrence == occurrence) Post(p.action);
  }

  QString ShownPicture() {
    const QImage shown = Picture("picGameBoard").Picture().Pixmap().toImage();
    for (const auto& [name, image] : pictures_)
      if (image == shown) return name;
    return QStringLiteral("?");
  }

  // Input made while a narration plays reaches the window only after it: posted, so it
  // arrives when the program next processes its events.
  void Post(Action action) {
    if (action == Action::kEscape) {
      QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &form_;
      QCoreApplication::postEvent(focus, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
      return;
    }
    QWidget* button = form_.findChild<QWidget*>(action == Action::kOK ? "cmdOK" : "cmdRepeat");
    const QPointF at = button->rect().center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
      QCoreApplication::postEvent(
          button, new QMouseEvent(type, at, button->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier));
    }
  }

  std::map<QString, QImage> pictures_;
  std::vector<Planned> actions_;
  std::map<QString, int> played_;
};

TEST_F(TutorialTest, ScriptShowsThePicturesWithTheirNarrationsEffectsAndPausesInOrder) {
  std::vector<std::pair<double, bool>> marker;  // time and visibility of each change
  form_.Load();
  struct Watch : QObject {
    std::function<void(QEvent*)> seen;
    bool eventFilter(QObject*, QEvent* e) override {
      seen(e);
      return false;
    }
  } watch;
  watch.seen = [&](QEvent* e) {
    if (e->type() == QEvent::Show || e->type() == QEvent::Hide)
      marker.emplace_back(static_cast<double>(clock_.MonotonicMs()), e->type() == QEvent::Show);
  };
  rt::PictureBox& markBall = Picture("picMarkBall");
  markBall.installEventFilter(&watch);
  EXPECT_EQ(markBall.Left(), 3780);
  EXPECT_EQ(markBall.Top(), 4905);
  EXPECT_EQ(form_.Caption(), QStringLiteral("Quonk-Tirrel - Spielerklärung"));
  During("tut08b", Action::kOK);  // acts after the script, as a click on the idle window
  const double opened = static_cast<double>(clock_.MonotonicMs());
  Open();

  // Each sound with the picture shown and the pause since the previous step could go on.
  struct Step {
    const char* sound;
    const char* picture;
    double pauseMs;
  };
  std::vector<Step> expected = {
      {"tut01", "TutTitle", 1200}, {"tut02", "TutTitle", 0}, {"tut02b", "TutTitle", 0},
      {"tut03", "board_1", 1200},  {"tut04", "board_1", 0},  {"tut04b", "board_1", 0},
  };
  for (int blink = 0; blink < 5; ++blink) {
    // Each switch of the marker follows the previous click's 15 ms and a 300 ms pause.
    expected.push_back({"bblink", "board_1", blink == 0 ? 300.0 : 15.0 + 300});
    expected.push_back({"bblink", "board_1", 15.0 + 300});
  }
  expected.insert(expected.end(), {{"tut05", "board_2", 15},
                                   {"tut06", "board_2", 0},
                                   {"delballs", "board_3", 0},
                                   {"setball", "board_5", 110 + 80 + 80},
                                   {"tut07", "board_5", 200},
                                   {"tut07b", "board_5", 0},
                                   {"tut08", "board_5", 0},
                                   {"tut08b", "board_5", 0},
                                   {"tut09", "board_5", 0}});
  ASSERT_EQ(heard_.size(), expected.size()) << Narrations().toStdString();
  double previousEnd = opened;
  for (size_t i = 0; i < expected.size(); ++i) {
    const Heard& h = heard_[i];
    EXPECT_EQ(h.sound, expected[i].sound) << "step " << i;
    EXPECT_EQ(h.picture, expected[i].picture) << "step " << i << " " << expected[i].sound;
    EXPECT_EQ(h.startMs - previousEnd, expected[i].pauseMs) << "step " << i << " " << expected[i].sound;
    EXPECT_EQ(h.pointer, rt::kPointerCustom) << "step " << i << " " << expected[i].sound;
    previousEnd = h.endMs;
  }
  // The marker shows for 300 ms between the two clicks of each blink.
  ASSERT_EQ(marker.size(), 10u);
  for (size_t i = 0; i < marker.size(); i += 2) {
    EXPECT_TRUE(marker[i].second);
    EXPECT_EQ(marker[i + 1].first - marker[i].first, 300) << "blink " << i / 2;
  }
  EXPECT_EQ(form_.MousePointer(), rt::kPointerDefault);
  EXPECT_FALSE(form_.IsStarted());
}

TEST_F(TutorialTest, ButtonRequestsWhileTheScriptRunsActAtTheNextCheckpoint) {
  const QString all = "tut01 tut02 tut02b tut03 tut04 tut04b tut05 tut06 tut07 tut07b tut08 tut08b";
  struct Case {
    const char* name;
    std::vector<std::tuple<const char*, Action, int>> clicks;
    QString narrations;
  };
  const Case cases[] = {
      {"OK during the first narration", {{"tut01", Action::kOK, 1}}, "tut01"},
      {"Escape during a narration", {{"tut06", Action::kEscape, 1}}, all.section(' ', 0, 7)},
      {"OK during the blinking acts after the next narration", {{"bblink", Action::kOK, 3}}, all.section(' ', 0, 6)},
      {"OK during the falling balls", {{"setball", Action::kOK, 1}}, all.section(' ', 0, 8)},
      {"Repeat restarts after the narration",
       {{"tut03", Action::kRepeat, 1}, {"tut08b", Action::kOK, 1}},
       all.section(' ', 0, 3) + ' ' + all + " tut09"},
      {"Repeat then OK closes", {{"tut02", Action::kRepeat, 1}, {"tut02", Action::kOK, 1}}, "tut01 tut02"},
      {"OK then Repeat restarts",
       {{"tut02", Action::kOK, 1}, {"tut02", Action::kRepeat, 1}, {"tut02", Action::kOK, 2}},
       "tut01 tut02 tut01 tut02"},
      {"Repeat during the last narration restarts the idle tutorial",
       {{"tut08b", Action::kRepeat, 1}, {"tut01", Action::kOK, 2}},
       all + " tut01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t from = heard_.size();
    for (const auto& [sound, action, occurrence] : c.clicks) During(sound, action, occurrence);
    Open();
    EXPECT_EQ(Narrations(from), c.narrations);
    EXPECT_FALSE(form_.IsRunning());
    ForgetClicks();
  }
}

TEST_F(TutorialTest, SwitchesDecideTheEffectsAndTheirWaitsButNeverTheNarrationOrThePauses) {
  constexpr double kPauses = 2 * 1200 + 10 * 300 + 2 * 80;
  constexpr double kEffectWaits = 10 * 15 + 110 + 200;
  struct Case {
    const char* name;
    bool sound, effects, learn, comments, busy;
    int effectsPlayed;
    double waitedMs;
  };
  const Case cases[] = {
      {"all on", true, true, true, true, false, 12, kPauses + kEffectWaits},
      {"sound off", false, true, true, true, false, 0, kPauses},
      {"effects off", true, false, true, true, false, 0, kPauses},
      {"learn mode and comments off", true, true, false, false, false, 12, kPauses + kEffectWaits},
      {"opened during an effect's wait", true, true, true, true, true, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SoundOn = c.sound;
    EffectsOn = c.effects;
    LearnMode = c.learn;
    CommentsOn = c.comments;
    SoundBusy = c.busy;
    const size_t from = heard_.size();
    const double opened = static_cast<double>(clock_.MonotonicMs());
    During("tut08b", Action::kOK);
    Open();
    SoundBusy = false;
    double narrated = 0;
    int effects = 0;
    for (size_t i = from; i < heard_.size(); ++i) {
      if (heard_[i].sound.startsWith(QLatin1String("tut")))
        narrated += heard_[i].endMs - heard_[i].startMs;
      else
        ++effects;
    }
    EXPECT_EQ(Narrations(from).count(' ') + 1, 13) << "every narration plays";
    EXPECT_EQ(effects, c.effectsPlayed);
    EXPECT_EQ(static_cast<double>(clock_.MonotonicMs()) - opened - narrated, c.waitedMs);
    EXPECT_EQ(heard_.back().picture, QStringLiteral("board_5"));
    ForgetClicks();
  }
}

TEST_F(TutorialTest, EachOpeningStartsTheTutorialAgainAndAStaleRequestIsClearedByTheNextRun) {
  During("tut02", Action::kOK);
  Open();
  EXPECT_FALSE(form_.IsStarted());
  EXPECT_FALSE(form_.IsRunning());
  EXPECT_EQ(form_.PendingCommand(), QStringLiteral("EXIT")) << "kept while the window is closed";

  ForgetClicks();
  const size_t from = heard_.size();
  const double opened = static_cast<double>(clock_.MonotonicMs());
  During("tut03", Action::kOK);
  Open();
  EXPECT_EQ(Narrations(from), QStringLiteral("tut01 tut02 tut02b tut03"));
  EXPECT_EQ(heard_[from].picture, QStringLiteral("TutTitle"));
  EXPECT_EQ(heard_[from].startMs - opened, 1200);
}

}  // namespace
