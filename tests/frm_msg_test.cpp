// The game's own message box: its layout, its answers and what it tells the main window.
#include <QTimer>

#include "FrmMainTestSupport.h"
#include "msgbox/MsgBoxCall.h"
#include "msgbox/frmMsg.h"
#include "runtime/Events.h"
#include "runtime/Screen.h"

namespace {

class FrmMsgTest : public FrmMainTest {
 protected:
  void SetUp() override {
    FrmMainTest::SetUp();
    WriteBoardSettings(5, 5, 3);
    Open();
    // What reaches the command box, read in place of the main window's handler and in
    // the order it would speak: on "SBUT" and "SLIP" it repaints the box before it speaks.
    rt::TextBox& command = Control<rt::TextBox>(QStringLiteral("txtCommand"));
    command.Change = [this, &command] {
      const QString word = command.Text();
      if (word.isEmpty()) return;
      if (word == "SBUT" || word == "SLIP") MsgForm().Refresh();
      sent_.push_back(word);
      command.SetText(QString());
    };
  }

  // Asks FMsgB without a title; inside runs in the open box once it has been activated and painted.
  int16_t Ask(const QString& prompt, int32_t style, const std::function<void()>& inside) {
    QTimer::singleShot(0, [&] {
      Settle();
      inside();
      if (!MsgForm().isVisible()) return;
      ADD_FAILURE() << "the box was left open";
      MsgForm().Hide();
    });
    const int16_t answer = FMsgB(prompt, style);
    // The window manager hands the activation back to the main window.
    Form().activateWindow();
    Settle();
    return answer;
  }

  static void Settle() {
    for (int i = 0; i < 5; ++i) rt::DoEvents();
  }

  template <class T = QWidget>
  static T& BoxControl(const QString& name) {
    auto* control = dynamic_cast<T*>(MsgForm().findChild<QWidget*>(name));
    if (!control) throw std::runtime_error("no control " + name.toStdString());
    return *control;
  }
  static rt::CommandButton& Button(int i) { return BoxControl<rt::CommandButton>(QStringLiteral("cmd_%1").arg(i)); }

  static void PressKey(int qtKey) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &MsgForm();
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
  }

  std::vector<QString> sent_;
};

TEST(MsgBoxLayout, FiguresOfTheBoxes) {
  // At 15 twips per pixel: sign 1380 x 1380, buttons 1080 x 1080, label 3405 wide.
  struct Case {
    const char* name;
    bool sign;
    double labelHeight;
    int16_t count;
    // label left, window width, inner height, row top, sign above, row width, first
    // left, second left, label top
    std::tuple<double, double, double, int32_t, bool, int32_t, int32_t, double, double> want;
  };
  const Case cases[] = {
      {"question, one line", true, 195, 2, {1620, 5265, 1755, 555, false, 2280, 2182, 3382, 120}},
      {"notice, one line", true, 195, 1, {1620, 5265, 1755, 555, false, 1080, 2782, 0, 120}},
      {"three buttons wider than the label", true, 195, 3, {1620, 5220, 1755, 555, false, 3480, 1658, 2858, 120}},
      {"seven lines: the sign ends above the row", true, 1365, 2, {1620, 5265, 2925, 1725, true, 2280, 1312, 2512, 120}},
      {"no sign", false, 195, 1, {120, 3645, 1755, 555, false, 1080, 1282, 0, 120}},
      {"no sign, three buttons", false, 195, 3, {120, 3720, 1755, 555, false, 3480, 158, 1358, 120}},
  };
  for (const Case& c : cases) {
    const MsgBoxLayout l = LayoutMsgBox({c.sign, 1380, 1380, 3405, c.labelHeight, 1080, 1080, c.count, 450});
    EXPECT_EQ(std::tuple(l.labelLeft, l.windowWidth, l.innerHeight, l.rowTop, l.signAbove, l.rowWidth, l.firstLeft,
                         c.count > 1 ? l.buttonLeft[1] : 0.0, l.labelTop),
              c.want)
        << c.name;
    EXPECT_EQ(l.windowHeight, l.innerHeight + 450) << c.name;
  }
}

TEST(MsgBoxLayout, ALaterSignFlagWins) {
  const std::pair<int32_t, int> cases[] = {{0, -1}, {4, -1}, {36, 1}, {48, 0}, {64, 3}, {80, 2}, {96, 1}};
  for (const auto& [style, picture] : cases) EXPECT_EQ(SignPictureIndex(style), picture) << "style " << style;
}

TEST_F(FrmMsgTest, TagsAndTheAnswersOfEnterAndEscape) {
  struct Case {
    int32_t style;
    std::vector<QString> tags;
    int16_t enter;
    int16_t escape;  // 0: Escape does nothing
  };
  const Case cases[] = {
      {0, {"OK"}, 1, 0},
      {36, {"&Ja", "&Nein"}, 6, 7},
      {64, {"OK"}, 1, 0},
      {1, {"OK", "&Abbrechen"}, 1, 2},
      {2, {"&Abbrechen", "&Wiederholen", "&Ignorieren"}, 2, 2},
      {35, {"&Ja", "&Nein", "&Abbrechen"}, 6, 2},
      {7, {"&Wiederholen", "&Abbrechen"}, 4, 2},
      {292, {"&Ja", "&Nein"}, 7, 7},
      {771, {"&Ja", "&Nein", "&Abbrechen"}, 2, 2},
      {5 + 512, {"&Wiederholen", "&Abbrechen"}, 4, 2},
  };
  for (const Case& c : cases) {
    std::vector<QString> shown;
    EXPECT_EQ(Ask("Neues Spiel?", c.style, [&] {
                for (int i = 0; i < 3; ++i)
                  if (Button(i).Visible()) shown.push_back(Button(i).Tag());
                PressKey(Qt::Key_Return);
              }),
              c.enter)
        << "style " << c.style;
    EXPECT_EQ(shown, c.tags) << "style " << c.style;
    bool escapeIgnored = false;
    const int16_t escape = Ask("Neues Spiel?", c.style, [&] {
      PressKey(Qt::Key_Escape);
      escapeIgnored = MsgForm().isVisible();
      if (escapeIgnored) Button(0).click();
    });
    EXPECT_EQ(escapeIgnored ? 0 : escape, c.escape) << "style " << c.style;
  }
}

TEST_F(FrmMsgTest, TheWindowTakesTheComputedLayout) {
  // A box before it, taller and wider: nothing of it stays. It also lets the window learn
  // its frame, which the platform tells only once a window has been shown.
  Ask("Eine lange Frage, die über mehrere Zeilen geht, damit der Kasten wächst.", 35, [&] {
    EXPECT_EQ(Button(2).Caption(), "Button");
    Button(2).click();
  });
  Ask("Neues Spiel?", 36, [&] {
    const auto& label = BoxControl<rt::Label>("lblmsg");
    const MsgBoxLayout l = LayoutMsgBox({true, 1380, 1380, 3405, label.Height(), 1080, 1080, 2, 0});
    EXPECT_EQ(std::tuple(label.Left(), label.Top(), MsgForm().Width(), MsgForm().ScaleHeight()),
              std::tuple(l.labelLeft, l.labelTop, l.windowWidth, l.innerHeight));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Button(i).Top(), l.rowTop) << "hidden buttons too";
    EXPECT_EQ(Button(0).Left(), l.firstLeft);
    EXPECT_EQ(Button(1).Left(), l.buttonLeft[1]);
    Button(1).click();
  });
  EXPECT_EQ(MsgForm().windowTitle(), "Quonk-Tirrel");
}

TEST_F(FrmMsgTest, SpeaksThePendingCommentFirstThenExplainsTheButtons) {
  MsgComment = 28;
  Ask("Laufendes Spiel abbrechen?", 36, [&] {
    MsgForm().Refresh();
    Button(0).click();
  });
  EXPECT_EQ(sent_, (std::vector<QString>{"SayComment 28", "SBUT", "SLIP"})) << "later paints send nothing";
  EXPECT_EQ(MsgComment, 0);

  sent_.clear();
  NoButtonExplanation = true;
  MsgComment = 32;
  Ask("Tschüss", 64, [&] { PressKey(Qt::Key_Return); });
  EXPECT_EQ(sent_, std::vector<QString>{"SayComment 32"});
  EXPECT_FALSE(NoButtonExplanation);

  // A box asked straight after another is activated too; the main window, blocked by
  // the box, cannot take the activation from it meanwhile.
  sent_.clear();
  const auto answerAtOnce = [&] {
    QTimer::singleShot(0, [] {
      Settle();
      Button(0).click();
    });
    FMsgB("Neues Spiel?", 36);
  };
  answerAtOnce();
  answerAtOnce();
  Ask("Neues Spiel?", 36, [&] {
    Form().activateWindow();
    Settle();
    MsgForm().activateWindow();
    Settle();
    Button(1).click();
  });
  EXPECT_EQ(sent_, (std::vector<QString>{"SBUT", "SLIP", "SBUT", "SLIP", "SBUT", "SLIP"}));
}

TEST_F(FrmMsgTest, TheShutUpButtonEndsLearnModeAndGivesWayToTheSign) {
  LearnMode = true;
  NoButtonExplanation = true;
  MsgForm().Load();
  auto& sign = BoxControl<rt::Image>("imgSign");
  auto& shutUp = BoxControl<rt::CommandButton>("cmdShutUp");
  EXPECT_EQ(Ask("Neues Spiel?", 36, [&] {
              EXPECT_TRUE(shutUp.Visible() && !sign.Visible());
              shutUp.click();
              EXPECT_FALSE(LearnMode);
              EXPECT_TRUE(sign.Visible() && !shutUp.Visible());
              EXPECT_TRUE(MsgForm().isVisible()) << "the box stays open";
              Button(1).click();
            }),
            7);
  EXPECT_EQ(sent_, std::vector<QString>{"ShutUP"});

  LearnMode = true;
  Ask("Kurz", 3, [&] {
    EXPECT_FALSE(shutUp.Visible() || sign.Visible()) << "a box without a sign has no room for it";
    Button(2).click();
  });
}

TEST_F(FrmMsgTest, TheWindowManagersCloseAnswersAsCancelOrLeavesTheBoxOpen) {
  rt::Screen::SetMousePointer(rt::kPointerHourglass);
  int pointerInside = -1;
  EXPECT_EQ(Ask("Neues Spiel?", 36, [&] {
              pointerInside = rt::Screen::MousePointer();
              Button(0).click();
            }),
            6);
  EXPECT_EQ(pointerInside, rt::kPointerDefault);
  EXPECT_EQ(rt::Screen::MousePointer(), rt::kPointerHourglass);
  // Never the previous box's "Ja": a box with a cancel button answers as that button.
  EXPECT_EQ(Ask("Laufendes Spiel abbrechen?", 36, [&] { MsgForm().close(); }), 7);
  EXPECT_EQ(Ask("Kurz", 3, [&] { MsgForm().close(); }), 2);
  bool stayed = false;
  EXPECT_EQ(Ask("Zeit ist um", 64, [&] {
              MsgForm().close();
              stayed = MsgForm().isVisible();
              PressKey(Qt::Key_Return);
            }),
            1);
  EXPECT_TRUE(stayed) << "a box without a cancel button waits for its button";
  EXPECT_TRUE(MsgForm().IsLoaded());
  rt::Screen::SetMousePointer(rt::kPointerDefault);
}

// The box with the main window's own command channel and speech, in learn mode with
// comments on: every box has its say in one order, and no recording cuts another.
class FrmMsgSpeechTest : public FrmMainTest {
 protected:
  void SetUp() override {
    FrmMainTest::SetUp();
    WriteSettings({{"GLOBAL", {{"GameColumns", "5"}, {"GameRows", "5"}}},
                   {"COLORS", {{"BALLCOLORS", "3"}}},
                   {"TIMES", {{"RESTRICTEDTIME", "-1"}}},
                   {"SOUND", {{"LEARNMODE", "TRUE"}, {"COMMENTS", "TRUE"}, {"EFFECTS", "FALSE"}}}});
    Open();
    Settle();
  }
  static void Settle() {
    for (int i = 0; i < 5; ++i) rt::DoEvents();
  }
  static rt::CommandButton& Button(int i) {
    return dynamic_cast<rt::CommandButton&>(*MsgForm().findChild<QWidget*>(QStringLiteral("cmd_%1").arg(i)));
  }
  // The next box is answered with button i once its handlers have run.
  static void AnswerNextBox(int i) {
    QTimer::singleShot(0, [i] {
      Settle();
      Button(i).click();
    });
  }
};

TEST_F(FrmMsgSpeechTest, EachBoxSpeaksItsCommentThenExplainsItsButtonsNoneCut) {
  const int16_t group = AnyGroup();
  Click(group);
  Click(group);
  size_t from = SoundCount();
  AnswerNextBox(1);
  Choose(QStringLiteral("menGameNew"));
  EXPECT_EQ(SpokenSince(from), (std::vector<QString>{"ssto", "sbut", "slip"})) << "a running game: asked to stop";

  // Boxes straight after each other, with a comment and without; the shut-up button is
  // explained once a run.
  from = SoundCount();
  MsgComment = 32;
  AnswerNextBox(0);
  FMsgB(QStringLiteral("Tschüss"), 64);
  AnswerNextBox(0);
  FMsgB(QStringLiteral("Neues Spiel?"), 36);
  EXPECT_EQ(SpokenSince(from), (std::vector<QString>{"snot", "sbut", "sbut"}));
  ExpectNoRecordingCut();
}

TEST(FMsgBResponder, AnswersInPlaceOfTheChildAndUsesUpTheCallersFlags) {
  std::vector<FMsgBRequest> asked;
  SetFMsgBResponder([&](const FMsgBRequest& request) {
    asked.push_back(request);
    return int16_t(asked.size() == 1 ? 6 : 0);
  });
  MsgComment = 28;
  NoButtonExplanation = true;
  EXPECT_EQ(FMsgB("Laufendes Spiel abbrechen?", 36), 6);
  EXPECT_EQ(FMsgB("Neues Spiel?", 36), 6) << "closed without a button";
  SetFMsgBResponder({});
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(std::tuple(asked[0].comment, asked[0].explainButtons, asked[0].title), std::tuple(28, false, "Quonk-Tirrel"));
  EXPECT_EQ(std::tuple(asked[1].comment, asked[1].explainButtons), std::tuple(0, true));
}

}  // namespace
