#include "runtime/Form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHash>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QWindow>
#include <memory>
#include <utility>
#include <vector>

#include "runtime/Controls.h"
#include "runtime/ErrorBox.h"
#include "runtime/Keys.h"
#include "runtime/Menu.h"
#include "runtime/Screen.h"
#include "runtime/Twips.h"

namespace rt {

namespace {

QList<QPointer<Form>>& Registry() {
  static QList<QPointer<Form>> forms;
  return forms;
}

// The form that was last the program's active window; Form_Activate runs when it changes.
QPointer<Form>& ActiveForm() {
  static QPointer<Form> form;
  return form;
}

// The forms in the order they last became the active window, the latest last.
QList<QPointer<Form>>& ActivationOrder() {
  static QList<QPointer<Form>> forms;
  return forms;
}

// Modal windows told to end whose event loop has not yet returned to their caller.
int& ModalLoopsEnding() {
  static int loops = 0;
  return loops;
}

// Keys that reached a window after it lost the focus, held while a modal window that was
// answered meanwhile returns to its caller.
std::vector<std::shared_ptr<QKeyEvent>>& RedirectedKeys() {
  static std::vector<std::shared_ptr<QKeyEvent>> keys;
  return keys;
}

// The window the keyboard's keys go to now: an open modal window, else the active
// window, else the window last active that is still shown. The window system tells
// which window took the focus from one just hidden only after the keys typed before.
QWidget* KeyWindow() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal && modal->isVisible()) return modal;
  QWidget* active = QApplication::activeWindow();
  if (active && active->isVisible()) return active;
  const QList<QPointer<Form>>& order = ActivationOrder();
  for (auto it = order.crbegin(); it != order.crend(); ++it)
    if (*it && (*it)->IsLoaded() && (*it)->isVisible()) return *it;
  return nullptr;
}

// Hands a key to the window that has the focus now, as the window system hands it a
// key typed there: to its focused control, shortcuts first.
void DeliverToKeyWindow(const QKeyEvent& key) {
  QWidget* window = KeyWindow();
  if (!window) return;
  if (QApplication::activeWindow() != window) QApplication::setActiveWindow(window);
  QWidget* receiver = window->focusWidget() ? window->focusWidget() : window;
  std::unique_ptr<QEvent> copy(key.clone());
  QApplication::sendEvent(receiver, copy.get());
}

void ReleaseRedirectedKeys() {
  if (ModalLoopsEnding() > 0) return;
  for (std::shared_ptr<QKeyEvent>& key : std::exchange(RedirectedKeys(), {}))
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [key] { DeliverToKeyWindow(*key); }, Qt::QueuedConnection);
}

// A key read for a window that has lost the focus since it was typed goes, once the
// handlers before it have run, to the window that has the focus then.
void RedirectKey(const QKeyEvent& key) {
  RedirectedKeys().push_back(std::shared_ptr<QKeyEvent>(static_cast<QKeyEvent*>(key.clone())));
  ReleaseRedirectedKeys();
}

// The frame the window manager puts round each kind of border, as far as seen yet in
// this run; the frame of a window is known only once it has been shown.
QHash<int, QSize>& KnownFrames() {
  static QHash<int, QSize> frames;
  return frames;
}

// How many modal windows of the program are showing, one inside the other.
int& ModalsShowing() {
  static int count = 0;
  return count;
}

// Room for a frame that no window has shown yet: a title bar and thin borders, as
// window managers draw them, in pixels.
constexpr QSize kUsualFrame(16, 40);

bool& QuitWhenNoWindowShown() {
  static bool on = false;
  return on;
}

void QuitIfNoWindowShown() {
  if (!QuitWhenNoWindowShown()) return;
  for (Form* form : Form::LoadedForms())
    if (form->isVisible()) return;
  QCoreApplication::exit(0);
}

}  // namespace

// The client area: paints the back colour and picture, and tells the form when it
// was painted so that Form_Paint can follow.
class FormClient : public QWidget {
 public:
  explicit FormClient(Form* form) : QWidget(form), form_(form) { setObjectName(QStringLiteral("client")); }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    if (!form_->picture_.IsEmpty()) painter.drawPixmap(0, 0, form_->picture_.Pixmap());
    if (ExposesForm(event->region())) form_->ClientPainted();
  }

 private:
  // A repaint that only lies under controls comes from the controls themselves and
  // is no paint of the window.
  bool ExposesForm(QRegion region) const {
    for (const QObject* child : children()) {
      const auto* widget = qobject_cast<const QWidget*>(child);
      if (widget && widget->isVisible()) region -= widget->geometry();
    }
    return !region.isEmpty();
  }

  Form* form_;
};

// Delivers key presses to the forms: Enter and Escape to the default and cancel
// buttons, and the rest to Form_KeyDown (with key preview, before the focused control).
// A press read for a window that has lost the focus since it was typed goes on to the
// window that has it.
class FormKeyFilter : public QObject {
 public:
  explicit FormKeyFilter(QObject* parent) : QObject(parent) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    const bool first = IsFirstReceiver(event, widget);
    // Noted again after the handlers: one of them may have run an event loop meanwhile.
    const auto noteReceiver = qScopeGuard([this, event, widget] { Note(event, widget); });
    if (!first) return false;
    Form* form = Form::Of(widget);
    if (!form) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (form != KeyWindow()) {
      RedirectKey(*key);
      return true;
    }
    if (!form->IsLoaded()) return false;
    if (PressButtonFor(form, key->key())) return true;
    if (form->KeyPreview() || widget == form)
      form->RunKeyDown(VirtualKeyCode(key->key()), ShiftMask(key->modifiers()));
    return false;
  }

 private:
  // A key event that nobody takes travels up from its first receiver (the focus widget,
  // the menu bar, or the window) to the parents; the form handles it only at the first.
  // Where the focus is by then says nothing: a handler may have moved it. Qt builds every
  // press in the same place, so the next press often lies where the last one lay: it is
  // the last one travelling on only when it is the same press as well. (A menu closed
  // with Escape leaves the focus on the menu bar, the menu's parent: the next key starts
  // there.)
  bool IsFirstReceiver(const QEvent* event, const QWidget* widget) const {
    return !(SamePress(event) && lastReceiver_ && widget == lastReceiver_->parentWidget());
  }

  bool SamePress(const QEvent* event) const {
    const auto* key = static_cast<const QKeyEvent*>(event);
    return event == lastEvent_ && key->key() == lastKey_ && key->modifiers() == lastModifiers_ &&
           key->timestamp() == lastTimestamp_ && key->isAutoRepeat() == lastAutoRepeat_;
  }

  void Note(const QEvent* event, QWidget* widget) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    lastEvent_ = event;
    lastKey_ = key->key();
    lastModifiers_ = key->modifiers();
    lastTimestamp_ = key->timestamp();
    lastAutoRepeat_ = key->isAutoRepeat();
    lastReceiver_ = widget;
  }

  const QEvent* lastEvent_ = nullptr;
  int lastKey_ = 0;
  Qt::KeyboardModifiers lastModifiers_;
  quint64 lastTimestamp_ = 0;
  bool lastAutoRepeat_ = false;
  QPointer<QWidget> lastReceiver_;

  static bool PressButtonFor(Form* form, int key) {
    QAbstractButton* button = nullptr;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      auto* focused = dynamic_cast<CommandButton*>(QApplication::focusWidget());
      button = focused ? focused : form->DefaultButton();
    } else if (key == Qt::Key_Escape) {
      button = form->CancelButton();
    }
    if (!button || !button->isVisible() || !button->isEnabled()) return false;
    button->click();
    return true;
  }
};

Form::Form(const QString& name) : QWidget(nullptr) {
  static const bool keyFilterInstalled = [] {
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FormKeyFilter(app));
    return true;
  }();
  (void)keyFilterInstalled;
  setObjectName(name);
  setFont(DefaultFont());
  SetBorder(FormBorder::kFixedSingle);
  setFixedSize(clientPx_);
}

Form::~Form() {
  Registry().removeAll(this);
  ActivationOrder().removeAll(this);
}

Form* Form::Of(const QWidget* widget) {
  return widget ? dynamic_cast<Form*>(widget->window()) : nullptr;
}

QList<Form*> Form::LoadedForms() {
  QList<Form*> forms;
  for (const QPointer<Form>& form : Registry())
    if (form && form->loaded_) forms.append(form);
  return forms;
}

Form* Form::Loaded(const QString& name) {
  for (Form* form : LoadedForms())
    if (form->objectName() == name) return form;
  return nullptr;
}

void Form::Load() {
  if (loaded_) return;
  loaded_ = true;
  placed_ = false;
  reachChecked_ = false;
  defaultButton_ = nullptr;
  cancelButton_ = nullptr;
  client_ = new FormClient(this);
  client_->show();
  Registry().append(this);
  Design();
  LayoutClient();
  Form_Load();
}

void Form::Show() {
  Load();
  if (!loaded_) return;
  ShowActive();
}

void Form::ShowActive() {
  PlaceAtStart();
  KeepReachable();
  show();
  raise();
  activateWindow();
  // Showing a window makes it the active one at once; the window manager's word on it
  // comes later, or not at all for a window shown again straight after it was hidden.
  NoteActivated();
}

void Form::ShowModal() {
  Load();
  if (!loaded_) return;
  if (isVisible()) hide();
  setWindowModality(Qt::ApplicationModal);
  const ModalShowing showing;
  SetOwner(ModalShowing::Owner());
  ShowActive();
  QEventLoop loop;
  modalLoop_ = &loop;
  if (isVisible()) loop.exec(QEventLoop::DialogExec);
  modalLoop_ = nullptr;
  if (std::exchange(modalLoopEnding_, false)) --ModalLoopsEnding();
  ReleaseRedirectedKeys();
  if (isVisible()) return;
  setWindowModality(Qt::NonModal);
  SetOwner(nullptr);
}

// The window manager reads it when the window shows.
void Form::SetOwner(const Form* owner) {
  if (owner == this) owner = nullptr;
  if (!windowHandle()) create();
  windowHandle()->setTransientParent(owner ? owner->windowHandle() : nullptr);
}

void Form::Hide() {
  hide();
  if (ActiveForm() == this) ActiveForm() = nullptr;
  if (!modalLoop_) return;
  modalLoop_->exit();
  if (!std::exchange(modalLoopEnding_, true)) ++ModalLoopsEnding();
}

bool Form::Unload() { return RequestClose(kClosedByProgram); }

bool Form::RequestClose(int unloadMode) {
  if (!loaded_) return true;
  if (!AskQueryUnload(unloadMode)) return false;
  FinishUnload();
  return true;
}

bool Form::AskQueryUnload(int unloadMode) {
  int cancel = 0;
  Form_QueryUnload(cancel, unloadMode);
  return cancel == 0;
}

void Form::FinishUnload() {
  if (!loaded_) return;
  Form_Unload();
  loaded_ = false;
  for (TimerControl* timer : client_->findChildren<TimerControl*>()) timer->SetEnabled(false);
  Hide();
  setWindowModality(Qt::NonModal);
  // The controls may be running the handler that unloads their window: they go once
  // control returns to the event loop.
  client_->hide();
  client_->deleteLater();
  client_ = nullptr;
  if (menuBar_) {
    menuBar_->hide();
    menuBar_->deleteLater();
    menuBar_ = nullptr;
  }
  Registry().removeAll(this);
  QuitIfNoWindowShown();
}

void Form::Refresh() {
  if (!loaded_ || !isVisible()) return;
  refreshing_ = true;
  repaint();
  refreshing_ = false;
  paintQueued_ = false;
  Form_Paint();
}

void Form::ClientPainted() {
  if (refreshing_ || paintQueued_) return;
  paintQueued_ = true;
  QueueActivateAndPaint();
}

void Form::NoteActivated() {
  if (!loaded_ || ActiveForm() == this) return;
  ActiveForm() = this;
  ActivationOrder().removeAll(this);
  ActivationOrder().append(this);
  activationQueued_ = true;
  QueueActivateAndPaint();
}

// Activation and paint wait in one queued call, so that a window's activation handler
// runs before its paint handler whichever of the two the platform reported first.
void Form::QueueActivateAndPaint() {
  if (handlersQueued_) return;
  handlersQueued_ = true;
  QMetaObject::invokeMethod(this, [this] { RunActivateAndPaint(); }, Qt::QueuedConnection);
}

void Form::RunActivateAndPaint() {
  handlersQueued_ = false;
  RunHandler(
      [this] {
        if (std::exchange(activationQueued_, false) && loaded_ && isVisible()) Form_Activate();
        if (std::exchange(paintQueued_, false) && loaded_ && isVisible()) Form_Paint();
      },
      this);
}

void Form::RunKeyDown(int keyCode, int shift) {
  RunHandler([this, keyCode, shift] { Form_KeyDown(keyCode, shift); }, this);
}

bool Form::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !BlockedByModal()) NoteActivated();
  if (event->type() == QEvent::Move || event->type() == QEvent::Show) NoteFrame();
  return QWidget::event(event);
}

// While a modal window is open, no other window of the program can become the active
// one; the window manager may still pass the focus through one for a moment.
bool Form::BlockedByModal() const {
  const QWidget* modal = QApplication::activeModalWidget();
  return modal && modal != this;
}

// A window manager may minimise a modal window although the window asked for no
// minimise button. The game would then wait for a window nobody sees, behind a main
// window that takes no input: the modal window comes back at once.
void Form::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !windowState().testFlag(Qt::WindowMinimized)) return;
  if (windowModality() == Qt::NonModal) return;
  QMetaObject::invokeMethod(this, [this] { RestoreIfMinimised(); }, Qt::QueuedConnection);
}

void Form::RestoreIfMinimised() {
  if (!loaded_ || !isVisible() || windowModality() == Qt::NonModal) return;
  if (!windowState().testFlag(Qt::WindowMinimized)) return;
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void Form::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!loaded_) return;
  RunHandler([this] { RequestClose(kCloseBox); }, this);
}

// ---- geometry ----

int Form::MenuBarHeight() const {
  if (!menuBar_ || menuBar_->actions().isEmpty()) return 0;
  return menuBar_->sizeHint().height();
}

QSize Form::FrameExtra() const { return frameGeometry().size() - geometry().size(); }

void Form::LayoutClient() {
  const int menuHeight = MenuBarHeight();
  if (menuBar_) menuBar_->setGeometry(0, 0, clientPx_.width(), menuHeight);
  if (client_) client_->setGeometry(0, menuHeight, clientPx_.width(), clientPx_.height());
  setFixedSize(clientPx_.width(), clientPx_.height() + menuHeight);
}

double Form::Left() const { return Twips(frameGeometry().x()); }
double Form::Top() const { return Twips(frameGeometry().y()); }
double Form::Width() const { return Twips(clientPx_.width() + FrameExtra().width()); }
double Form::Height() const { return Twips(clientPx_.height() + MenuBarHeight() + FrameExtra().height()); }
double Form::ScaleWidth() const { return Twips(clientPx_.width()); }
double Form::ScaleHeight() const { return Twips(clientPx_.height()); }

void Form::SetLeft(double left) { Move(left, Top()); }
void Form::SetTop(double top) { Move(Left(), top); }

void Form::Move(double left, double top) {
  placed_ = true;
  move(Px(left), Px(top));
}

void Form::SetWidth(double width) {
  clientPx_.setWidth(std::max(0, Px(width) - FrameExtra().width()));
  LayoutClient();
}

void Form::SetHeight(double height) {
  clientPx_.setHeight(std::max(0, Px(height) - FrameExtra().height() - MenuBarHeight()));
  LayoutClient();
}

void Form::SetClientSize(double width, double height) {
  clientPx_ = QSize(Px(width), Px(height));
  LayoutClient();
}

void Form::PlaceAtStart() {
  if (placed_) return;
  placed_ = true;
  if (startUpPosition_ == StartUpPosition::kManual) return;
  centreArea_ = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                 : QRect(0, 0, 800, 600);
  const Form* owner = ActiveForm();
  if (startUpPosition_ == StartUpPosition::kCenterOwner && owner && owner != this && owner->isVisible())
    centreArea_ = owner->frameGeometry();
  move(CentredPosition());
  // Before its first show the window's frame is a guess: it is centred again, once, when
  // the window manager has told the real one.
  recentreWhenFrameKnown_ = FrameExtra().isEmpty() && border_ != FormBorder::kNoTitleBar;
}

void Form::CentreOnScreen() {
  startUpPosition_ = StartUpPosition::kCenterScreen;
  placed_ = false;
  if (isVisible()) PlaceAtStart();
}

// Until the window has been shown its frame is the one last seen round a window of the
// same border, or else round any window with a title bar.
QSize Form::GuessedFrameExtra() const {
  const QSize own = FrameExtra();
  if (!own.isEmpty() || border_ == FormBorder::kNoTitleBar) return own;
  const QHash<int, QSize>& known = KnownFrames();
  if (known.contains(int(border_))) return known.value(int(border_));
  for (auto it = known.cbegin(); it != known.cend(); ++it)
    if (it.key() != int(FormBorder::kNoTitleBar)) return it.value();
  return own;
}

// The whole window, menu bar and frame included.
QSize Form::GuessedOuterSize() const {
  return QSize(clientPx_.width(), clientPx_.height() + MenuBarHeight()) + GuessedFrameExtra();
}

// The frame as far as known, else room for a usual one.
QSize Form::FrameRoom() const {
  const QSize guessed = GuessedFrameExtra();
  return guessed.isEmpty() ? kUsualFrame : guessed;
}

double Form::LargestScaleWidth() const {
  return Twips(Screen::AvailableAreaAt(frameGeometry().topLeft()).width() - FrameRoom().width());
}

double Form::LargestScaleHeight() const {
  const QRect area = Screen::AvailableAreaAt(frameGeometry().topLeft());
  return Twips(area.height() - FrameRoom().height() - MenuBarHeight());
}

QPoint Form::CentredPosition() const {
  const QRect& area = centreArea_;
  const QSize outer = GuessedOuterSize();
  return {area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2};
}

void Form::NoteFrame() {
  const QSize frame = FrameExtra();
  if (frame.isEmpty()) return;
  KnownFrames().insert(int(border_), frame);
  if (!recentreWhenFrameKnown_) return;
  recentreWhenFrameKnown_ = false;
  const QPoint centred = CentredPosition();
  if (centred != frameGeometry().topLeft()) move(centred);
}

// A stored position may lie off every screen (a monitor that is gone, a hand-edited
// settings file): the window opens where its title bar and menu can be reached.
void Form::KeepReachable() {
  if (reachChecked_) return;
  reachChecked_ = true;
  const QSize outer = GuessedOuterSize();
  const QPoint corner = Screen::KeepInAreas(QRect(frameGeometry().topLeft(), outer), Screen::AvailableAreas());
  if (corner != frameGeometry().topLeft()) move(corner);
}

// ---- look ----

void Form::SetBorder(FormBorder border) {
  border_ = border;
  Qt::WindowFlags flags = Qt::CustomizeWindowHint;
  switch (border) {
    case FormBorder::kFixedSingle:
      flags |= Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
               Qt::WindowCloseButtonHint;
      break;
    case FormBorder::kFixedDialog:
      flags |= Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
      break;
    case FormBorder::kDialogNoClose:
      flags |= Qt::Dialog | Qt::WindowTitleHint;
      break;
    case FormBorder::kNoTitleBar:
      flags = Qt::Dialog | Qt::FramelessWindowHint;
      break;
  }
  setWindowFlags(WithStaysOnTop(flags));
}

void Form::SetStaysOnTop(bool on) {
  staysOnTop_ = on;
  ApplyStaysOnTop();
}

Qt::WindowFlags Form::WithStaysOnTop(Qt::WindowFlags flags) const {
  return flags.setFlag(Qt::WindowStaysOnTopHint, staysOnTop_ && ModalsShowing() == 0);
}

void Form::ApplyStaysOnTop() {
  const Qt::WindowFlags flags = WithStaysOnTop(windowFlags());
  if (flags == windowFlags()) return;
  // A window already on the screen takes the change where it stands: changing the
  // widget's own flags would hide it and show it anew.
  if (QWindow* window = windowHandle()) {
    overrideWindowFlags(flags);
    window->setFlags(flags);
    return;
  }
  setWindowFlags(flags);
}

void Form::SetIcon(const rt::Picture& icon) { setWindowIcon(QIcon(icon.Pixmap())); }

Color Form::BackColor() const { return FromQColor(palette().color(QPalette::Window)); }

void Form::SetBackColor(Color color) {
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(color));
  setPalette(p);
  update();
}

void Form::SetPicture(const rt::Picture& picture) {
  picture_ = picture;
  update();
}

void Form::SetMousePointer(int pointer) {
  mousePointer_ = pointer;
  ApplyCursor();
}

void Form::SetMouseIcon(const rt::Picture& icon, int hotX, int hotY) {
  mouseIcon_ = CursorFromPicture(icon, hotX, hotY);
  ApplyCursor();
}

void Form::ApplyCursor() { ApplyMousePointer(this, mousePointer_, mouseIcon_); }

MenuItem* Form::AddMenu(const QString& name, const QString& caption) {
  if (!menuBar_) {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    menuBar_->show();
  }
  QMenu* menu = menuBar_->addMenu(caption);
  auto* item = new MenuItem(menuBar_, name, menu->menuAction(), menu, this);
  LayoutClient();
  return item;
}

// ---- ending ----

bool RequestEndAll(int unloadMode) {
  QList<QPointer<Form>> forms;
  for (Form* form : Form::LoadedForms()) forms.append(form);
  for (const QPointer<Form>& form : forms)
    if (form && form->IsLoaded() && !form->AskQueryUnload(unloadMode)) return false;
  for (const QPointer<Form>& form : forms)
    if (form) form->FinishUnload();
  return true;
}

void SetQuitWhenNoWindowShown(bool on) { QuitWhenNoWindowShown() = on; }

ModalShowing::ModalShowing() {
  if (++ModalsShowing() == 1) ApplyToAll();
}

ModalShowing::~ModalShowing() {
  if (--ModalsShowing() == 0) ApplyToAll();
}

Form* ModalShowing::Owner() {
  for (Form* form : Form::LoadedForms())
    if (form->staysOnTop_ && form->isVisible()) return form;
  return nullptr;
}

void ModalShowing::ApplyToAll() {
  for (Form* form : Form::LoadedForms()) form->ApplyStaysOnTop();
}

}  // namespace rt
