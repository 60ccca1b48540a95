// The options dialog: what it shows at load, the colour modes, the times, the highscore
// reset and the sound switches; and the ball pictures shaped to their outline.
#include <QImage>
#include <QPainter>
#include <set>

#include "FrmMainTestSupport.h"
#include "runtime/MsgBox.h"
#include "runtime/Numbers.h"
#include "runtime/RuntimeError.h"
#include "runtime/TabControl.h"
#include "settings/IniHandler.h"
#include "windows/PicTranzparence.h"
#include "windows/frmOptions.h"

namespace {

using Settings = std::map<QString, std::map<QString, QString>>;

class OptionsTest : public FrmMainTest {
 protected:
  void TearDown() override {
    rt::SetMsgBoxResponder({});
    options_.reset();
    FrmMainTest::TearDown();
  }

  // Opens the main window on a small board with the given keys, then the dialog.
  void OpenWith(Settings settings) {
    settings["GLOBAL"].insert({{"GameColumns", "4"}, {"GameRows", "4"}});
    settings["COLORS"].insert({"MaxBallsOnStart", "99"});
    WriteSettings(settings);
    Open();
    RecordCommands();
    options_ = std::make_unique<frmOptions>();
    options_->Show();
  }
  // Opens the dialog again, once the controls of its last opening are gone.
  void Reopen() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    options_->Show();
  }

  template <class T = QWidget>
  T& Opt(const QString& name) {
    auto* control = dynamic_cast<T*>(options_->findChild<QWidget*>(name));
    if (!control) throw std::runtime_error("no control " + name.toStdString());
    return *control;
  }
  rt::CheckBox& ColorBox(int i) { return Opt<rt::CheckBox>(QStringLiteral("chk_%1").arg(i)); }
  rt::CheckBox& Switch(int i) { return Opt<rt::CheckBox>(QStringLiteral("chkKidOption_%1").arg(i)); }
  rt::TextBox& TimeBox(int i) { return Opt<rt::TextBox>(QStringLiteral("txtParameters_%1").arg(i)); }
  rt::CommandButton& Button(const QString& name) { return Opt<rt::CommandButton>(name); }
  void Press(const QString& name) { Button(name).click(); }

  std::set<int> TickedColors() {
    std::set<int> ticked;
    for (int i = 0; i <= 10; ++i)
      if (ColorBox(i).Value() == rt::kChecked) ticked.insert(i);
    return ticked;
  }

  // Answers every message box with answer and keeps what it was asked.
  void AnswerBoxes(int answer) {
    rt::SetMsgBoxResponder([this, answer](const rt::MsgBoxRequest& request) {
      boxes_.push_back(request);
      return answer;
    });
  }

  // The command words written into the main window's command box.
  void RecordCommands() {
    auto& box = Control<rt::TextBox>(QStringLiteral("txtCommand"));
    box.Change = [this, &box, handler = box.Change] {
      if (!box.Text().isEmpty()) commands_.push_back(box.Text());
      if (handler) handler();
    };
  }

  std::unique_ptr<frmOptions> options_;
  std::vector<rt::MsgBoxRequest> boxes_;
  std::vector<QString> commands_;
};

TEST_F(OptionsTest, LoadShowsTheSettings) {
  OpenWith({{"GLOBAL", {{"HIGHSCORE", "250"}, {"ALLOWTIMESETTINGSEDIT", "TRUE"}, {"LASTOPTIONSTAB", "1"}}},
            {"COLORS", {{"COLORCHOICE", "1"}, {"BALLCOLORS", "5"}}},
            {"TIMES", {{"RESTRICTEDTIME", "1830"}, {"TOLERANCETIME", "30"}}},
            {"SOUND", {{"EFFECTS", "FALSE"}, {"COMMENTS", "FALSE"}}}});
  EXPECT_EQ(Opt<rt::TabControl>("tabOptions").Tab(), 1);
  EXPECT_TRUE(Opt<rt::OptionButton>("optColors_1").Value());
  for (int i = 0; i <= 10; ++i) EXPECT_FALSE(ColorBox(i).Enabled()) << "colour box " << i;
  const std::vector<int> switches{Switch(0).Value(), Switch(1).Value(), Switch(2).Value(), Switch(3).Value()};
  EXPECT_EQ(switches, (std::vector<int>{1, 0, 1, 0}));
  EXPECT_TRUE(Opt<rt::Frame>("fraSoundB").Enabled());
  EXPECT_EQ(TimeBox(0).Text(), "30");
  EXPECT_EQ(TimeBox(1).Text(), "30");
  EXPECT_TRUE(Button("cmdTimeStandard").Enabled()) << "1830 s are no standard time, though they show as 30 min";
  EXPECT_TRUE(Button("cmdResetHighscore").Enabled());
  EXPECT_TRUE(Opt<rt::Label>("lblParameters_2").Caption().startsWith("Hinweis:\rDie Toleranzzeit"));

  const auto& ball = Opt<rt::PictureBox>("picItem_7");
  EXPECT_EQ(ball.Left(), 1755);
  EXPECT_EQ(ball.Top(), 2745);
  EXPECT_FALSE(ball.mask().contains(QPoint(0, 0))) << "the white corner is cut away";
  EXPECT_TRUE(ball.mask().contains(QPoint(16, 16)));
}

TEST_F(OptionsTest, StoredColourListTicksItsBoxes) {
  struct Case {
    const char* name;
    QString ballColors;
    std::vector<QString> list;
    std::set<int> ticked;
  };
  const std::vector<Case> cases{
      {"no list", "5", {}, {}},
      {"no list, one colour", "1", {}, {0}},
      {"one entry", "5", {"4"}, {4}},
      {"three of five entries", "5", {"3", "5", "6"}, {0, 3, 5, 6}},
      {"a number without a box", "5", {"12", "5", "6", "7", "8"}, {5, 6, 7, 8}},
  };
  for (const Case& c : cases) {
    std::map<QString, QString> colors{{"BALLCOLORS", c.ballColors}, {"COLORCHOICE", "2"}};
    for (size_t n = 0; n < c.list.size(); ++n) colors["CHOOSECOLOR" + QString::number(n + 1)] = c.list[n];
    OpenWith({{"COLORS", colors}});
    EXPECT_EQ(TickedColors(), c.ticked) << c.name;
    EXPECT_TRUE(ColorBox(10).Enabled()) << c.name;
    options_.reset();
  }
}

TEST_F(OptionsTest, ChosenColoursNeedExactlyTheNumberInPlay) {
  struct Case {
    const char* name;
    std::set<int> ticked;
    const char* prompt;
  };
  const Case cases[] = {
      {"one too few", {2, 5, 7, 8}, "4 Farben wurden markiert!\r5 Farben werden benötigt!"},
      {"one too many", {0, 2, 5, 7, 8, 10}, "6 Farben wurden markiert!\r5 Farben werden benötigt!"},
  };
  const std::set<int> fitting{2, 5, 7, 8, 10};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boxes_.clear();
    commands_.clear();
    OpenWith({{"COLORS", {{"BALLCOLORS", "5"}, {"COLORCHOICE", "0"}}}});
    AnswerBoxes(rt::kAnswerOk);
    Opt<rt::OptionButton>("optColors_2").click();
    for (int i : c.ticked) ColorBox(i).click();
    Press("cmdOK");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].prompt, QString::fromUtf8(c.prompt));
    EXPECT_EQ(boxes_[0].style, 64);
    EXPECT_TRUE(options_->IsLoaded());
    EXPECT_EQ(ColorChoice, 0);
    EXPECT_EQ(ReadIniValue("COLORS", "COLORCHOICE"), "0");
    EXPECT_EQ(ReadIniValue("GLOBAL", "LASTOPTIONSTAB"), "0") << "the refused OK has written the tab";

    for (int i = 0; i <= 10; ++i)
      if (c.ticked.count(i) != fitting.count(i)) ColorBox(i).click();
    Press("cmdOK");
    EXPECT_FALSE(options_->IsLoaded());
    EXPECT_EQ(ColorChoice, 2);
    EXPECT_EQ(ReadIniValue("COLORS", "COLORCHOICE"), "2");
    QStringList list;
    for (int n = 1; n <= 5; ++n) list << ReadIniValue("COLORS", "CHOOSECOLOR" + QString::number(n));
    EXPECT_EQ(list, QStringList({"2", "5", "7", "8", "10"}));
    EXPECT_EQ(commands_, std::vector<QString>{"TIMEREFRESH"});
    options_.reset();
  }
}

TEST_F(OptionsTest, OtherModesLeaveTheColourListAlone) {
  OpenWith({{"COLORS", {{"BALLCOLORS", "2"}, {"COLORCHOICE", "2"}, {"CHOOSECOLOR1", "3"}, {"CHOOSECOLOR2", "4"}}}});
  Opt<rt::OptionButton>("optColors_1").click();
  EXPECT_FALSE(ColorBox(3).Enabled());
  ColorBox(3).setChecked(false);
  Press("cmdOK");
  EXPECT_EQ(ColorChoice, 1);
  EXPECT_EQ(ReadIniValue("COLORS", "COLORCHOICE"), "1");
  EXPECT_EQ(ReadIniValue("COLORS", "CHOOSECOLOR1"), "3");
}

TEST_F(OptionsTest, TimesCountByTheirLeadingNumber) {
  struct Case {
    QString limit, tolerance, writtenLimit, writtenTolerance;
  };
  const std::vector<Case> cases{
      {"30", "30", "1800", "30"}, {"45x", "7", "2700", "7"}, {"", "", "0", "0"},
      {"-1", "5", "-60", "5"},    {"1.5", "9", "90", "9"},   {"abc", "2a", "0", "2"},
  };
  OpenWith({{"GLOBAL", {{"ALLOWTIMESETTINGSEDIT", "TRUE"}}}});
  for (const Case& c : cases) {
    const QString name = c.limit + " / " + c.tolerance;
    TimeBox(0).SetText(c.limit);
    TimeBox(1).SetText(c.tolerance);
    Press("cmdOK");
    EXPECT_EQ(ReadIniValue("TIMES", "RESTRICTEDTIME"), c.writtenLimit) << name.toStdString();
    EXPECT_EQ(ReadIniValue("TIMES", "TOLERANCETIME"), c.writtenTolerance) << name.toStdString();
    EXPECT_EQ(RestrictedTime, rt::Val(c.writtenLimit)) << name.toStdString();
    EXPECT_EQ(ToleranceTime, rt::Val(c.writtenTolerance)) << name.toStdString();
    Reopen();
  }
}

TEST_F(OptionsTest, LockedTimesStillBecomeWholeMinutes) {
  OpenWith({{"GLOBAL", {{"ALLOWTIMESETTINGSEDIT", "FALSE"}}},
            {"TIMES", {{"RESTRICTEDTIME", "1830"}, {"TOLERANCETIME", "20"}}}});
  EXPECT_FALSE(TimeBox(0).Enabled());
  EXPECT_FALSE(TimeBox(1).Enabled());
  EXPECT_FALSE(Button("cmdTimeStandard").Enabled());
  Press("cmdOK");
  EXPECT_EQ(ReadIniValue("TIMES", "RESTRICTEDTIME"), "1800");
  EXPECT_EQ(ReadIniValue("TIMES", "TOLERANCETIME"), "20");
}

TEST_F(OptionsTest, StandardButtonOffersTheStandardTimesWhenTheyDiffer) {
  OpenWith({{"GLOBAL", {{"ALLOWTIMESETTINGSEDIT", "TRUE"}}},
            {"TIMES", {{"RESTRICTEDTIME", "1800"}, {"TOLERANCETIME", "30"}}}});
  EXPECT_FALSE(Button("cmdTimeStandard").Enabled());
  TimeBox(0).SetText("20");
  EXPECT_TRUE(Button("cmdTimeStandard").Enabled());
  Press("cmdTimeStandard");
  EXPECT_EQ(TimeBox(0).Text(), "30");
  EXPECT_EQ(TimeBox(1).Text(), "30");
  EXPECT_FALSE(Button("cmdTimeStandard").Enabled());
}

TEST_F(OptionsTest, HighscoreResetIsUndoneByCancelAndTheCloseBox) {
  OpenWith({{"GLOBAL", {{"HIGHSCORE", "250"}}}});
  AnswerBoxes(rt::kAnswerNo);
  Press("cmdResetHighscore");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].prompt,
            QString::fromUtf8("Wollen Sie den HighScore von 250 Punkten tatsächlich auf Null zurücksetzen?"));
  EXPECT_EQ(boxes_[0].style, 36);
  EXPECT_EQ(boxes_[0].title, "Quonk-Tirrel");
  EXPECT_EQ(Highscore, 250);
  EXPECT_TRUE(commands_.empty());

  AnswerBoxes(rt::kAnswerYes);
  Press("cmdResetHighscore");
  EXPECT_EQ(Highscore, 0);
  EXPECT_TRUE(Button("cmdResetHighscore").Enabled());
  Press("cmdCancel");
  EXPECT_EQ(Highscore, 250);
  EXPECT_EQ(commands_, (std::vector<QString>{"ShowHighscore", "ShowHighScore"}));
  EXPECT_EQ(ReadIniValue("GLOBAL", "LASTOPTIONSTAB"), "") << "Cancel writes nothing";

  Reopen();
  Press("cmdResetHighscore");
  options_->RequestClose(rt::kCloseBox);
  EXPECT_FALSE(options_->IsLoaded());
  EXPECT_EQ(Highscore, 250);

  Reopen();
  Press("cmdResetHighscore");
  Press("cmdOK");
  EXPECT_EQ(Highscore, 0);
  Reopen();
  EXPECT_FALSE(Button("cmdResetHighscore").Enabled());
}

TEST_F(OptionsTest, SoundSwitchesAndTheTabAreTakenOver) {
  OpenWith({});
  Opt<rt::TabControl>("tabOptions").SetTab(1);
  Switch(0).click();
  EXPECT_FALSE(Opt<rt::Frame>("fraSoundB").Enabled());
  for (int i = 1; i <= 3; ++i) EXPECT_FALSE(Switch(i).Enabled()) << "switch " << i;
  EXPECT_EQ(Switch(2).Value(), rt::kChecked);
  Switch(3).SetValue(rt::kUnchecked);
  Press("cmdOK");
  EXPECT_FALSE(SoundOn);
  EXPECT_TRUE(EffectsOn);
  EXPECT_TRUE(LearnMode);
  EXPECT_FALSE(CommentsOn);
  EXPECT_EQ(ReadIniValue("GLOBAL", "LASTOPTIONSTAB"), "1");
  Reopen();
  EXPECT_EQ(Opt<rt::TabControl>("tabOptions").Tab(), 1);
}

// ---- tab control ----

class TabForm : public rt::Form {
 public:
  TabForm() : Form("frmTabs") {}
  rt::TabControl* tabs = nullptr;
  rt::PictureBox* box = nullptr;

 protected:
  void Design() override {
    SetClientSize(4800, 4800);
    tabs = new rt::TabControl(this, "tabs", 2);
    tabs->Move(150, 150, 4500, 4500);
    box = new rt::PictureBox(tabs->TabPage(1), "box");
    box->Move(300, 600, 480, 480);
  }
};

TEST(TabControl, PositionsCountFromTheWholeControlAndClickFollowsTheTab) {
  TabForm form;
  form.Show();
  int clicks = 0;
  form.tabs->Click = [&clicks] { ++clicks; };
  form.tabs->SetTab(1);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(form.box->isVisibleTo(&form));
  EXPECT_EQ(form.box->mapTo(form.tabs, QPoint(0, 0)), QPoint(20, 40));
  EXPECT_THROW(form.tabs->SetTab(2), rt::RuntimeError);
}

// ---- shaped pictures ----

// A picture drawn from rows of text: '.' white, '#' red, '~' white but one bit off.
rt::Picture PictureOf(const std::vector<QString>& rows) {
  QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QChar c = rows[static_cast<size_t>(y)][x];
      image.setPixel(x, y, c == '.' ? 0xFFFFFFu : c == '#' ? 0xFF0000u : 0xFFFFFEu);
    }
  return rt::Picture(QPixmap::fromImage(image));
}

TEST(PicTranzparence, RegionHoldsTheRunsOfOtherColours) {
  struct Case {
    const char* name;
    std::vector<QString> rows;
    std::vector<QRect> runs;
  };
  const std::vector<Case> cases{
      {"all background", {"...", "..."}, {}},
      {"run to the right edge", {".##", "..."}, {QRect(1, 0, 2, 1)}},
      {"one bit off counts as ball", {"..~", "..."}, {QRect(2, 0, 1, 1)}},
      {"one rectangle per run", {".#.#", "##.."}, {QRect(1, 0, 1, 1), QRect(3, 0, 1, 1), QRect(0, 1, 2, 1)}},
  };
  QWidget parent;
  for (const Case& c : cases) {
    rt::PictureBox box(&parent, "picItem");
    box.SetAutoSize(true);
    box.SetPicture(PictureOf(c.rows));
    QRegion expected;
    for (const QRect& run : c.runs) expected += run;
    EXPECT_EQ(RegionFromPicture(box), expected) << c.name;
  }
  rt::PictureBox empty(&parent, "picItem");
  empty.Move(0, 0, 0, 0);
  EXPECT_TRUE(RegionFromPicture(empty).isEmpty());
}

TEST(PicTranzparence, ShapedBoxKeepsItsPlaceAndTakesClicksOnlyOnTheBall) {
  QWidget parent;
  parent.resize(400, 400);
  rt::PictureBox ball(&parent, "picItem");
  ball.Move(675, 1485, 900, 900);
  ball.SetBorderStyle(1);
  ball.SetPicture(PictureOf({"....", ".##.", ".##.", "...."}));
  MakePictureTransparent(ball);
  EXPECT_EQ(ball.Left(), 675);
  EXPECT_EQ(ball.Top(), 1485);
  EXPECT_EQ(ball.Width(), 60);
  EXPECT_EQ(ball.BorderStyle(), 0);
  const QPoint origin = ball.pos();
  EXPECT_EQ(parent.childAt(origin + QPoint(1, 1)), &ball);
  EXPECT_EQ(parent.childAt(origin), nullptr);

  rt::PictureBox blank(&parent, "picItem");
  blank.SetPicture(PictureOf({"..", ".."}));
  MakePictureTransparent(blank);
  EXPECT_EQ(parent.childAt(blank.pos() + QPoint(1, 1)), nullptr) << "an empty outline takes no clicks";
}

}  // namespace
