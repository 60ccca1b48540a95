// The title window: the start-up sequence with its goodbye sound and commands, the about
// box, the play-time text and the web link.
#include <QDir>
#include <algorithm>
#include <QKeyEvent>
#include <optional>

#include <csignal>

#include "FrmMainTestSupport.h"
#include "ProgramEnd.h"
#include "TempFolder.h"
#include "runtime/Events.h"
#include "runtime/Form.h"
#include "runtime/Programs.h"
#include "settings/IniHandler.h"
#include "windows/ClickAndBrowse.h"
#include "windows/frmTitle.h"

namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) rt::DoEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A main window that reports its load and every command word written to it.
class ReportingMain : public frmMain {
 public:
  std::function<void()> onLoadBegin;
  std::function<void(const QString&)> onCommand;

 protected:
  void Design() override {
    frmMain::Design();
    auto* box = findChild<rt::TextBox*>(QStringLiteral("txtCommand"));
    box->Change = [this, box, carryOut = box->Change] {
      if (!box->Text().isEmpty() && onCommand) onCommand(box->Text());
      carryOut();
    };
  }
  void Form_Load() override {
    onLoadBegin();
    frmMain::Form_Load();
  }
};

struct Command {
  QString word;
  double atSeconds;
  bool mainShown;
  bool titleLoaded;
  size_t goodbyeSounds;  // "Delballs" played before the command
};

class TitleTest : public FrmMainTest {
 protected:
  void TearDown() override {
    title_.reset();
    InfoMode = false;
    rt::SetProgramStarter(nullptr);
    FrmMainTest::TearDown();
  }

  // The program's start: the title window is shown and activated.
  void StartProgram() {
    auto main = std::make_unique<ReportingMain>();
    main->onLoadBegin = [this] { loadBegin_ = rt::Timer(); };
    main->onCommand = [this](const QString& word) {
      commands_.push_back({word, rt::Timer(), form_->isVisible(), title_->IsLoaded(), GoodbyeSounds().size()});
    };
    form_ = std::move(main);
    title_ = std::make_unique<frmTitle>();
    title_->Show();
    Settle();
  }

  std::vector<rt::PlayRecord> GoodbyeSounds() const {
    std::vector<rt::PlayRecord> found;
    for (const rt::PlayRecord& record : sound_.Log())
      if (QFileInfo(record.file).fileName().compare(QStringLiteral("Delballs.wav"), Qt::CaseInsensitive) == 0)
        found.push_back(record);
    return found;
  }

  template <class T = QWidget>
  T& TitleControl(const QString& name) {
    auto* control = dynamic_cast<T*>(title_->findChild<QWidget*>(name));
    if (!control) throw std::runtime_error("no title control " + name.toStdString());
    return *control;
  }
  rt::Label& TitleLabel(const QString& name) { return TitleControl<rt::Label>(name); }

  std::unique_ptr<frmTitle> title_;
  std::vector<Command> commands_;
  double loadBegin_ = -1;
};

struct StartCase {
  const char* name;
  double startSeconds;
  std::optional<QString> soundOn;  // nullopt: the key is missing
  bool goodbyeSound;
};
// Test listings name the case instead of dumping its bytes.
void PrintTo(const StartCase& c, std::ostream* out) { *out << c.name; }

class TitleStartTest : public TitleTest, public ::testing::WithParamInterface<StartCase> {};

// Effects and comments are off in every case: the goodbye sound ignores those switches,
// and the main window's first deal and start comment then cost no time, so the title's
// 2.1 seconds start clean.
TEST_P(TitleStartTest, LoadsAndShowsTheMainWindowThenClosesWithSoundAndTutorialCommand) {
  const StartCase& c = GetParam();
  std::map<QString, QString> sound = {{"EFFECTS", "FALSE"}, {"COMMENTS", "FALSE"}, {"LEARNMODE", "FALSE"}};
  if (c.soundOn) sound["SOUNDON"] = *c.soundOn;
  WriteSettings({{"SOUND", sound}, {"TIMES", {{"RESTRICTEDTIME", "-1"}}}});
  clock_.Set(QDate(2007, 4, 23), c.startSeconds);

  StartProgram();
  ASSERT_EQ(commands_.size(), 1u);
  EXPECT_EQ(commands_[0].word, "ProgrammStart");
  EXPECT_TRUE(commands_[0].mainShown) << "the main window shows before it is told to start";
  EXPECT_TRUE(Form().IsLoaded());
  EXPECT_TRUE(title_->IsLoaded());
  for (const char* name : {"lblCopyright_0", "lblCopyright_1", "lblCopyright_2", "lblCopyright_3", "lblPlayTime"})
    EXPECT_FALSE(TitleLabel(name).Visible()) << name;
  EXPECT_FALSE(TitleControl<rt::CommandButton>("cmdExit").Visible());
  EXPECT_EQ(TitleLabel("lblVersion_1").Caption(), "Freeware-Version: 1.0.0");
  EXPECT_EQ(loadBegin_, c.startSeconds) << "no time passes before the main window loads";

  // Ticks every 250 ms from the start command: 2.0 s is too early, 2.25 s closes.
  rt::IdleMs(2000);
  EXPECT_TRUE(title_->IsLoaded());
  // The greeting outlasts the title's time: its timer, held meanwhile, may end it after.
  EXPECT_EQ(std::count_if(commands_.begin(), commands_.end(),
                          [](const Command& c) { return c.word == QStringLiteral("ProgrammStart"); }),
            1);
  rt::IdleMs(250);
  Settle();
  EXPECT_FALSE(title_->IsLoaded());
  ASSERT_EQ(commands_.size(), 2u);
  const Command& tutorial = commands_[1];
  EXPECT_EQ(tutorial.word, "PLAYTUTORIAL");
  EXPECT_TRUE(tutorial.titleLoaded) << "the command comes before the title closes";
  const double elapsed = std::fmod(tutorial.atSeconds - c.startSeconds + 86400, 86400);
  EXPECT_NEAR(elapsed, 2.25, 1e-3);
  const std::vector<rt::PlayRecord> goodbye = GoodbyeSounds();
  ASSERT_EQ(goodbye.size(), c.goodbyeSound ? 1u : 0u);
  if (c.goodbyeSound) {
    EXPECT_EQ(tutorial.goodbyeSounds, 1u) << "the sound plays before the command";
    EXPECT_EQ(goodbye[0].mode, rt::PlayMode::Async);
  }
  EXPECT_TRUE(Form().isVisible()) << "the main window stays";
}

INSTANTIATE_TEST_SUITE_P(Title, TitleStartTest,
                         ::testing::Values(StartCase{"SoundOnMissing", 36000, std::nullopt, true},
                                           StartCase{"SoundOnTrueJustBeforeMidnight", 86399, "TRUE", true},
                                           StartCase{"SoundOnLowerCaseFalse", 36000, "false", false},
                                           StartCase{"SoundOnUpperCaseFalse", 36000, "FALSE", false},
                                           StartCase{"SoundOnMixedCaseFalse", 36000, "False", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A close box on the title at any step of the start changes nothing: the start runs
// on and the title closes by itself at its time.
TEST_F(TitleTest, TheCloseBoxCannotCloseTheTitleDuringTheStart) {
  WriteSettings({{"SOUND", {{"EFFECTS", "FALSE"}, {"COMMENTS", "FALSE"}}}, {"TIMES", {{"RESTRICTEDTIME", "-1"}}}});
  auto main = std::make_unique<ReportingMain>();
  main->onLoadBegin = [this] { title_->close(); };
  main->onCommand = [this](const QString& word) {
    commands_.push_back({word, rt::Timer(), true, title_->IsLoaded(), 0});
    title_->close();
  };
  form_ = std::move(main);
  title_ = std::make_unique<frmTitle>();
  title_->Show();
  Settle();
  title_->close();
  EXPECT_TRUE(title_->IsLoaded());
  rt::IdleMs(2500);
  Settle();
  EXPECT_FALSE(title_->IsLoaded());
  ASSERT_EQ(commands_.size(), 2u);
  EXPECT_TRUE(commands_[0].titleLoaded && commands_[1].titleLoaded);
  EXPECT_TRUE(Form().isVisible());
}

TEST_F(TitleTest, StartUpRunsOnceAlthoughTheTitleIsActivatedAgain) {
  WriteSettings({{"SOUND", {{"EFFECTS", "FALSE"}, {"LEARNMODE", "FALSE"}}}, {"TIMES", {{"RESTRICTEDTIME", "-1"}}}});
  StartProgram();
  Form().activateWindow();
  Settle();
  title_->activateWindow();
  Settle();
  // The greeting outlasts the title's time: its timer, held meanwhile, may end it after.
  EXPECT_EQ(std::count_if(commands_.begin(), commands_.end(),
                          [](const Command& c) { return c.word == QStringLiteral("ProgrammStart"); }),
            1);
}

// The main window's first activation finds a time warning due; it waits for the greeting.
TEST_F(TitleTest, TheGreetingIsHeardWholeBeforeADueTimeWarning) {
  clock_.Set(QDate(2007, 4, 23), 36000);
  WriteSettings({{"SOUND", {{"EFFECTS", "FALSE"}, {"LEARNMODE", "FALSE"}, {"COMMENTS", "TRUE"}}},
                 {"TIMES",
                  {{"RESTRICTEDTIME", "1800"}, {"TOLERANCETIME", "30"}, {"LASTPLAYDATE", "23.04.2007"}, {"PLAYTIME", "900"}}}});
  StartProgram();
  Settle();
  const std::vector<QString> spoken = SpokenSince(0);
  ASSERT_EQ(spoken.size(), 2u);
  EXPECT_EQ(spoken[0], "sprg");
  EXPECT_TRUE(spoken[1].startsWith("sti")) << spoken[1].toStdString();
  ExpectNoRecordingCut();
  const QString greeting = QFileInfo(sound_.Log()[0].file).completeBaseName();
  EXPECT_EQ(Form().SpeechEntry(1).Played, "," + QString::number(greeting.right(4).toInt())) << "counted as heard";
}

TEST_F(TitleTest, AboutBoxShowsCopyrightLinkAndPlayTimeRunsNoStartUpAndReturnsOnOK) {
  InfoMode = true;
  AbsoluteTime = 90061;
  const QString browser = QStringLiteral("xdg-open");
  std::vector<QStringList> started;
  rt::SetProgramStarter([&](const QString& program, const QStringList& arguments) {
    started.push_back(QStringList{program} + arguments);
    return true;
  });
  title_ = std::make_unique<frmTitle>();

  QMetaObject::invokeMethod(
      qApp,
      [&] {
        rt::IdleMs(3000);
        EXPECT_TRUE(title_->IsLoaded()) << "the about box does not close by itself";
        EXPECT_EQ(rt::Form::Loaded(QStringLiteral("frmMain")), nullptr) << "no main window is loaded";
        for (int i = 0; i < 4; ++i) {
          const rt::Label& label = TitleLabel(QStringLiteral("lblCopyright_%1").arg(i));
          EXPECT_TRUE(label.Visible()) << i;
          EXPECT_EQ(label.Caption(), TitleLabel(QStringLiteral("lblCopyright_%1").arg(i ^ 1)).Caption()) << i;
        }
        EXPECT_EQ(TitleLabel("lblPlayTime").Caption(), "bisherige\rGesamtspielzeit:\r1 Tage 01:01:01");
        EXPECT_TRUE(TitleLabel("lblPlayTime").Visible());
        for (int i = 0; i < 4; ++i) TitleLabel(QStringLiteral("lblCopyright_%1").arg(i)).Click();
        const QString address = TitleLabel("lblCopyright_3").Caption();
        EXPECT_EQ(started, (std::vector<QStringList>{{browser, address}, {browser, address}}))
            << "only the web address opens, with its caption";
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QWidget* focus = QApplication::focusWidget();
        QApplication::sendEvent(focus ? focus : title_.get(), &enter);
      },
      Qt::QueuedConnection);
  title_->ShowModal();
  EXPECT_FALSE(title_->IsLoaded()) << "Enter presses OK, which closes the box";

  QMetaObject::invokeMethod(qApp, [&] { title_->close(); }, Qt::QueuedConnection);
  title_->ShowModal();
  EXPECT_FALSE(title_->IsLoaded()) << "the about box closes by its close box";
}

// A close request by signal at any moment of the start ends the program, and the settings
// file afterwards holds every key it held: either untouched (the request came while the
// main window was still loading) or saved from a state loaded in full.
TEST_F(TitleTest, ACloseRequestAtAnyMomentOfTheStartKeepsEverySetting) {
  GTEST_FLAG_SET(death_test_style, "fast");
  std::map<QString, QString> speech;
  for (int n = 1; n <= 32; ++n) {
    const QString number = QString::number(n);
    const bool repeats = n % 3 == 0;
    speech["PROBABILITY_" + number] = " " + QString::number(100 - n);
    speech["REPEATSALLOWED_" + number] = repeats ? "TRUE" : "FALSE";
    speech["PLAYED_" + number] = repeats ? "" : "1";
  }
  WriteSettings({{"GLOBAL", {{"HIGHSCORE", "777"}}},
                 {"TIMES", {{"RESTRICTEDTIME", "-1"}}},
                 {"SOUND", {{"LEARNMODE", "FALSE"}}},
                 {"SPEECH", speech}});
  IniFile = dir_.path() + QStringLiteral("/QT.Ini");
  const QByteArray before = TempFolder::Get(IniFile);
  const int kinds[] = {SIGTERM, SIGHUP, SIGINT};
  int untouched = 0, saved = 0;
  // The first deal's waits end at 590 ms, the start comment plays after them, the title
  // closes at 2.25 s.
  for (int atMs = 0; atMs <= 2600; atMs += atMs < 700 ? 25 : 100) {
    SCOPED_TRACE(testing::Message() << "close request at " << atMs << " ms");
    const int signal = kinds[(atMs / 25) % 3];
    EXPECT_EXIT(
        {
          ExpectProgramEnd();
          rt::InstallEndRequestHandlers();
          rt::ClockTimer request([signal] { std::raise(signal); });
          if (atMs == 0)
            std::raise(signal);
          else
            request.SetInterval(atMs);
          StartProgram();
          rt::IdleMs(3000);
          std::fprintf(stderr, "still running");
          std::_Exit(rt::Form::LoadedForms().isEmpty() ? 0 : 9);
        },
        ::testing::ExitedWithCode(0), "");
    const QByteArray after = TempFolder::Get(IniFile);
    if (after == before) {
      ++untouched;
      continue;
    }
    ++saved;
    EXPECT_NE(ReadIniValue("TIMES", "LASTPLAYDATE"), "") << "a whole save";
    EXPECT_EQ(ReadIniValue("GLOBAL", "HIGHSCORE"), "777");
    for (const auto& [key, value] : speech) {
      if (key == "PLAYED_1") continue;  // the start comment may have been spoken
      EXPECT_EQ(ReadIniValue("SPEECH", key), value.trimmed()) << key.toStdString();
    }
    TempFolder::Put(IniFile, before);
  }
  EXPECT_GT(untouched, 0);
  EXPECT_GT(saved, 0);
}

TEST(TitlePlayTime, DaysOnlyFromOneDaySecondsCutOff) {
  const struct {
    float seconds;
    const char* text;
  } cases[] = {{0, "00:00:00"},           {59.9f, "00:00:59"},          {2467, "00:41:07"},
               {3725.5f, "01:02:05"},     {86399.99f, "23:59:59"},      {86400, "1 Tage 00:00:00"},
               {90061, "1 Tage 01:01:01"}, {200000, "2 Tage 07:33:20"}, {3e9f, "34722 Tage 05:20:00"},
               {-5, "00:00:00"}};
  for (const auto& c : cases) EXPECT_EQ(TotalPlayTimeText(c.seconds), c.text) << c.seconds;
}

// The desktop's URL opener gets the address as its one argument, untouched; a failed
// start is as silent as a missing opener.
TEST(BrowseURL, StartsTheUrlOpenerWithTheAddressUnchanged) {
  const QString url = QStringLiteral("https://www.example.org/a b?x=1&y=\"2\"");
  for (const bool starts : {true, false}) {
    std::vector<QStringList> started;
    rt::SetProgramStarter([&](const QString& program, const QStringList& arguments) {
      started.push_back(QStringList{program} + arguments);
      return starts;
    });
    ClickAndBrowse::BrowseURL(url);
    EXPECT_EQ(started, (std::vector<QStringList>{{QStringLiteral("xdg-open"), url}})) << starts;
  }
  rt::SetProgramStarter(nullptr);
}

}  // namespace
