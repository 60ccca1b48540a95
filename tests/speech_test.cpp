// Spoken comments: the catalogue of recordings, the comment an event asks for, the
// player's gates and choice of a recording, and the comments on the main window.
#include <QDir>
#include <QFileInfo>
#include <set>
#include <tuple>

#include "FrmMainTestSupport.h"
#include "TempFolder.h"
#include "runtime/MsgBox.h"
#include "runtime/Random.h"
#include "settings/IniHandler.h"
#include "speech/Comments.h"
#include "speech/LastSpeechFile.h"
#include "speech/SpeechCatalogue.h"
#include "speech/SpeechCommentary.h"
#include "speech/SpeechPlayer.h"

namespace {

// ---- catalogue ----

class SpeechCatalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetAppPath(dir.Folder());
    IniFile = dir.Path("QT.Ini");
    QDir(dir.Folder()).mkpath("sounds/speech");
  }
  void TearDown() override { rt::SetAppPath({}); }

  void Recordings(std::initializer_list<const char*> names) {
    for (const char* name : names) TempFolder::Put(dir.Path(QStringLiteral("sounds/speech/") + name), "RIFF");
  }
  void Speech(const QByteArray& keys) { TempFolder::Put(IniFile, "[SPEECH]\r\n" + keys); }

  TempFolder dir;
};

TEST_F(SpeechCatalogue, CountsRecordingsUpToTheFirstGap) {
  Recordings({"sprg0001.wav", "sprg0002.wav", "sprg0004.wav", "svaA0001.wav", "svaa0002.wav", "stiG0002.wav"});
  const SpeechTable table = BuildSpeechCatalogue(ReadSpeechPath(), true);
  ASSERT_EQ(table.size(), 33u);
  EXPECT_EQ(table[0].Token, QString());
  EXPECT_EQ(table[0].ElementCount, 0);
  EXPECT_EQ(table[1].Token, "sprg");
  EXPECT_EQ(table[1].ElementCount, 2);
  EXPECT_EQ(table[2].Token, "svaA");
  EXPECT_EQ(table[2].ElementCount, 2) << "names match without regard to case";
  EXPECT_EQ(table[21].ElementCount, 0) << "no recording 0001";
  EXPECT_EQ(table[32].Token, "snot");
  EXPECT_FALSE(table[31].SpokenThisSession) << "learn mode on";
  EXPECT_TRUE(BuildSpeechCatalogue(ReadSpeechPath(), false)[31].SpokenThisSession) << "learn mode off";
}

TEST_F(SpeechCatalogue, StatisticsFromTheSettingsFile) {
  Speech(
      "PLAYED_1=,3,7\r\nPLAYED_2=,,3\r\nPLAYED_3=2,1\r\n"
      "PROBABILITY_8=abc\r\nPROBABILITY_9= 50\r\nPROBABILITY_10=0\r\nPROBABILITY_11=300\r\n"
      "PROBABILITY_13=-5\r\nPROBABILITY_14=12.5\r\nPROBABILITY_15=100\r\n"
      "REPEATSALLOWED_1=tRuE\r\nREPEATSALLOWED_2=yes\r\n");
  const SpeechTable table = BuildSpeechCatalogue(ReadSpeechPath(), true);
  EXPECT_EQ(table[1].Played, "3,7");
  EXPECT_EQ(table[2].Played, ",3");
  EXPECT_EQ(table[3].Played, "2,1");
  EXPECT_EQ(table[4].Played, "");

  struct Case {
    int token;
    int expected;
  };
  const Case probabilities[] = {{7, 70},  {8, 20},   {9, 50},  {10, 40}, {11, 255},
                                {13, 33}, {14, 12},  {15, 100}, {22, 40}, {1, 100}};
  for (const Case& c : probabilities) EXPECT_EQ(table[c.token].Probability, c.expected) << "token " << c.token;

  EXPECT_TRUE(table[1].RepeatsAllowed);
  EXPECT_FALSE(table[2].RepeatsAllowed);
  EXPECT_FALSE(table[3].RepeatsAllowed);
}

// ---- events to comments ----

TEST(SpeechComments, EventsMapToTokens) {
  constexpr CommentEvent P = CommentEvent::ProgramStarted, V = CommentEvent::GroupRemoved, T = CommentEvent::TimeLeft,
                         S = CommentEvent::NewGameStarts, E = CommentEvent::GameEnded,
                         H = CommentEvent::GameEndedWithHighscore, N = CommentEvent::NewGameQuestion;
  struct Case {
    CommentEvent event;
    int32_t value;
    bool learnMode;
    uint8_t expected;
  };
  const Case cases[] = {
      {P, 0, false, 1},    {V, 1, false, 0},    {V, 2, false, 9},    {V, 20, false, 9},
      {V, 30, false, 8},   {V, 90, false, 7},   {V, 110, false, 6},  {V, 156, false, 5},
      {V, 210, false, 4},  {V, 272, false, 3},  {V, 300, false, 4},  {V, 306, false, 2},
      {T, 25, false, 15},  {T, 15, false, 16},  {T, 10, false, 17},  {T, 5, false, 18},
      {T, 3, false, 19},   {T, 0, false, 20},   {T, -5, false, 20},  {T, -1, false, 21},
      {T, 1, false, 0},    {T, 4, false, 0},    {S, -1, false, 10},  {E, 299, false, 22},
      {E, 300, false, 23}, {E, 500, false, 24}, {E, 600, false, 25}, {E, 700, false, 26},
      {E, 800, false, 27}, {H, 512, false, 11}, {N, -1, true, 12},   {N, -1, false, 13},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CommentToken(c.event, c.value, c.learnMode), c.expected)
        << "event " << static_cast<int>(c.event) << " value " << c.value << " learn " << c.learnMode;
}

// ---- player ----

SpeechEntry Entry(int16_t recordings, uint8_t probability = 100, const QString& played = {}) {
  SpeechEntry entry;
  entry.Token = "svaA";
  entry.ElementCount = recordings;
  entry.Probability = probability;
  entry.Played = played;
  return entry;
}

constexpr SpeechSwitches kAllOn{true, true, true};

// Plays a request to its end as the main window does: the recording number, 0 if none.
int16_t Request(SpeechEntry& entry, uint8_t token, const SpeechSwitches& switches = kAllOn) {
  const int16_t number = ChooseRecording(entry, token, switches);
  if (number) NotePlayed(entry, token, number);
  return number;
}

TEST(SpeechPlayer, SwitchesDecideWhoSpeaks) {
  struct Case {
    const char* name;
    SpeechSwitches switches;
    uint8_t token;
    bool spoken;
  };
  const Case cases[] = {
      {"all on", {true, true, true}, 2, true},
      {"sound off", {false, true, true}, 2, false},
      {"sound off, learn question", {false, true, true}, 12, false},
      {"comments off", {true, false, true}, 2, false},
      {"comments off, learn question", {true, false, true}, 12, true},
      {"learn mode off, learn question", {true, true, false}, 12, false},
      {"learn mode off, buttons", {true, true, false}, 30, false},
      {"learn mode on, buttons", {true, true, true}, 30, true},
      {"comments off, buttons", {true, false, true}, 30, false},
  };
  for (const Case& c : cases) {
    SpeechEntry entry = Entry(3);
    EXPECT_EQ(Request(entry, c.token, c.switches) != 0, c.spoken) << c.name;
  }
  SpeechEntry silent = Entry(0);
  EXPECT_EQ(Request(silent, 2), 0) << "no recordings";
}

TEST(SpeechPlayer, OncePerRunEvenWhenTheFirstRequestWasDropped) {
  rt::SeedRandom(1);
  for (uint8_t token : {15, 20, 21, 31}) {
    SpeechEntry entry = Entry(2, 1);
    EXPECT_EQ(Request(entry, token), 0) << "a probability of 1 never speaks";
    entry.Probability = 100;
    EXPECT_EQ(Request(entry, token), 0) << "token " << int(token);
  }
  SpeechEntry points = Entry(2);
  EXPECT_NE(Request(points, 2), 0);
  EXPECT_NE(Request(points, 2), 0) << "other tokens speak again";
}

TEST(SpeechPlayer, AvoidsPlayedRecordingsUntilMostArePlayed) {
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    rt::SeedRandom(seed);
    SpeechEntry entry = Entry(5);
    std::set<int16_t> heard;
    for (int i = 0; i < 3; ++i) heard.insert(Request(entry, 2));
    EXPECT_EQ(heard.size(), 3u) << "seed " << seed;
    EXPECT_FALSE(entry.RepeatsAllowed) << "seed " << seed;
    const QString played = entry.Played;
    EXPECT_TRUE(played.startsWith(',')) << "seed " << seed;
    EXPECT_NE(Request(entry, 2), 0);
    EXPECT_TRUE(entry.RepeatsAllowed) << "four of five counted: " << played.toStdString();
    EXPECT_EQ(entry.Played, played) << "the list no longer grows";
  }
}

TEST(SpeechPlayer, OneRecordingRepeatsAtOnce) {
  rt::SeedRandom(3);
  SpeechEntry entry = Entry(1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Request(entry, 2), 1);
  EXPECT_TRUE(entry.RepeatsAllowed);
  EXPECT_EQ(entry.Played, "");
}

TEST(SpeechPlayer, PlayedListComparesWholeNumbers) {
  rt::SeedRandom(5);
  std::set<int16_t> heard;
  for (int i = 0; i < 400; ++i) {
    SpeechEntry entry = Entry(12, 100, "12");
    heard.insert(ChooseRecording(entry, 2, kAllOn));
  }
  EXPECT_TRUE(heard.count(1) && heard.count(2)) << "1 and 2 are not 12";
  EXPECT_FALSE(heard.count(12));
  EXPECT_EQ(*heard.begin(), 1);
  EXPECT_EQ(*heard.rbegin(), 11);
}

TEST(SpeechPlayer, ProbabilityGate) {
  rt::SeedRandom(7);
  struct Case {
    uint8_t probability;
    int low, high;  // spoken requests out of 10000
  };
  const Case cases[] = {{1, 0, 0}, {3, 150, 250}, {100, 10000, 10000}};
  for (const Case& c : cases) {
    int spoken = 0;
    for (int i = 0; i < 10000; ++i) {
      SpeechEntry entry = Entry(4, c.probability);
      spoken += ChooseRecording(entry, 2, kAllOn) != 0;
    }
    EXPECT_GE(spoken, c.low) << "probability " << int(c.probability);
    EXPECT_LE(spoken, c.high) << "probability " << int(c.probability);
  }
}

// ---- comments on game events, without a window ----

// Stands in for the window: a score, and the pointer shown while a recording plays.
class ScoreOnlyHost : public SpeechHost {
 public:
  int32_t score = 0;
  std::vector<bool> speaking;

  int32_t CurrentScore() const override { return score; }
  void ColorScoreLabels(rt::Color) override {}
  void ShowSpeaking(bool on) override { speaking.push_back(on); }
};

// The program's recordings and no settings file; comments on, learn mode off.
class SpeechCommentaryAlone : public FrmMainTest {
 protected:
  void SetUp() override {
    FrmMainTest::SetUp();
    saved_ = {SoundOn, CommentsOn, LearnMode, Highscore, IniFile};
    IniFile = dir_.path() + QStringLiteral("/QT.Ini");
    SoundOn = CommentsOn = true;
    LearnMode = false;
  }
  void TearDown() override {
    std::tie(SoundOn, CommentsOn, LearnMode, Highscore, IniFile) = saved_;
    FrmMainTest::TearDown();
  }

  std::tuple<bool, bool, bool, int32_t, QString> saved_;
};

TEST_F(SpeechCommentaryAlone, AnEndAgainstAHighscoreOf0IsAnOrdinaryEndAndOnlyAClickIsCelebrated) {
  ScoreOnlyHost host;
  SpeechCommentary speech(host);
  speech.AnalyzeSpeechFiles();
  host.score = 512;
  Highscore = 0;
  size_t before = SoundCount();
  speech.DoSpeech(CommentEvent::GameEndedWithHighscore, 0);
  speech.DoSpeech(CommentEvent::GameEndedWithHighscore, 512);
  EXPECT_EQ(SpokenSince(before), (std::vector<QString>{"senc", "shig"})) << "the end of a game with 512 points";
  EXPECT_EQ(host.speaking, (std::vector<bool>{true, false, true, false}));

  // Past a highscore of 100, the end of the game is no click: it gets its end comment.
  Highscore = 100;
  before = SoundCount();
  speech.DoSpeech(CommentEvent::GameEnded, 512);
  EXPECT_EQ(SpokenSince(before), std::vector<QString>{"senc"});
  speech.DoSpeech(CommentEvent::GroupRemoved, 42);
  EXPECT_EQ(SpokenSince(before), (std::vector<QString>{"senc", "smor"}));
}

// ---- on the main window ----

using SpeechOnMainWindow = FrmMainTest;

TEST_F(SpeechOnMainWindow, HighscoreCelebrationFlashesTheScoreAndPraises) {
  WriteBoardSettings(11, 12, 3, 20, 1);
  Open();
  const size_t before = SoundCount();
  const int16_t group = AnyGroup();
  Click(group);
  Click(group);

  const std::vector<rt::PlayRecord>& log = sound_.Log();
  ASSERT_GE(log.size(), before + 24);
  const rt::PlayRecord& praise = log.back();
  EXPECT_TRUE(QFileInfo(praise.file).fileName().startsWith("smor")) << praise.file.toStdString();
  EXPECT_EQ(praise.mode, rt::PlayMode::Sync);
  EXPECT_EQ(LastSpeechFile, praise.file);

  // 16 colours at 50 ms, then white and red three times with 300 ms pauses, then black.
  std::vector<int64_t> steps;
  for (size_t i = log.size() - 24; i < log.size() - 1; ++i) {
    EXPECT_EQ(QFileInfo(log[i].file).completeBaseName().toLower(), "delcol");
    steps.push_back(log[i + 1].startMs - log[i].startMs);
  }
  std::vector<int64_t> expected(16, 50);
  expected.insert(expected.end(), 6, 350);
  expected.push_back(50);
  EXPECT_EQ(steps, expected);
  for (const char* label : {"lblScore_1", "lblScore_3"})
    EXPECT_EQ(Control<rt::Label>(label).ForeColor(), rt::QBColor(0)) << label;

  // Once per game: the next move brings no second celebration.
  const size_t afterFirst = SoundCount();
  const int16_t next = AnyGroup();
  ASSERT_NE(next, 0);
  Click(next);
  Click(next);
  for (const QString& name : SoundsSince(afterFirst)) EXPECT_FALSE(name.startsWith("smor")) << name.toStdString();

  PressKey(Qt::Key_F9);
  EXPECT_EQ(sound_.Log().back().file, LastSpeechFile);
  EXPECT_EQ(sound_.Log().back().mode, rt::PlayMode::Async);
}

// A recording the output could not play (the player left the error box) was not heard.
TEST_F(SpeechOnMainWindow, OnlyARecordingHeardCountsAndIsTheOneF9Repeats) {
  WriteBoardSettings(5, 5, 3);
  Open();
  LastSpeechFile = QStringLiteral("heard before.wav");
  sound_.FailNextCalls(1);
  rt::SetMsgBoxResponder([](const rt::MsgBoxRequest&) { return int{rt::kAnswerAbort}; });
  Form().SendCommand(QStringLiteral("SayComment 28"));
  rt::SetMsgBoxResponder({});
  EXPECT_EQ(LastSpeechFile, "heard before.wav");
  EXPECT_EQ(Form().SpeechEntry(28).Played, "");

  Form().SendCommand(QStringLiteral("SayComment 28"));
  const QString heard = sound_.Log().back().file;
  EXPECT_EQ(LastSpeechFile, heard);
  EXPECT_EQ(Form().SpeechEntry(28).Played, "," + QString::number(QFileInfo(heard).completeBaseName().right(4).toInt()));
}

TEST_F(SpeechOnMainWindow, QuitSavesTheSpeechStatistics) {
  WriteSettings({{"TIMES", {{"RESTRICTEDTIME", "-1"}}},
                 {"SPEECH", {{"PLAYED_5", ",2,1"}, {"PLAYED_3", "1"}, {"REPEATSALLOWED_3", "TRUE"}}}});
  Open();
  EXPECT_EQ(Form().SpeechEntry(1).ElementCount, 4);
  Choose("menQuit");

  const QByteArray text = TempFolder::Get(dir_.path() + "/QT.Ini");
  EXPECT_EQ(text.count('='), 146);
  for (const char* line : {"ELEMENTCOUNT_1=4\r\n", "ELEMENTCOUNT_7=4\r\n", "PROBABILITY_7= 70\r\n",
                           "PROBABILITY_1= 100\r\n", "REPEATSALLOWED_3=TRUE\r\n", "PLAYED_3=\r\n",
                           "PLAYED_5=2,1\r\n", "REPEATSALLOWED_5=FALSE\r\n"})
    EXPECT_TRUE(text.contains(line)) << line;
}

}  // namespace
