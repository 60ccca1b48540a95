// The day's play-time limit: the rules as plain values, and the main window counting,
// showing, warning and saying goodbye.
#include <cstdio>

#include "FrmMainTestSupport.h"
#include "ProgramEnd.h"
#include "game/ScoreDisplay.h"
#include "msgbox/MsgBoxCall.h"
#include "playtime/PlayTime.h"
#include "runtime/Color.h"
#include "runtime/Events.h"
#include "runtime/Form.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"

// Reaches the window's play-time procedures, which only its own handlers call.
class PlayTimeProbe {
 public:
  static void RefreshPlayTime(frmMain& form) { form.RefreshPlayTime(); }
  static void EndForToday(frmMain& form) { form.EndForToday(); }
  static bool LastGameToday(const frmMain& form) { return form.LastGameToday(); }
};

namespace {

constexpr int32_t kYellow = 255 + 256 * 255;
constexpr int32_t kGreen = 256 * 255;
constexpr int32_t kRed = 255;

TEST(PlayTimeRules, APauseCountsOnlyUpToTheTolerance) {
  struct Case {
    const char* name;
    float lastTick, now, counted;
  };
  const Case cases[] = {
      {"first step", 36000, 36000, 0},
      {"pause as long as the tolerance", 36000, 36030, 30},
      {"longer pause counts nothing", 36000, 36031, 0},
      {"across midnight", 86390, 10, 20},
      {"across midnight, too long", 86390, 25, 0},
      {"clock set back", 50000, 40000, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(playtime::CountedSeconds(c.lastTick, c.now, 30), c.counted) << c.name;
}

TEST(PlayTimeRules, BarHeightAndColourFollowTheShareLeft) {
  constexpr int32_t full = 4000;
  constexpr double frame = 4270, gap = 120, current = 1000;
  struct Case {
    const char* name;
    float pct;
    bool visible;
    double height;
    int32_t colour;
  };
  const Case cases[] = {
      {"all left", 100, true, 4000, kGreen},
      {"three quarters", 75, true, 3000, 127 + kGreen},
      {"half", 50, true, 2000, kYellow},
      {"a quarter", 25, true, 1000, 255 + 256 * 128},
      {"nothing left keeps the height", 0, true, current, kRed},
      {"passed keeps the height", -50, true, current, kRed},
      {"beyond full (limit between -1 and 0)", 2100, true, 4000, kGreen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const playtime::TimeBarLook look = playtime::TimeBarFor(c.pct, full, current, frame, gap);
    EXPECT_EQ(look.Visible, c.visible);
    EXPECT_EQ(look.Height, c.height);
    EXPECT_EQ(look.Top, frame - c.height - gap);
    EXPECT_EQ(look.FillColor, c.colour);
  }
  EXPECT_FALSE(playtime::TimeBarFor(-10, 0, 0, frame, gap).Visible) << "nothing of the bar left";
}

TEST(PlayTimeRules, TooltipAndWarningMinutes) {
  struct Case {
    float played;
    const char* tooltip;
    int32_t minutes;
  };
  const Case cases[] = {
      {0, "Restzeit ca:  30 von  30 min.", 30},       {900, "Restzeit ca:  15 von  30 min.", 15},
      {1739, "Restzeit ca:  1 von  30 min.", 1},      {1770, "Restzeit ca:  0 von  30 min.", 0},
      {1800, "Restzeit ca:  0 von  30 min.", 0},      {1800.5f, "Restzeit ca: -1 von  30 min.", -1},
      {1900, "Restzeit ca: -2 von  30 min.", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(playtime::TimeLeftToolTip(c.played, 1800), c.tooltip) << c.played;
    EXPECT_EQ(playtime::MinutesLeft(c.played, 1800), c.minutes) << c.played;
  }
}

// A main window with a daily limit of 1800 s, a tolerance of 30 s and PLAYTIME seconds
// already played today; message boxes are answered OK and kept.
class PlayTimeWindow : public FrmMainTest {
 protected:
  frmMain& OpenWithPlayTime(const QString& played, const QString& comments = "FALSE",
                            const QString& limit = "1800") {
    WriteSettings({{"TIMES",
                    {{"RESTRICTEDTIME", limit},
                     {"TOLERANCETIME", "30"},
                     {"LASTPLAYDATE", "23.04.2007"},
                     {"PLAYTIME", played},
                     {"Absolutetime", "5000"}}},
                   {"SOUND", {{"COMMENTS", comments}}}});
    clock_.Set(QDate(2007, 4, 23), 36000);
    SetFMsgBResponder([this](const FMsgBRequest& request) {
      boxes_.push_back(request);
      return int16_t{rt::kAnswerOk};
    });
    Open();
    rt::DoEvents();
    return Form();
  }
  // Opens the window and makes the run's first accounting step, as its activation does.
  frmMain& OpenAndStep(const QString& played, const QString& comments = "FALSE", const QString& limit = "1800") {
    OpenWithPlayTime(played, comments, limit);
    Step();
    return Form();
  }
  void TearDown() override {
    SetFMsgBResponder({});
    FrmMainTest::TearDown();
  }

  void Step() { PlayTimeProbe::RefreshPlayTime(Form()); }
  void StepAfter(int seconds) {
    clock_.AdvanceMs(seconds * 1000);
    Step();
  }
  float Played() { return Form().PlayTimeToday(); }
  // Sound names with a speech recording's number cut off ("stia0002" -> "stia").
  static std::vector<QString> TokenNames(const std::vector<QString>& names) {
    std::vector<QString> tokens;
    for (const QString& name : names) tokens.push_back(name.startsWith("sti") ? name.left(4) : name);
    return tokens;
  }
  rt::Frame& TimeFrame() { return Control<rt::Frame>("fraTimeLeft"); }
  rt::Shape& TimeBar() { return Control<rt::Shape>("shpTime"); }

  std::vector<FMsgBRequest> boxes_;
};

TEST_F(PlayTimeWindow, CountsPausesUpToTheToleranceAlsoAcrossMidnight) {
  OpenAndStep("100");
  StepAfter(30);
  EXPECT_EQ(Played(), 130);
  StepAfter(31);
  EXPECT_EQ(Played(), 130);
  clock_.Set(QDate(2007, 4, 23), 86390);
  Step();
  clock_.AdvanceMs(20000);
  Step();
  EXPECT_EQ(Played(), 150);
  EXPECT_EQ(AbsoluteTime, 5050);
}

TEST_F(PlayTimeWindow, NothingIsCountedWithoutALimit) {
  struct Case {
    const char* name;
    QString limitInFile;
    float limitDuringRun;
  };
  const Case cases[] = {{"limit set to 0 during the run", "1800", 0}, {"no limit in the settings", "-1", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenAndStep("100", "FALSE", c.limitInFile);
    RestrictedTime = c.limitDuringRun;
    for (int i = 0; i < 3; ++i) StepAfter(10);
    EXPECT_EQ(Played(), c.limitInFile == "-1" ? 0 : 100);
    EXPECT_EQ(AbsoluteTime, 5000);
    EXPECT_FALSE(PlayTimeProbe::LastGameToday(Form()));
    EXPECT_TRUE(boxes_.empty());
  }
  EXPECT_FALSE(TimeFrame().Visible()) << "the no-limit window was opened last";
}

TEST_F(PlayTimeWindow, HalfTheTimePlayedShowsAHalfYellowBar) {
  frmMain& form = OpenAndStep("900");
  const double height = 0.5 * form.TimeBarHeightTwips();
  EXPECT_TRUE(TimeBar().Visible());
  EXPECT_EQ(TimeBar().Height(), height);
  EXPECT_EQ(TimeBar().Top(), TimeFrame().Height() - height - 8 * rt::Screen::TwipsPerPixelY);
  EXPECT_EQ(TimeBar().FillColor(), kYellow);
  EXPECT_EQ(TimeFrame().toolTip(), "Restzeit ca:  15 von  30 min.");
}

TEST_F(PlayTimeWindow, MovingTheMouseOverTheBarRefreshesTheTooltip) {
  frmMain& form = OpenAndStep("0");
  form.SetPlayTimeToday(1200);
  TimeFrame().MouseMove(0, 0, 100, 100);
  EXPECT_EQ(TimeFrame().toolTip(), "Restzeit ca:  10 von  30 min.");
}

// Steps every 20 s from 26 minutes left to past the limit: three or four steps fall into
// each minute, and every warning is spoken at the first of them only.
TEST_F(PlayTimeWindow, EachMinuteWarningIsSpokenOnce) {
  OpenAndStep("200", "TRUE");
  const size_t sounds = SoundCount();
  while (!PlayTimeProbe::LastGameToday(Form())) {
    StepAfter(20);
    TimeFrame().MouseMove(0, 0, 0, 0);
  }
  EXPECT_EQ(TokenNames(SoundsSince(sounds)),
            (std::vector<QString>{"stia", "stib", "stic", "stid", "stie", "stif", "stig"}));
}

TEST_F(PlayTimeWindow, PassingTheLimitDuringAGameMakesItTheLastOne) {
  struct Case {
    const char* comments;
    bool notice;
    // Sound names from the crossing click on, without their recording numbers.
    std::vector<QString> sounds;
  };
  for (const Case& c : {Case{"FALSE", true, {"timeover"}}, Case{"TRUE", false, {"stig"}}}) {
    SCOPED_TRACE(c.comments);
    boxes_.clear();
    OpenAndStep("1790", c.comments);
    EXPECT_FALSE(PlayTimeProbe::LastGameToday(Form()));
    clock_.AdvanceMs(20000);
    const size_t sounds = SoundCount();
    Click(AnyGroup());
    const float played = Played();
    EXPECT_GT(played, 1800);
    EXPECT_TRUE(PlayTimeProbe::LastGameToday(Form()));
    EXPECT_FALSE(TimeBar().Visible());
    EXPECT_EQ(TokenNames(SoundsSince(sounds)), c.sounds);
    ASSERT_EQ(boxes_.size(), c.notice ? 1u : 0u);
    if (c.notice) {
      EXPECT_EQ(boxes_[0].prompt,
                "Spielzeit ist bereits größer als  30 Minuten!\rDies ist das letzte Spiel für heute!");
      EXPECT_EQ(boxes_[0].buttons, 64);
      EXPECT_EQ(boxes_[0].title, "Quonk-Tirrel");
      EXPECT_FALSE(boxes_[0].explainButtons);
    }
    StepAfter(10);
    EXPECT_EQ(Played(), played) << "counting has stopped";
    EXPECT_EQ(boxes_.size(), c.notice ? 1u : 0u) << "warned once";
  }
}

// Play time that lands exactly on the limit has not passed it: the game goes on as any
// other, and only the next counted second makes it the day's last.
TEST_F(PlayTimeWindow, TimeExactlyAtTheLimitHasNotPassedIt) {
  struct Case {
    const char* name;
    const char* played;
    int pauseSeconds;
  };
  const Case cases[] = {
      // The window's activation makes the first step; the click counts the pause after it.
      {"a click lands on the limit", "1790", 10},
      // Nothing is left to count at the activation: the click is the first step.
      {"the day starts on the limit", "1800", 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boxes_.clear();
    OpenWithPlayTime(c.played);
    clock_.AdvanceMs(c.pauseSeconds * 1000);
    Click(AnyGroup());
    EXPECT_EQ(Played(), 1800);
    EXPECT_FALSE(PlayTimeProbe::LastGameToday(Form()));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(TimeBar().Visible());
    EXPECT_EQ(TimeFrame().toolTip(), "Restzeit ca:  0 von  30 min.");
    StepAfter(1);
    EXPECT_EQ(Played(), 1801);
    EXPECT_TRUE(PlayTimeProbe::LastGameToday(Form()));
    EXPECT_EQ(boxes_.size(), 1u);
  }
}

TEST_F(PlayTimeWindow, TheEndOfTheLastGameClearsTheBoardAndLeavesTheEndToItsCaller) {
  OpenAndStep("1790");
  StepAfter(20);
  rt::Form title(QStringLiteral("frmTitle"));
  title.Show();
  const size_t sounds = SoundCount();
  PlayTimeProbe::EndForToday(Form());
  EXPECT_EQ(SoundsSince(sounds), std::vector<QString>{"delballs"});
  EXPECT_FALSE(title.IsLoaded());
  ForEachCell(Game().CurrentBoard(), [&](const BoardCell& cell) { EXPECT_FALSE(cell.Occupied); });
  for (int k = 1; k <= Game().CurrentBoard().Cells(); ++k) EXPECT_FALSE(Ball(k).Visible()) << k;
  EXPECT_EQ(boxes_.size(), 1u) << "only the time-over notice";
}

using PlayTimeWindowDeathTest = PlayTimeWindow;

TEST_F(PlayTimeWindowDeathTest, AStartAfterTheLimitClearsTheBoardSaysGoodbyeAndEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ExpectProgramEnd();
        OpenWithPlayTime("1801");
        SetFMsgBResponder([&](const FMsgBRequest& request) {
          int shown = 0;
          for (int k = 1; k <= Game().CurrentBoard().Cells(); ++k) shown += Ball(k).Visible() ? 1 : 0;
          std::fprintf(stderr, "[%s|%d|%s|comment %d|explain %d|balls %d|%s]", qPrintable(request.prompt),
                       request.buttons, qPrintable(request.title), request.comment, request.explainButtons ? 1 : 0,
                       shown, qPrintable(SoundsSince(SoundCount() - 1).front()));
          return int16_t{rt::kAnswerOk};
        });
        PlayTimeProbe::EndForToday(Form());
        std::fprintf(stderr, "went on");
      },
      ::testing::ExitedWithCode(0),
      "\\[Heutige Spielzeit ist bereits überschritten!\rQuonk-Tirrel verabschiedet sich für heute "
      "\\.\\.\\.\\|64\\|Quonk-Tirrel\\|comment 32\\|explain 0\\|balls 0\\|delballs\\]$");
}

}  // namespace
