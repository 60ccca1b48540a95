// Windows: life cycle, modal shows, close requests with their causes, paint and
// activation, keys, timers and the twips geometry.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <csignal>

#include "runtime/Blocking.h"
#include "runtime/Clock.h"
#include "runtime/Controls.h"
#include "runtime/Events.h"
#include "runtime/Form.h"
#include "runtime/Keys.h"
#include "runtime/Menu.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "runtime/Twips.h"

namespace {

// A window that logs its events.
class LogForm : public rt::Form {
 public:
  LogForm() : Form("frmLog") {}
  std::vector<std::string> log;
  int cancel = 0;
  bool paintedInsidePaintEvent = false;
  std::function<void()> onActivate;
  rt::TextBox* txtInput = nullptr;
  rt::CommandButton* cmdOK = nullptr;
  rt::CommandButton* cmdCancel = nullptr;
  rt::TimerControl* timTick = nullptr;
  rt::MenuItem* menSound = nullptr;

 protected:
  void Design() override {
    SetClientSize(3000, 2010);
    AddMenu("menGame", "&Spiel");
    menSound = AddMenu("menOptions", "&Optionen")->AddItem("menSound", "&Ton", "Shift+Del");
    menSound->Click = [this] { log.push_back("menSound_Click"); };
    txtInput = new rt::TextBox(this, "txtInput");
    cmdOK = new rt::CommandButton(this, "cmdOK");
    cmdOK->SetDefault(true);
    cmdOK->Click = [this] { log.push_back("cmdOK_Click"); };
    cmdCancel = new rt::CommandButton(this, "cmdCancel");
    cmdCancel->SetCancel(true);
    cmdCancel->Click = [this] { log.push_back("cmdCancel_Click"); };
    timTick = new rt::TimerControl(this, "timTick");
    timTick->Timer = [this] { log.push_back("timTick_Timer"); };
  }
  void Form_Load() override { log.push_back("Load"); }
  void Form_Activate() override {
    log.push_back("Activate");
    if (onActivate) onActivate();
  }
  void Form_Paint() override {
    log.push_back("Paint");
    paintedInsidePaintEvent = paintedInsidePaintEvent || paintingActive() || Client()->paintingActive();
  }
  void Form_KeyDown(int KeyCode, int Shift) override {
    log.push_back("KeyDown " + std::to_string(KeyCode) + " " + std::to_string(Shift));
  }
  void Form_QueryUnload(int& Cancel, int UnloadMode) override {
    log.push_back("QueryUnload " + std::to_string(UnloadMode));
    Cancel = cancel;
  }
  void Form_Unload() override { log.push_back("Unload"); }
};

int Count(const std::vector<std::string>& log, const std::string& entry) {
  return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

void Settle() {
  for (int i = 0; i < 5; ++i) rt::DoEvents();
  // Without a running event loop nothing deletes what an unload left for deletion.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(Form, LoadRunsDesignAndLoadOnceAndUnloadDestroysTheControls) {
  LogForm form;
  form.Load();
  form.Load();
  EXPECT_EQ(form.log, std::vector<std::string>{"Load"});
  EXPECT_NE(form.findChild<rt::TextBox*>("txtInput"), nullptr);
  EXPECT_TRUE(form.Unload());
  Settle();
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_EQ(form.findChild<rt::TextBox*>("txtInput"), nullptr);
  form.Load();
  EXPECT_EQ(Count(form.log, "Load"), 2);
}

TEST(Form, ActivateRunsEachTimeTheWindowBecomesTheActiveOneAndPaintRunsOutsideQtsPainting) {
  LogForm main;
  LogForm box;
  main.Show();
  Settle();
  box.Show();
  Settle();
  EXPECT_EQ(Count(box.log, "Activate"), 1);
  EXPECT_GE(Count(box.log, "Paint"), 1);
  main.activateWindow();
  Settle();
  box.activateWindow();
  Settle();
  EXPECT_EQ(Count(main.log, "Activate"), 2);
  EXPECT_EQ(Count(box.log, "Activate"), 2) << "coming back from another window";
  box.Hide();
  main.activateWindow();  // as the window manager does when the active window goes
  Settle();
  box.Show();
  Settle();
  EXPECT_EQ(Count(box.log, "Activate"), 3) << "shown again";
  const int paints = Count(box.log, "Paint");
  box.Refresh();
  EXPECT_EQ(Count(box.log, "Paint"), paints + 1) << "Refresh runs the paint handler at once";
  Settle();
  EXPECT_EQ(Count(box.log, "Paint"), paints + 1) << "and leaves no queued paint behind";
  EXPECT_FALSE(box.paintedInsidePaintEvent);
}

TEST(Form, ModalShowReturnsWhenTheWindowIsHiddenOrUnloaded) {
  struct Case {
    const char* name;
    std::function<void(LogForm&)> end;
    bool loadedAfter;
  };
  const Case cases[] = {
      {"hide", [](LogForm& f) { f.Hide(); }, true},
      {"unload", [](LogForm& f) { f.Unload(); }, false},
      {"close box", [](LogForm& f) { f.close(); }, false},
  };
  for (const Case& c : cases) {
    LogForm form;
    form.onActivate = [&] { c.end(form); };
    form.ShowModal();
    EXPECT_FALSE(form.isVisible()) << c.name;
    EXPECT_EQ(form.IsLoaded(), c.loadedAfter) << c.name;
    EXPECT_EQ(form.windowModality(), Qt::NonModal) << c.name;
  }
}

// The title picture stays in front of other programs. A box of its own program (an error
// at start, a question) must come in front of it: some window managers keep a window on
// top whatever it asks later, but every one keeps a window in front of its owner.
TEST(Form, AWindowThatStaysOnTopStandsBackBehindTheProgramsBoxesAndOwnsThem) {
  LogForm title;
  title.SetStaysOnTop(true);
  title.Show();
  Settle();
  const auto onTop = [&] { return title.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };
  ASSERT_TRUE(onTop());
  const auto look = [&](const char* name, const QWindow* box) {
    EXPECT_FALSE(onTop()) << name;
    ASSERT_NE(box, nullptr) << name;
    EXPECT_EQ(box->transientParent(), title.windowHandle()) << name;
  };

  LogForm box;
  box.onActivate = [&] {
    look("a window shown modal", box.windowHandle());
    box.Hide();
  };
  box.ShowModal();
  EXPECT_TRUE(onTop()) << "on top again once the box is gone";
  EXPECT_EQ(box.windowHandle()->transientParent(), nullptr) << "the next showing belongs to nobody";

  bool answered = false;
  QTimer::singleShot(0, [&] {
    auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(message, nullptr);
    look("the system message box", message->windowHandle());
    answered = true;
    message->buttons().front()->click();
  });
  rt::MsgBox("Laufzeitfehler", rt::kOkOnly | rt::kStopSign);
  EXPECT_TRUE(answered);
  EXPECT_TRUE(onTop());
  title.Unload();
}

// Some window managers offer a minimise button on every window. A modal window
// minimised would leave the game waiting behind a window nobody sees.
TEST(Form, AModalWindowMinimisedComesBackAtOnceAModelessOneStaysMinimised) {
  LogForm form;
  bool minimised = false;
  bool back = false;
  form.onActivate = [&] {
    if (minimised) return;
    minimised = true;
    form.setWindowState(Qt::WindowMinimized);
    QMetaObject::invokeMethod(
        &form, [&] {
          back = form.isVisible() && !form.isMinimized();
          form.Hide();
        },
        Qt::QueuedConnection);
  };
  form.ShowModal();
  EXPECT_TRUE(minimised);
  EXPECT_TRUE(back);

  form.Show();
  form.setWindowState(Qt::WindowMinimized);
  rt::DoEvents();
  EXPECT_TRUE(form.isMinimized()) << "the main window may be minimised";
  form.Unload();
}

TEST(Screen, AWindowOffTheScreensIsMovedTheLeastIntoTheAreaItOverlapsMost) {
  const QList<QRect> areas = {QRect(0, 0, 1000, 700), QRect(1000, 100, 800, 600)};
  const struct {
    const char* name;
    QRect window;
    QPoint want;
  } cases[] = {
      {"wholly on the first screen", {100, 50, 400, 300}, {100, 50}},
      {"wholly on the second screen", {1200, 300, 400, 300}, {1200, 300}},
      {"left of and above every screen", {-3000, -2000, 400, 300}, {0, 0}},
      {"partly left: the menu's start is hidden", {-40, 50, 400, 300}, {0, 50}},
      {"partly below the second screen", {1500, 600, 400, 300}, {1400, 400}},
      {"a monitor that is gone: onto the first", {5000, 200, 400, 300}, {600, 200}},
      {"larger than the area: top-left corner inside", {-50, -50, 1200, 800}, {0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::Screen::KeepInAreas(c.window, areas), c.want) << c.name;
}

TEST(Form, QueryUnloadGetsTheCauseAndCanCancel) {
  struct Case {
    const char* name;
    std::function<void(LogForm&)> request;
    int cause;
  };
  rt::InstallEndRequestHandlers();
  const Case cases[] = {
      {"close box", [](LogForm& f) { f.close(); }, rt::kCloseBox},
      {"program", [](LogForm& f) { f.Unload(); }, rt::kClosedByProgram},
      {"session end", [](LogForm&) { rt::RequestEndAll(rt::kSessionEnd); }, rt::kSessionEnd},
      {"SIGTERM", [](LogForm&) { std::raise(SIGTERM); }, rt::kSessionEnd},
      {"SIGHUP", [](LogForm&) { std::raise(SIGHUP); }, rt::kSessionEnd},
      {"SIGINT", [](LogForm&) { std::raise(SIGINT); }, rt::kTaskManager},
  };
  for (const Case& c : cases) {
    for (int cancel : {1, 0}) {
      LogForm form;
      form.cancel = cancel;
      form.Show();
      Settle();
      c.request(form);
      Settle();
      const std::string query = "QueryUnload " + std::to_string(c.cause);
      EXPECT_EQ(Count(form.log, query), 1) << c.name;
      EXPECT_EQ(form.IsLoaded(), cancel != 0) << c.name << " cancel " << cancel;
      EXPECT_EQ(Count(form.log, "Unload"), cancel != 0 ? 0 : 1) << c.name;
    }
  }
}

// Started under nohup, the program must not turn SIGHUP back on; the other signals still
// close it.
TEST(FormDeathTest, ASignalIgnoredAtStartStaysIgnored) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::signal(SIGHUP, SIG_IGN);
        rt::InstallEndRequestHandlers();
        LogForm form;
        form.cancel = 1;
        form.Show();
        Settle();
        std::raise(SIGHUP);
        Settle();
        std::fprintf(stderr, "[after SIGHUP %d]", Count(form.log, "QueryUnload 2"));
        std::raise(SIGTERM);
        Settle();
        std::fprintf(stderr, "[after SIGTERM %d]", Count(form.log, "QueryUnload 2"));
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "\\[after SIGHUP 0\\]\\[after SIGTERM 1\\]");
}

TEST(Form, KeyPreviewSeesKeysOfTheFocusedControlOnce) {
  LogForm form;
  form.SetKeyPreview(true);
  form.Show();
  Settle();
  form.txtInput->setFocus();
  QKeyEvent f8(QEvent::KeyPress, Qt::Key_F8, Qt::ShiftModifier);
  QApplication::sendEvent(form.txtInput, &f8);
  QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::ControlModifier | Qt::AltModifier);
  QApplication::sendEvent(form.txtInput, &f9);
  EXPECT_EQ(Count(form.log, "KeyDown 119 1"), 1);
  EXPECT_EQ(Count(form.log, "KeyDown 120 6"), 1);
}

// One key press from the window system: every press is built in the same place, so one
// press often lies where the one before lay.
void PressKey(QWidget* receiver, int key, ulong timestamp) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  press.setTimestamp(timestamp);
  QApplication::sendEvent(receiver, &press);
}

struct FormOnVirtualTime : ::testing::Test {
  rt::VirtualClock clock;
  void SetUp() override { rt::SetClock(&clock); }
  void TearDown() override { rt::SetClock(nullptr); }
};

// A key read after the Escape that closed a menu or answered a box goes where the focus
// is then. A menu closed with Escape leaves the focus on the menu bar, the menu's parent:
// the next key starts there and is a key of its own, not the Escape travelling on. Keys
// typed while a modal box waits (it speaks) are read after the wait: those after the key
// that answers it reach the window below, once the box has returned to its caller.
TEST_F(FormOnVirtualTime, KeysAfterTheEscapeThatClosesAMenuOrABoxGoWhereTheFocusIs) {
  LogForm form;
  form.SetKeyPreview(true);
  form.Show();
  Settle();
  auto* menuBar = form.findChild<QMenuBar*>();
  ASSERT_TRUE(menuBar);
  auto* menu = menuBar->findChild<QMenu*>();
  ASSERT_TRUE(menu);
  ASSERT_EQ(menu->parentWidget(), menuBar);
  PressKey(menu, Qt::Key_Escape, 1000);
  PressKey(menuBar, Qt::Key_F9, 2000);
  EXPECT_EQ(Count(form.log, "KeyDown 120 0"), 1);

  form.cmdOK->setFocus();
  LogForm box;
  box.Load();
  box.cmdCancel->Click = [&] { box.Hide(); };
  box.onActivate = [&] {
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_F9, Qt::NoModifier},
                                         {Qt::Key_Delete, Qt::ShiftModifier}})
      QCoreApplication::postEvent(box.cmdOK, new QKeyEvent(QEvent::KeyPress, key, modifiers));
    rt::BlockUntil(clock.MonotonicMs() + 1000);
  };
  form.log.clear();
  box.ShowModal();
  form.log.push_back("box answered");
  Settle();
  std::erase_if(form.log, [](const std::string& entry) { return entry == "Activate" || entry == "Paint"; });
  EXPECT_EQ(form.log, (std::vector<std::string>{"box answered", "KeyDown 120 0", "menSound_Click"}));
}

TEST(Form, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  LogForm form;
  form.Show();
  Settle();
  form.txtInput->setFocus();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form.txtInput, &enter);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(form.txtInput, &escape);
  form.cmdCancel->setFocus();
  QApplication::sendEvent(form.cmdCancel, &enter);
  EXPECT_EQ(Count(form.log, "cmdOK_Click"), 1);
  EXPECT_EQ(Count(form.log, "cmdCancel_Click"), 2) << "Escape, then Enter on the focused button";
}

TEST(Form, MenuItemsKeepTheirCheckMarkForTheProgramAndParseShortcuts) {
  LogForm form;
  form.Load();
  form.menSound->SetChecked(true);
  QAction* action = form.findChild<QAction*>("menSound");
  ASSERT_NE(action, nullptr);
  action->trigger();
  EXPECT_EQ(Count(form.log, "menSound_Click"), 1);
  EXPECT_TRUE(form.menSound->Checked());
  EXPECT_EQ(action->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
}

TEST_F(FormOnVirtualTime, TimerControlsTickOnTheRuntimeClockUntilStoppedOrUnloaded) {
  LogForm form;
  form.Load();
  form.timTick->SetInterval(250);
  rt::WaitMs(1000);
  EXPECT_EQ(Count(form.log, "timTick_Timer"), 4);
  form.timTick->SetInterval(0);
  rt::WaitMs(1000);
  EXPECT_EQ(Count(form.log, "timTick_Timer"), 4);
  form.timTick->SetInterval(100);
  form.Unload();
  rt::WaitMs(1000);
  EXPECT_EQ(Count(form.log, "timTick_Timer"), 4);
}

TEST(Twips, ConversionsAndTheMenuBarOutsideTheClientArea) {
  EXPECT_EQ(rt::Px(480), 32);
  EXPECT_EQ(rt::Px(7), 0);
  EXPECT_EQ(rt::Px(8), 1);
  EXPECT_EQ(rt::Twips(32), 480);
  LogForm form;
  form.Load();
  EXPECT_EQ(form.ScaleWidth(), 3000);
  EXPECT_EQ(form.ScaleHeight(), 2010);
  const double extraHeight = form.Height() - form.ScaleHeight();
  EXPECT_GT(extraHeight, 0) << "the menu bar lies outside the client area";
  form.SetHeight(2010 + 1500 + extraHeight);
  EXPECT_EQ(form.ScaleHeight(), 3510);
  form.Move(1500, 750);
  EXPECT_EQ(form.Left(), 1500);
  EXPECT_EQ(form.Top(), 750);
  const auto* client = form.Client();
  EXPECT_EQ(client->height(), 3510 / 15);
}

}  // namespace
