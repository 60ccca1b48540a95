// The end of a game, the new game, the starting board again, and the command words the
// other windows send. The speech and play-time parts are stood in for, so the tests see
// when the game asks them, in order with the message boxes.
#include <gmock/gmock.h>

#include <cstdio>
#include <functional>

#include "FrmMainTestSupport.h"
#include "ProgramEnd.h"
#include "msgbox/MsgBoxCall.h"
#include "runtime/Clock.h"
#include "runtime/MsgBox.h"
#include "runtime/Numbers.h"
#include "settings/IniHandler.h"

namespace {

// The letter each game event is recorded by.
QString Letter(CommentEvent event) {
  switch (event) {
    case CommentEvent::ProgramStarted: return "P";
    case CommentEvent::GroupRemoved: return "V";
    case CommentEvent::TimeLeft: return "T";
    case CommentEvent::NewGameStarts: return "S";
    case CommentEvent::GameEnded: return "E";
    case CommentEvent::GameEndedWithHighscore: return "H";
    case CommentEvent::NewGameQuestion: return "N";
  }
  return "?";
}

struct Call {
  QString what;
  // When it was asked, on the clock's steady scale.
  int64_t ms;
};

// The main window with stand-ins for the speech and play-time parts.
class RecordingMain : public frmMain {
 public:
  explicit RecordingMain(std::function<void(const QString&)> record) : record_(std::move(record)) {}
  // What the play-time accounting decides at its next step.
  bool lastGameToday = false;

 private:
  void DoSpeech(CommentEvent Event, int32_t Value) override {
    record_(QStringLiteral("speech %1 %2").arg(Letter(Event)).arg(Value));
  }
  void PlaySpeechToken(uint8_t Token) override { record_(QStringLiteral("token %1").arg(Token)); }
  void RefreshPlayTime() override {
    record_(QStringLiteral("time"));
    lastGameDecided_ = lastGameToday;
  }
  bool LastGameToday() const override { return lastGameDecided_; }
  void EndForToday() override { record_(QStringLiteral("end of day")); }

  std::function<void(const QString&)> record_;
  bool lastGameDecided_ = false;
};

class FrmMainEnd : public FrmMainTest {
 protected:
  // The default board without a daily limit: the play-time steps that come with the
  // window's activation stay out of the recorded calls.
  void SetUp() override {
    FrmMainTest::SetUp();
    WriteBoardSettings(kDefaultGameColumns, kDefaultGameRows, kDefaultBallColors);
  }
  void TearDown() override {
    SetFMsgBResponder({});
    FrmMainTest::TearDown();
  }

  RecordingMain& OpenRecording() {
    auto form = std::make_unique<RecordingMain>([this](const QString& what) { Record(what); });
    RecordingMain& recording = *form;
    form_ = std::move(form);
    form_->Show();
    return recording;
  }

  void Record(const QString& what) {
    calls_.push_back({what, clock_.MonotonicMs()});
    if (echo_) echo_(what);
  }

  // Every box is recorded with its prompt (CR shown as "|"), style and pending comment,
  // and answered with answer.
  void AnswerBoxes(int16_t answer) {
    SetFMsgBResponder([this, answer](const FMsgBRequest& box) {
      QString prompt = box.prompt;
      prompt.replace(QChar(13), QLatin1Char('|'));
      Record(QStringLiteral("box %1 %2 comment %3%4")
                 .arg(prompt)
                 .arg(box.buttons)
                 .arg(box.comment)
                 .arg(box.explainButtons ? "" : " quiet"));
      return answer;
    });
  }

  // std::string, so that a failing comparison prints the calls readably.
  std::vector<std::string> CallsSince(size_t from) const {
    std::vector<std::string> names;
    for (size_t i = from; i < calls_.size(); ++i) names.push_back(calls_[i].what.toStdString());
    return names;
  }

  // On a 2 x 2 board of one colour the first group is the whole board: its move ends the
  // game with 12 points.
  void PlayTheOnlyMove() {
    Click(1);
    Click(1);
  }

  rt::Label& ScoreLabel(int i) { return Control<rt::Label>(QStringLiteral("lblScore_%1").arg(i)); }

  std::vector<Call> calls_;
  // Sees every call as it is recorded: for a test whose process ends.
  std::function<void(const QString&)> echo_;
};

const std::string kNewGame = "box Neues Spiel? 36 comment 0";
const std::string kNewGameAfterHighscore = "box Höchste Punktzahl erreicht!||Neues Spiel? 36 comment 0";

TEST_F(FrmMainEnd, EndOfAGameBySoundAndHighscore) {
  struct Case {
    const char* name;
    int highscore;
    bool soundOn;
    std::vector<QString> sounds;  // from the move's removal on
    std::string endComment;
    std::string question;
    // From the click to the end comment: the move's waits and the end's.
    int64_t commentAfterMs;
  };
  const Case cases[] = {
      {"equal to the highscore", 12, true, {"delballs", "delcol", "delballs", "endgame"}, "speech E 12", kNewGame,
       310 + 50 + 110 + 720},
      {"above the highscore", 5, true, {"delballs", "delcol", "delballs", "endgame", "fanfare"}, "speech H 12",
       kNewGameAfterHighscore, 310 + 50 + 110 + 720 + 4440},
      {"first after a reset, sound off", 0, false, {}, "speech H 0", kNewGameAfterHighscore, 5 * 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBoardSettings(2, 2, 1, 4, c.highscore);
    RecordingMain& form = OpenRecording();
    SoundOn = c.soundOn;
    AnswerBoxes(rt::kAnswerNo);
    Click(1);
    const size_t sounds = SoundCount();
    const size_t calls = calls_.size();
    Click(1);

    EXPECT_EQ(SoundsSince(sounds), c.sounds);
    EXPECT_THAT(CallsSince(calls), testing::ElementsAre("time", c.endComment, "time", "speech N -1", c.question,
                                                         "time", "speech V 12"));
    EXPECT_EQ(calls_[calls + 1].ms - calls_[calls].ms, c.commentAfterMs);
    // The end saves the settings, before the highscore was raised.
    EXPECT_EQ(ReadIniValue("SOUND", "SOUNDON"), c.soundOn ? "TRUE" : "FALSE");
    EXPECT_EQ(ReadIniValue("GLOBAL", "HIGHSCORE"), QString::number(c.highscore));
    EXPECT_EQ(Highscore, std::max(c.highscore, 12));
    EXPECT_EQ(ScoreLabel(2).Caption(), rt::FormatDigits(Highscore, 4));

    // "Nein" leaves the finished board closed.
    EXPECT_TRUE(form.IsGameOver());
    EXPECT_FALSE(form.IsGameRunning());
    EXPECT_FALSE(Menu("menMoveForward").Enabled());
    const size_t before = SoundCount();
    Click(2);
    EXPECT_EQ(SoundCount(), before);
    EXPECT_EQ(Game().Score(), 12);
  }
}

// The new game runs inside the move's end; the points comment of that move comes last.
TEST_F(FrmMainEnd, JaToTheQuestionDealsANewBoard) {
  WriteBoardSettings(2, 2, 1, 4, 100);
  RecordingMain& form = OpenRecording();
  AnswerBoxes(rt::kAnswerYes);
  Click(1);
  const size_t sounds = SoundCount();
  const size_t calls = calls_.size();
  Click(1);

  EXPECT_THAT(CallsSince(calls), testing::ElementsAre("time", "speech E 12", "time", "speech N -1", kNewGame, "time",
                                                       "speech S -1", "time", "speech V 12"));
  const std::vector<QString> played = SoundsSince(sounds);
  EXPECT_EQ(played.back(), "setball2");
  EXPECT_FALSE(form.IsGameOver());
  EXPECT_EQ(Game().Score(), 0);
  EXPECT_EQ(Game().MoveIndex(), 0);
  EXPECT_EQ(Game().CurrentBoard(), Game().StartBoard());
  EXPECT_EQ(ScoreLabel(3).Caption(), "0000");
  ExpectPicturesMatchBoard();
  Click(1);
  EXPECT_EQ(Game().GroupSize(), 4);
}

TEST_F(FrmMainEnd, NewGameAsksOnlyWhileAGameRuns) {
  RecordingMain& form = OpenRecording();
  AnswerBoxes(rt::kAnswerNo);

  // Before the first move: no question, a new board.
  size_t calls = calls_.size();
  Choose("menGameNew");
  EXPECT_THAT(CallsSince(calls), testing::ElementsAre("time", "speech S -1"));

  const int16_t ball = AnyGroup();
  Click(ball);
  Click(ball);
  ASSERT_TRUE(form.IsGameRunning());
  const Board running = Game().CurrentBoard();

  // Dropped while an effect's wait runs.
  calls = calls_.size();
  SoundBusy = true;
  Choose("menGameNew");
  SoundBusy = false;
  EXPECT_TRUE(CallsSince(calls).empty());

  // "Nein" keeps the running game as it was.
  Choose("menGameNew");
  EXPECT_THAT(CallsSince(calls), testing::ElementsAre("time", "box Laufendes Spiel abbrechen? 36 comment 28"));
  EXPECT_EQ(Game().CurrentBoard(), running);
  EXPECT_EQ(Game().MoveIndex(), 1);
  EXPECT_TRUE(form.IsGameRunning());

  AnswerBoxes(rt::kAnswerYes);
  calls = calls_.size();
  Choose("menGameNew");
  EXPECT_EQ(CallsSince(calls).back(), "speech S -1");
  EXPECT_FALSE(form.IsGameRunning());
  EXPECT_EQ(Game().MoveIndex(), 0);
  EXPECT_EQ(Game().Score(), 0);
  EXPECT_EQ(Game().CurrentBoard(), Game().StartBoard());
  EXPECT_NE(Game().CurrentBoard(), running);
}

TEST_F(FrmMainEnd, StartingBoardAgain) {
  OpenRecording();
  auto threeMoves = [&] {
    for (int move = 0; move < 3; ++move) {
      const int16_t ball = AnyGroup();
      Click(ball);
      Click(ball);
    }
  };
  threeMoves();

  // Answered "Nein": the running game stays, and the request does not outlive the call:
  // the next new game deals.
  AnswerBoxes(rt::kAnswerNo);
  const Board running = Game().CurrentBoard();
  Choose("menRestoreOriginal");
  EXPECT_EQ(Game().CurrentBoard(), running);
  AnswerBoxes(rt::kAnswerYes);
  size_t sounds = SoundCount();
  Choose("menGameNew");
  EXPECT_THAT(SoundsSince(sounds), testing::Contains("setball"));

  const Board dealt = Game().CurrentBoard();
  threeMoves();
  sounds = SoundCount();
  Choose("menRestoreOriginal");
  EXPECT_EQ(SoundsSince(sounds), std::vector<QString>(Game().CurrentBoard().Rows(), "setball2"));
  EXPECT_EQ(Game().CurrentBoard(), dealt);
  EXPECT_EQ(Game().MoveIndex(), 0);
  EXPECT_EQ(Game().Score(), 0);
  EXPECT_EQ(ScoreLabel(3).Caption(), "0000");
  EXPECT_EQ(calls_.back().what, "speech S -1");
  ExpectPicturesMatchBoard();
}

TEST_F(FrmMainEnd, CommandWords) {
  struct Case {
    const char* text;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"sbut", {"token 30"}},
      {"SBUT ", {}},
      {"ShutUP", {"token 29"}},
      {"SLIP", {"token 31"}},
      {"TIMEREFRESH", {"time"}},
      {"SayComment 28", {"token 28"}},
      {"saycomment 32", {"token 32"}},
      {"SayComment28", {"token 0"}},
      {"SayComment 33", {}},
      {"Hallo", {}},
  };
  OpenRecording();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const size_t calls = calls_.size();
    // The box is cleared after each command, so a repeated word runs again.
    for (int i = 0; i < 2; ++i) {
      Form().SendCommand(QString::fromUtf8(c.text));
      EXPECT_EQ(Control<rt::TextBox>("txtCommand").Text(), "");
    }
    std::vector<std::string> twice = c.calls;
    twice.insert(twice.end(), c.calls.begin(), c.calls.end());
    EXPECT_EQ(CallsSince(calls), twice);
  }

  Highscore = 77;
  Form().SendCommand("ShowHighscore");
  EXPECT_EQ(ScoreLabel(2).Caption(), "0077");
}

TEST_F(FrmMainEnd, ProgrammStartSpeaksOrEndsTheDay) {
  struct Case {
    float limit;
    float played;
    std::string call;
  };
  const Case cases[] = {{-1, 5000, "token 1"}, {1800, 1800, "token 1"}, {1800, 1801, "end of day"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.limit << " s allowed, " << c.played << " s played");
    RecordingMain& form = OpenRecording();
    RestrictedTime = c.limit;
    form.SetPlayTimeToday(c.played);
    const size_t calls = calls_.size();
    form.SendCommand("ProgrammStart");
    EXPECT_EQ(CallsSince(calls), std::vector<std::string>{c.call});
  }
}

TEST_F(FrmMainEnd, PlayTutorialArmsTheTutorialTimerInLearnModeWithComments) {
  struct Case {
    bool learnMode, commentsOn;
    int interval;
  };
  for (const Case& c : {Case{true, true, 100}, Case{true, false, 0}, Case{false, true, 0}}) {
    SCOPED_TRACE(testing::Message() << "learn mode " << c.learnMode << ", comments " << c.commentsOn);
    OpenRecording();
    LearnMode = c.learnMode;
    CommentsOn = c.commentsOn;
    Form().SendCommand("PLAYTUTORIAL");
    EXPECT_EQ(Form().findChild<rt::TimerControl*>("timTutorialStart")->Interval(), c.interval);
  }
}

TEST_F(FrmMainEnd, TheLastGameOfTheDayEndsWithAGoodbye) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ExpectProgramEnd();
        WriteBoardSettings(2, 2, 1, 4, 5);
        echo_ = [this](const QString& what) {
          std::fprintf(stderr, "[%s]", qPrintable(what));
          if (what != "end of day") return;
          std::fprintf(stderr, "[saved highscore %s]", qPrintable(ReadIniValue("GLOBAL", "HIGHSCORE")));
          // The process ends next, without cleaning up.
          dir_.remove();
        };
        RecordingMain& form = OpenRecording();
        form.lastGameToday = true;
        AnswerBoxes(rt::kAnswerOk);
        PlayTheOnlyMove();
        std::fprintf(stderr, "went on");
      },
      ::testing::ExitedWithCode(0),
      testing::AllOf(
          testing::HasSubstr("[speech H 12][time][box Höchste Punktzahl erreicht!||Die heutige Spielzeit ist "
                             "abgelaufen!|Quonk-Tirrel verabschiedet sich jetzt für den Rest des Tages. Bis morgen! "
                             "64 comment 32 quiet][end of day][saved highscore 12]"),
          testing::Not(testing::HasSubstr("went on"))));
}

}  // namespace
