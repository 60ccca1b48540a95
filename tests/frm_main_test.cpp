// The main window's layout, menus, keys, score panel and close paths.
#include <QMenuBar>
#include <QTimer>

#include "FrmMainTestSupport.h"
#include "game/ScoreDisplay.h"
#include "msgbox/MsgBoxCall.h"
#include "runtime/Events.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "settings/IniHandler.h"
#include "settings/Settings.h"
#include "windows/frmGameExplanation.h"
#include "windows/frmOptions.h"
#include "windows/frmTitle.h"

namespace {

using FrmMainLayout = FrmMainTest;
using FrmMainScore = FrmMainTest;
using FrmMainMenus = FrmMainTest;

// The windows the menus open modally, each held by the test, so that the menu opens this
// one; each case closes the window it opened.
class FrmMainDialogs : public FrmMainTest {
 protected:
  void SetUp() override {
    FrmMainTest::SetUp();
    QFile::link(QStringLiteral(QUONK_PROGRAM_DIR "/tutorial"), dir_.path() + QStringLiteral("/tutorial"));
    title_ = std::make_unique<frmTitle>();
    options_ = std::make_unique<frmOptions>();
    tutorial_ = std::make_unique<frmGameExplanation>();
  }
  void TearDown() override {
    tutorial_.reset();
    options_.reset();
    title_.reset();
    InfoMode = false;
    FrmMainTest::TearDown();
  }

  // Runs open, which shows a window modally, and whileOpen once that window has had its
  // activation, inside the window's modal loop; whileOpen closes (or hides) the window. Returns when
  // open has returned. A window left open is closed here, and one still open after a
  // generous real-time guard too, so that no mistake leaves the test waiting.
  void WhileModal(const std::function<void()>& open, const QString& window,
                  const std::function<void(rt::Form&)>& whileOpen) {
    QObject context;
    bool returned = false;
    bool checked = false;
    QMetaObject::invokeMethod(
        &context,
        [&] {
          checked = true;
          for (int i = 0; i < 5; ++i) rt::DoEvents();
          EXPECT_FALSE(returned) << "the caller went on before the window closed";
          rt::Form* form = rt::Form::Loaded(window);
          if (!form) {
            ADD_FAILURE() << window.toStdString() << " is not open";
            return;
          }
          EXPECT_TRUE(form->isVisible());
          EXPECT_TRUE(form->isModal());
          EXPECT_EQ(rt::Screen::MousePointer(), rt::kPointerDefault) << "no hourglass left while the window shows";
          try {
            whileOpen(*form);
          } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
          }
          if (form->isVisible()) {
            ADD_FAILURE() << window.toStdString() << " left open";
            form->Unload();
          }
        },
        Qt::QueuedConnection);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &context, [&] {
      ADD_FAILURE() << window.toStdString() << " still open";
      for (rt::Form* leftover : rt::Form::LoadedForms())
        if (leftover != form_.get()) leftover->Unload();
    });
    guard.start(10000);
    open();
    returned = true;
    rt::DoEvents();
    EXPECT_TRUE(checked);
    const rt::Form* after = rt::Form::Loaded(window);
    EXPECT_FALSE(after && after->isVisible());
  }
  void ChooseModal(const QString& item, const QString& window, const std::function<void(rt::Form&)>& whileOpen) {
    WhileModal([&] { Choose(item); }, window, whileOpen);
  }

  // How often the shut-up switch was explained in two message boxes after each other.
  int ShutUpExplanationsInTwoBoxes() {
    const size_t from = SoundCount();
    for (int box = 0; box < 2; ++box)
      WhileModal([] { FMsgB(QStringLiteral("Weiter?"), rt::kOkOnly); }, QStringLiteral("frmMsg"),
                 [](rt::Form& msg) { Inside<rt::CommandButton>(msg, QStringLiteral("cmd_0")).click(); });
    const std::vector<QString> spoken = SpokenSince(from);
    return static_cast<int>(std::count(spoken.begin(), spoken.end(), QStringLiteral("slip")));
  }

  template <class T>
  static T& Inside(rt::Form& form, const QString& name) {
    auto* control = form.findChild<T*>(name);
    if (!control) throw std::runtime_error("no control " + name.toStdString());
    return *control;
  }

  std::unique_ptr<frmTitle> title_;
  std::unique_ptr<frmOptions> options_;
  std::unique_ptr<frmGameExplanation> tutorial_;
};

// The background picture is 384 x 416 pixels.
constexpr double kBackgroundWidth = 5760;
constexpr double kBackgroundHeight = 6240;

// The window's frame is added to its outer size when it is shown, after the layout: a
// centring by the outer size may be off by half the frame and one pixel of rounding.
double FrameAllowance(const frmMain& form) {
  return std::max(form.Width() - form.ScaleWidth(), form.Height() - form.ScaleHeight()) / 2 + rt::kTwipsPerPixel;
}

TEST_F(FrmMainLayout, PanelsAndWindowFollowTheDailyLimit) {
  struct Case {
    const char* name;
    const char* restrictedTime;
    double imageLeft;
    bool timeFrame;
  };
  const Case cases[] = {{"daily limit", "1800", 735, true}, {"no limit", "-1", 1665, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings({{"TIMES", {{"RESTRICTEDTIME", c.restrictedTime}}}});
    frmMain& form = Open();
    auto& score = Control<rt::Frame>("fraScore");
    auto& timeFrame = Control<rt::Frame>("fraTimeLeft");
    auto& image = Control<rt::Image>("imgBackground");
    auto& board = Control<rt::PictureBox>("picGameBackground");

    EXPECT_EQ(score.Top(), 225);
    EXPECT_EQ(image.Left(), c.imageLeft);
    EXPECT_EQ(image.Top(), 1905);
    EXPECT_EQ(image.Width(), kBackgroundWidth);
    EXPECT_EQ(timeFrame.Visible(), c.timeFrame);
    EXPECT_EQ(form.ScaleWidth(), c.imageLeft + kBackgroundWidth + 225);
    EXPECT_EQ(form.ScaleHeight(), kBackgroundHeight + 2130);
    // The score panel is narrower than the background: centred on the window. Its outer
    // size, which the centring uses, is known only once the window has been shown.
    EXPECT_NEAR(score.Left(), (form.ScaleWidth() - score.Width()) / 2, FrameAllowance(form));
    // The 11 x 12 board of 32-pixel balls, centred on the background.
    EXPECT_EQ(board.Width(), 11 * 480);
    EXPECT_EQ(board.Height(), 12 * 480);
    EXPECT_EQ(board.Left(), c.imageLeft + (kBackgroundWidth - 11 * 480) / 2);
    EXPECT_EQ(board.Top(), 1905 + (kBackgroundHeight - 12 * 480) / 2);
    if (c.timeFrame) {
      EXPECT_EQ(timeFrame.Left(), 135);
      EXPECT_EQ(timeFrame.Top(), 1905);
      EXPECT_EQ(timeFrame.Height(), kBackgroundHeight);
      EXPECT_EQ(form.TimeBarHeightTwips(), kBackgroundHeight - 270);
    }
  }
}

// The window holds the whole board. A board the screen cannot hold (the offscreen screen
// is 800 x 800) is played smaller in this run; the settings keep the size they hold.
TEST_F(FrmMainLayout, TheWindowHoldsTheWholeBoardAndFitsTheScreen) {
  struct Case {
    const char* name;
    int columns, rows;
    bool fits;
  };
  const Case cases[] = {{"wider and higher than the background", 20, 14, true},
                        {"larger than the screen", kMaxGameColumns, kMaxGameRows, false}};
  const QRect area = rt::Screen::AvailableAreas().first();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBoardSettings(c.columns, c.rows, 5, 40);
    frmMain& form = Open();
    auto& image = Control<rt::Image>("imgBackground");
    auto& board = Control<rt::PictureBox>("picGameBackground");
    const int columns = Game().CurrentBoard().Columns();
    const int rows = Game().CurrentBoard().Rows();
    EXPECT_EQ(board.Width(), columns * 480);
    EXPECT_EQ(board.Height(), rows * 480);
    EXPECT_EQ(form.ScaleWidth(), 1665 + columns * 480 + 225);
    EXPECT_EQ(form.ScaleHeight(), rows * 480 + 2130);
    EXPECT_EQ(board.Left(), image.Left());
    EXPECT_EQ(board.Top(), image.Top());
    EXPECT_LE(form.Width(), rt::Twips(area.width()));
    EXPECT_LE(form.Height(), rt::Twips(area.height()));
    if (c.fits) {
      EXPECT_EQ(columns, c.columns);
      EXPECT_EQ(rows, c.rows);
    } else {
      // As large as fits, but for the room kept for a frame not yet seen at the load.
      EXPECT_GT(form.Width() + 2 * 480, rt::Twips(area.width()));
      EXPECT_GT(form.Height() + 2 * 480, rt::Twips(area.height()));
    }
    SaveSettings(form, true);
    EXPECT_EQ(ReadIniValue("GLOBAL", "GAMECOLUMNS"), QString::number(c.columns));
    EXPECT_EQ(ReadIniValue("GLOBAL", "GAMEROWS"), QString::number(c.rows));
  }
}

// Settings that almost never pass the deal's test (a hand-edited file may hold them) cost
// the start no more time on screen than one board shown column by column.
TEST_F(FrmMainLayout, TheFirstDealShowsOneBoardWhateverTheSettings) {
  const struct { const char* name; int columns, rows, colours, maxStart; } cases[] = {
      {"the default board", 11, 12, 5, 8},
      {"two colours, largest group 2", 11, 12, 2, 2},
      {"the largest board in two colours", kMaxGameColumns, kMaxGameRows, 2, 8},
      {"30 x 20 in three colours", 30, 20, 3, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBoardSettings(c.columns, c.rows, c.colours, c.maxStart);
    const int64_t before = clock_.MonotonicMs();
    const size_t sounds = SoundCount();
    Open();
    const int64_t onScreenMs = clock_.MonotonicMs() - before;
    // The largest board is played as large as the screen holds.
    const int columns = Game().CurrentBoard().Columns();
    EXPECT_EQ(onScreenMs, columns * EffectWait::DealColumn + EffectWait::DealEnd);
    const std::vector<QString> played = SoundsSince(sounds);
    EXPECT_EQ(std::count(played.begin(), played.end(), "setball"), columns);
    ExpectPicturesMatchBoard();
  }
}

TEST_F(FrmMainLayout, StartPosition) {
  const double screenWidth = rt::Screen::Width();
  const double screenHeight = rt::Screen::Height();
  struct Case {
    const char* name;
    double top, left;
    bool centred;
  };
  const Case cases[] = {{"top 0, left 0", 0, 0, true},
                        {"top 0, left 300", 0, 300, false},
                        {"left at the screen's width", 300, screenWidth, true},
                        {"top at the screen's height", screenHeight, 300, true},
                        {"partly left of the screen: moved in", 300, -600, false},
                        {"far left of and above the screen: moved in", -30000, -45000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings({{"GLOBAL", {{"PosTop", QString::number(c.top)}, {"Posleft", QString::number(c.left)}}}});
    frmMain& form = Open();
    if (c.centred) {
      EXPECT_NEAR(form.Left(), (screenWidth - form.Width()) / 2, FrameAllowance(form));
      EXPECT_NEAR(form.Top(), (screenHeight - form.Height()) / 2, FrameAllowance(form));
    } else {
      // Kept where the whole window is on the screen, else moved in as little as possible.
      EXPECT_EQ(form.Left(), std::max(c.left, 0.0));
      EXPECT_EQ(form.Top(), std::max(c.top, 0.0));
    }
  }
}

TEST_F(FrmMainMenus, MenuTreeAsFirstShown) {
  WriteSettings({{"SOUND", {{"SOUNDON", "FALSE"}}}});
  Open();
  struct Item {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool enabled;
  };
  const Item items[] = {{"menGameNew", "&Neu", "F2", true},
                        {"menRestoreOriginal", "&Anfangsstellung wiederherstellen", "F5", true},
                        {"menBackmove", "&Zug zurück", "Del", false},
                        {"menMoveForward", "Zug &vor", "Shift+Del", false},
                        {"menSound", "&Ton", "", true},
                        {"menOptions", "Einstellungen", "", true},
                        {"menQuit", "&Beenden", "", true},
                        {"menGameExplanation", "Spielerklärung", "", true},
                        {"menInfo", "&Info", "", true}};
  for (const Item& item : items) {
    SCOPED_TRACE(item.name);
    const QAction& action = MenuAction(item.name);
    EXPECT_EQ(action.text(), QString::fromUtf8(item.caption));
    EXPECT_EQ(action.shortcut().toString(), QString::fromUtf8(item.shortcut));
    EXPECT_EQ(Menu(item.name).Enabled(), item.enabled);
  }
  // The menus show the German key names, from Qt's own translation.
  ASSERT_TRUE(rt::UseGermanQtTexts());
  EXPECT_EQ(MenuAction("menBackmove").shortcut().toString(QKeySequence::NativeText), "Entf");
  EXPECT_EQ(MenuAction("menMoveForward").shortcut().toString(QKeySequence::NativeText), "Umschalt+Entf");
  EXPECT_FALSE(Menu("menSound").Checked());
  Choose("menSound");
  EXPECT_TRUE(Menu("menSound").Checked());
  EXPECT_TRUE(SoundOn);
}

TEST_F(FrmMainMenus, QuitIsIgnoredDuringAWaitAndSavesOtherwise) {
  WriteSettings({{"GLOBAL", {{"GameColumns", "5"}}}, {"SPEECH", {{"SPEECHPATH", "\\voices\\"}}}});
  frmMain& form = Open();
  SoundBusy = true;
  Choose("menQuit");
  EXPECT_TRUE(form.IsLoaded());
  SoundBusy = false;
  Choose("menQuit");
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_EQ(ReadIniValue("GLOBAL", "GAMECOLUMNS"), "5");
  EXPECT_EQ(ReadIniValue("SPEECH", "SPEECHPATH"), "\\voices\\");
}

TEST_F(FrmMainMenus, DelBeforeTheFirstMoveClearsTheMarkedGroup) {
  Open();
  Click(AnyGroup());
  ASSERT_TRUE(PointsLabel().Visible());
  PressKey(Qt::Key_Delete);
  EXPECT_FALSE(PointsLabel().Visible());
  EXPECT_TRUE(Game().MarkedPics().empty());
}

TEST_F(FrmMainMenus, ShiftF6TellsTheLargestGroup) {
  Open();
  Click(AnyGroup());
  std::vector<FMsgBRequest> boxes;
  SetFMsgBResponder([&](const FMsgBRequest& request) {
    boxes.push_back(request);
    return int16_t{rt::kAnswerOk};
  });
  PressKey(Qt::Key_F6, Qt::ShiftModifier);
  PressKey(Qt::Key_F6, Qt::ShiftModifier | Qt::ControlModifier);
  ASSERT_EQ(boxes.size(), 1u);
  // The menu bar holds the focus, as after a menu opened with the mouse; the closing box
  // leaves none: the key press that travels on to the window is the same one.
  auto* bar = Form().findChild<QMenuBar*>();
  ASSERT_TRUE(bar);
  Form().activateWindow();
  rt::DoEvents();
  bar->setFocus();
  SetFMsgBResponder([&](const FMsgBRequest& request) {
    boxes.push_back(request);
    if (QApplication::focusWidget()) QApplication::focusWidget()->clearFocus();
    return int16_t{rt::kAnswerOk};
  });
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F6, Qt::ShiftModifier);
  QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : bar, &press);
  SetFMsgBResponder({});
  ASSERT_EQ(boxes.size(), 2u) << "one box per key press";
  Board board = Game().CurrentBoard();
  int16_t size = 0;
  EXPECT_EQ(boxes[0].prompt, QStringLiteral("Maximale Anzahl von verbundenen Bällen: %1").arg(BestGroupSize(board, size)));
  EXPECT_EQ(boxes[0].buttons, rt::kOkOnly | rt::kInformationSign);
  EXPECT_FALSE(boxes[0].explainButtons);
  EXPECT_TRUE(Game().MarkedPics().empty());
}

// The about box from "Info" shows what only the about box shows and runs nothing of the
// program's start (that would speak the start comment and close the window with its
// goodbye sound); it comes again at every choice. Learn mode stays off: the tutorial that
// a start arms would open a window of its own.
TEST_F(FrmMainDialogs, InfoShowsTheAboutBox) {
  WriteSettings({{"SOUND", {{"LEARNMODE", "FALSE"}, {"COMMENTS", "TRUE"}}}, {"TIMES", {{"RESTRICTEDTIME", "-1"}}}});
  Open();
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    const size_t sounds = SoundCount();
    const int64_t startMs = clock_.MonotonicMs();
    ChooseModal("menInfo", "frmTitle", [&](rt::Form& about) {
      rt::IdleMs(3000);
      ASSERT_TRUE(about.IsLoaded()) << "the about box does not close by itself";
      EXPECT_TRUE(Inside<rt::Label>(about, "lblCopyright_0").Visible());
      EXPECT_TRUE(Inside<rt::Label>(about, "lblPlayTime").Visible());
      EXPECT_TRUE(SoundsSince(sounds).empty()) << "no start comment, no goodbye sound";
      Inside<rt::CommandButton>(about, "cmdExit").click();
    });
    EXPECT_EQ(clock_.MonotonicMs() - startMs, 3000);
    EXPECT_TRUE(SoundsSince(sounds).empty());
  }
}

TEST_F(FrmMainDialogs, TheTutorialPlaysInItsWindowUntilOK) {
  WriteSettings({{"TIMES", {{"RESTRICTEDTIME", "-1"}}}});
  Open();
  const size_t sounds = SoundCount();
  ChooseModal("menGameExplanation", "frmGameExplanation", [&](rt::Form& tutorial) {
    EXPECT_EQ(tutorial.Caption(), QString::fromUtf8("Quonk-Tirrel - Spielerklärung"));
    const std::vector<QString> heard = SoundsSince(sounds);
    EXPECT_EQ(heard.empty() ? QString() : heard.front(), "tut01") << "the tutorial started by itself";
    Inside<rt::CommandButton>(tutorial, "cmdOK").click();
  });
  EXPECT_EQ(SoundsSince(sounds).back(), "tut09");
}

// The options dialog may switch learn mode: with it on, the shut-up switch may be
// explained once more at the next box; with it off, not at all. The sound menu's tick
// follows the dialog's sound switch.
TEST_F(FrmMainDialogs, TheOptionsDialogsSwitchesReachTheMenuAndTheShutUpExplanation) {
  struct Case {
    const char* name;
    bool learnBefore;
    bool learnAfter;
    bool soundAfter;
    bool explainedAfter;
  };
  const Case cases[] = {
      {"learn mode switched on", false, true, true, true},
      {"learn mode kept on", true, true, true, true},
      {"learn mode switched off", true, false, true, false},
      {"sound switched off", true, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings({{"SOUND", {{"SOUNDON", "TRUE"}, {"COMMENTS", "TRUE"}, {"LEARNMODE", c.learnBefore ? "TRUE" : "FALSE"}}},
                   {"TIMES", {{"RESTRICTEDTIME", "-1"}}}});
    Open();
    // In learn mode a box explains its buttons and then the shut-up switch, that once in a run.
    EXPECT_EQ(ShutUpExplanationsInTwoBoxes(), c.learnBefore ? 1 : 0);

    ChooseModal("menOptions", "frmOptions", [&](rt::Form& options) {
      Inside<rt::CheckBox>(options, "chkKidOption_2").SetValue(c.learnAfter ? rt::kChecked : rt::kUnchecked);
      Inside<rt::CheckBox>(options, "chkKidOption_0").SetValue(c.soundAfter ? rt::kChecked : rt::kUnchecked);
      Inside<rt::CommandButton>(options, "cmdOK").click();
    });
    EXPECT_EQ(Menu("menSound").Checked(), c.soundAfter);
    EXPECT_EQ(ShutUpExplanationsInTwoBoxes(), c.explainedAfter ? 1 : 0);
  }
}

TEST_F(FrmMainScore, NumbersAndBarsAfterAMove) {
  struct Case {
    int highscore;
    const char* highscoreText;
    bool barsVisible;
  };
  const Case cases[] = {{0, "0000", false}, {56, "0056", true}, {12345, "12345", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.highscore);
    WriteBoardSettings(11, 12, 5, 8, c.highscore);
    frmMain& form = Open();
    EXPECT_EQ(Control<rt::Label>("lblScore_2").Caption(), c.highscoreText);
    EXPECT_EQ(Control<rt::Label>("lblScore_3").Caption(), "0000");
    const int16_t ball = AnyGroup();
    Click(ball);
    Click(ball);
    const int32_t score = Game().Score();
    ASSERT_GT(score, 0);
    EXPECT_EQ(Control<rt::Label>("lblScore_3").Caption(), QString::fromStdString(ScoreText(score)));

    auto& highscoreBar = Control<rt::PictureBox>("picPercentScore_0");
    auto& scoreBar = Control<rt::PictureBox>("picPercentScore_1");
    EXPECT_EQ(highscoreBar.Visible(), c.barsVisible);
    EXPECT_EQ(scoreBar.Visible(), c.barsVisible);
    if (!c.barsVisible) continue;
    const double full = form.PercentBarWidthTwips();
    const bool passed = score > c.highscore;
    const float pct = static_cast<float>(100.0 * (passed ? c.highscore : score) / (passed ? score : c.highscore));
    const rt::PictureBox& shorter = passed ? highscoreBar : scoreBar;
    const rt::PictureBox& longer = passed ? scoreBar : highscoreBar;
    EXPECT_EQ(longer.Width(), full);
    EXPECT_EQ(longer.BackColor(), ColorForPercent(0));
    EXPECT_NEAR(shorter.Width(), pct / 100 * full, 0.01);
    EXPECT_EQ(shorter.BackColor(), ColorForPercent(100 - pct));
  }
}

}  // namespace
