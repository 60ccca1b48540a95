#pragma once
// The base of the game's windows. A window class derives from Form, creates its
// controls and menus in Design() and overrides the Form_ events it handles:
//
//   class FrmExample : public rt::Form {
//    public:
//     FrmExample() : Form("frmExample") {}
//    protected:
//     void Design() override {
//       SetClientSize(4800, 3600);
//       cmdOK = new rt::CommandButton(this, "cmdOK");
//       cmdOK->Move(120, 120, 960, 330);
//       cmdOK->Click = [this] { cmdOK_Click(); };
//     }
//     void Form_Load() override { ... }
//    private:
//     void cmdOK_Click() { Unload(); }
//     rt::CommandButton* cmdOK = nullptr;
//   };
//
// Design() runs at every load, so a window loaded again starts from its design;
// the window object, and so its member variables, live on between loads. Controls
// of an unloaded window are gone: touch them only while the window is loaded.
#include <QAbstractButton>
#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <optional>

#include "runtime/Color.h"
#include "runtime/Picture.h"

class QEventLoop;
class QMenuBar;

namespace rt {

class MenuItem;

// Causes of a close request, as Form_QueryUnload receives them.
enum UnloadMode : int {
  kCloseBox = 0,         // the window's close box, Alt+F4, the window manager
  kClosedByProgram = 1,  // Unload() by the program
  kSessionEnd = 2,       // the desktop session ends; SIGTERM, SIGHUP
  kTaskManager = 3,      // the program is interrupted (SIGINT)
};

// The frame of a window. All of them are fixed in size.
enum class FormBorder {
  kFixedSingle,     // title bar, close box and minimise button
  kFixedDialog,     // title bar and close box
  kDialogNoClose,   // title bar without any buttons
  kNoTitleBar,      // a thin frame without a title bar
};

enum class StartUpPosition { kManual, kCenterOwner, kCenterScreen };

class Form : public QWidget {
  Q_OBJECT

 public:
  explicit Form(const QString& name);
  ~Form() override;

  // Creates the controls (Design) and runs Form_Load to its end; nothing when loaded.
  void Load();
  bool IsLoaded() const { return loaded_; }
  // Loads when needed and shows the window modeless.
  void Show();
  // Loads when needed, shows the window modal and returns when it is hidden or unloaded.
  void ShowModal();
  void Hide();
  // Closes the window as the program: Form_QueryUnload with kClosedByProgram, then
  // Form_Unload, and the controls are destroyed. Returns false when cancelled.
  bool Unload();
  // Repaints the window and its controls now, then runs Form_Paint.
  void Refresh();

  // Outer position and size in twips: frame and menu bar included.
  double Left() const;
  double Top() const;
  double Width() const;
  double Height() const;
  void SetLeft(double left);
  void SetTop(double top);
  void SetWidth(double width);
  void SetHeight(double height);
  void Move(double left, double top);
  // The client area in twips, below the menu bar.
  double ScaleWidth() const;
  double ScaleHeight() const;
  void SetClientSize(double width, double height);
  // The largest client area (twips, below the menu bar) the window can have on the
  // screen it stands on: that screen's area without panels and docks, less the frame
  // and the menu bar.
  double LargestScaleWidth() const;
  double LargestScaleHeight() const;

  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& caption) { setWindowTitle(caption); }
  void SetIcon(const rt::Picture& icon);
  void SetBorder(FormBorder border);
  // A window that stays in front of other programs' windows, as the title picture does
  // at start-up. It never covers a box of its own program: while a modal window of the
  // program shows, it stands back as an ordinary window behind that box.
  void SetStaysOnTop(bool on);
  void SetStartUpPosition(StartUpPosition position) { startUpPosition_ = position; }
  // Centres the window on the screen, frame included; before the window is shown it
  // is centred as it shows.
  void CentreOnScreen();
  rt::Color BackColor() const;
  void SetBackColor(rt::Color color);
  // A picture drawn unscaled from the client area's top-left corner.
  rt::Picture Picture() const { return picture_; }
  void SetPicture(const rt::Picture& picture);

  // 0 default, 11 hourglass, 99 the MouseIcon picture.
  int MousePointer() const { return mousePointer_; }
  void SetMousePointer(int pointer);
  void SetMouseIcon(const rt::Picture& icon, int hotX = 0, int hotY = 0);

  // With key preview on, Form_KeyDown sees every key press in the window before
  // the focused control; without it only presses on the window itself.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool on) { keyPreview_ = on; }

  // A menu on the window's menu bar (created with the first menu, outside the client area).
  MenuItem* AddMenu(const QString& name, const QString& caption);

  // The widget that holds the controls; controls created with the form as their
  // container go here.
  QWidget* Client() const { return client_; }

  // The form a widget belongs to, or nullptr.
  static Form* Of(const QWidget* widget);
  // Every form that is loaded, in the order they were loaded.
  static QList<Form*> LoadedForms();
  // The loaded window of that name, or nullptr.
  static Form* Loaded(const QString& name);

  // Enter presses the default button, Escape the cancel button (set through
  // CommandButton::SetDefault / SetCancel).
  void SetDefaultButton(QAbstractButton* button) { defaultButton_ = button; }
  void SetCancelButton(QAbstractButton* button) { cancelButton_ = button; }
  QAbstractButton* DefaultButton() const { return defaultButton_; }
  QAbstractButton* CancelButton() const { return cancelButton_; }

  // Asks the window to close with the given cause, as the close box, the session
  // end and the signals do: Form_QueryUnload, then the unload unless cancelled.
  bool RequestClose(int unloadMode);

 protected:
  // Creates the controls and menus as designed. Runs at every load, before Form_Load.
  virtual void Design() {}
  virtual void Form_Load() {}
  // Each time the window becomes the program's active window (a Show makes it so at
  // once), before a paint that came with it.
  virtual void Form_Activate() {}
  // Right after the window has painted, and at once on Refresh(). It runs outside
  // Qt's painting, so it may repaint, wait, speak or talk to other windows.
  virtual void Form_Paint() {}
  virtual void Form_KeyDown(int KeyCode, int Shift) {
    (void)KeyCode;
    (void)Shift;
  }
  // Setting Cancel to non-zero keeps the window open.
  virtual void Form_QueryUnload(int& Cancel, int UnloadMode) {
    (void)Cancel;
    (void)UnloadMode;
  }
  virtual void Form_Unload() {}

  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class FormClient;
  friend class FormKeyFilter;
  friend class ModalShowing;
  friend bool RequestEndAll(int unloadMode);

  bool AskQueryUnload(int unloadMode);
  void FinishUnload();
  void ShowActive();
  void NoteActivated();
  bool BlockedByModal() const;
  void ClientPainted();
  void QueueActivateAndPaint();
  void RunActivateAndPaint();
  void RunKeyDown(int keyCode, int shift);
  void LayoutClient();
  int MenuBarHeight() const;
  QSize FrameExtra() const;
  void PlaceAtStart();
  QSize GuessedFrameExtra() const;
  QSize GuessedOuterSize() const;
  QSize FrameRoom() const;
  QPoint CentredPosition() const;
  void NoteFrame();
  void KeepReachable();
  void RestoreIfMinimised();
  void ApplyCursor();
  Qt::WindowFlags WithStaysOnTop(Qt::WindowFlags flags) const;
  void ApplyStaysOnTop();
  void SetOwner(const Form* owner);

  bool loaded_ = false;
  bool placed_ = false;
  // Kept on a visible screen at its first show after a load.
  bool reachChecked_ = false;
  // Centred with a guessed frame: centred again once the real frame is known.
  bool recentreWhenFrameKnown_ = false;
  // What the window is centred on: the screen or its owner.
  QRect centreArea_;
  FormBorder border_ = FormBorder::kFixedSingle;
  bool staysOnTop_ = false;
  bool keyPreview_ = false;
  bool paintQueued_ = false;
  bool activationQueued_ = false;
  bool handlersQueued_ = false;
  bool refreshing_ = false;
  int mousePointer_ = 0;
  std::optional<QCursor> mouseIcon_;
  QSize clientPx_{320, 240};
  StartUpPosition startUpPosition_ = StartUpPosition::kManual;
  rt::Picture picture_;
  QWidget* client_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  QEventLoop* modalLoop_ = nullptr;
  // Told to end, its modal event loop not yet returned.
  bool modalLoopEnding_ = false;
  QPointer<QAbstractButton> defaultButton_;
  QPointer<QAbstractButton> cancelButton_;
};

// Lives while a modal window of the program shows (a window shown modal, the system
// message box), from before it shows until it has gone. The windows that stay on top
// stand back meanwhile as ordinary windows, and the box belongs to the one that is shown:
// window managers keep a window in front of the window it belongs to, also those that
// keep a window on top whatever it asks later.
class ModalShowing {
 public:
  ModalShowing();
  ~ModalShowing();
  ModalShowing(const ModalShowing&) = delete;
  ModalShowing& operator=(const ModalShowing&) = delete;

  // The shown window that stays on top, which the box belongs to; nullptr when none is.
  static Form* Owner();

 private:
  static void ApplyToAll();
};

// Asks every loaded window to close with the cause (session end, signals): all
// query-unload handlers first, and when none cancels, every window unloads.
bool RequestEndAll(int unloadMode);

// When on (the program's run), unloading the last shown window ends the event loop.
void SetQuitWhenNoWindowShown(bool on);

// Turns SIGTERM and SIGHUP into a close request with kSessionEnd and SIGINT into
// one with kTaskManager, handled on the GUI thread; also the desktop session's end.
// A signal the program was started with ignored stays ignored.
void InstallEndRequestHandlers();

}  // namespace rt
