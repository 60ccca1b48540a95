#pragma once
// The controls of the game's windows. Each is a Qt widget named after its design
// name (objectName "picScore", or "picOnBoard_12" for element 12 of an array), placed
// and sized in twips inside its container (the form or a frame or picture box).
//
// Events are std::function members that a window binds to its handlers:
//   cmdOK->Click = [this] { cmdOK_Click(); };
//   txtCommand->Change = [this] { txtCommand_Change(); };
// Arrays bind through ControlArray::On (see ControlArray.h). Every handler runs
// through RunHandler, so an unhandled runtime error ends the program with its box.
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <optional>

#include "runtime/Color.h"
#include "runtime/Events.h"
#include "runtime/Picture.h"

namespace rt {

// What every control has: a name (with its index), position and size in twips, visibility,
// enabled state, tag, tooltip, font, colours, mouse pointer and the mouse events.
class ControlBase {
 public:
  virtual ~ControlBase() = default;
  ControlBase(const ControlBase&) = delete;
  ControlBase& operator=(const ControlBase&) = delete;

  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  void SetLeft(double left);
  void SetTop(double top);
  void SetWidth(double width);
  void SetHeight(double height);
  void Move(double left, double top);
  void Move(double left, double top, double width, double height);

  // Its own visibility; a control of a hidden window can be "visible".
  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  QString Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  void SetToolTipText(const QString& text);

  QFont Font() const;
  void SetFont(const QFont& font);

  rt::Color ForeColor() const;
  void SetForeColor(rt::Color color);
  rt::Color BackColor() const;
  void SetBackColor(rt::Color color);

  // 0 default, 11 hourglass, 99 the MouseIcon picture.
  int MousePointer() const { return mousePointer_; }
  void SetMousePointer(int pointer);
  void SetMouseIcon(const rt::Picture& icon, int hotX = 0, int hotY = 0);

  // Gives the control the focus; nothing when it is hidden or disabled.
  void SetFocus();
  // Repaints the control now.
  void Refresh();
  // 0 brings the control in front of its siblings, 1 sends it behind them.
  void ZOrder(int position = 0);

  QWidget* Widget() const { return self_; }

  // Mouse events: Button 1 left, 2 right, 4 middle; Shift mask 1/2/4; X, Y in twips
  // inside the control. Click and DblClick are the left button's.
  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void(int Button, int Shift, double X, double Y)> MouseDown;
  std::function<void(int Button, int Shift, double X, double Y)> MouseMove;

 protected:
  ControlBase(QWidget* self, const QString& name, int index);
  // Copies the design properties (size, position, font, colours, tag, tooltip,
  // enabled, pointer) of another control, as loading an array element does.
  void CopyBaseFrom(const ControlBase& source);
  // Places the widget at the twips position and size; AutoSize controls change them first.
  virtual void ApplyGeometry();
  void SetSizeFromPixels(QSize px);

  // The mouse event plumbing of controls that take clicks on their own.
  void OnMousePress(QMouseEvent* event);
  void OnMouseRelease(QMouseEvent* event);
  void OnMouseDoubleClick(QMouseEvent* event);
  void OnMouseMove(QMouseEvent* event);
  void Fire(const std::function<void()>& handler) const;

 private:
  void ApplyCursor();

  QWidget* self_;
  double left_ = 0;
  double top_ = 0;
  double width_ = 0;
  double height_ = 0;
  QString tag_;
  int mousePointer_ = 0;
  std::optional<QCursor> mouseIcon_;
  bool afterDoubleClick_ = false;
};

// The container widget for a control created in container (a form means its client area).
QWidget* ContainerOf(QWidget* container);

// Declares the Qt mouse overrides that route to ControlBase's mouse events.
#define RT_CONTROL_MOUSE_EVENTS                                                        \
 protected:                                                                            \
  void mousePressEvent(QMouseEvent* event) override { OnMousePress(event); }           \
  void mouseReleaseEvent(QMouseEvent* event) override { OnMouseRelease(event); }       \
  void mouseDoubleClickEvent(QMouseEvent* event) override { OnMouseDoubleClick(event); } \
  void mouseMoveEvent(QMouseEvent* event) override { OnMouseMove(event); }

// A picture box: back colour, an unscaled picture at its top-left corner, and a
// persistent drawing layer on top (Cls, Print, DrawBox) that survives repaints.
class PictureBox : public QWidget, public ControlBase {
  Q_OBJECT

 public:
  PictureBox(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const PictureBox& source);

  rt::Picture Picture() const { return picture_; }
  void SetPicture(const rt::Picture& picture);
  // On: the box takes the size of its picture.
  void SetAutoSize(bool on);
  // 0 none, 1 a one-pixel black outline around the box.
  int BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(int style);

  // Clears the drawing layer; the next Print draws at the top.
  void Cls();
  // Draws the text at the left edge, below what was printed since Cls, in the box's
  // font and fore colour.
  void Print(const QString& text);
  // The size of a text in the box's font, in twips.
  double TextWidth(const QString& text) const;
  double TextHeight(const QString& text) const;
  // A one-pixel rectangle outline between two corners in twips (both drawn).
  void DrawBox(double x1, double y1, double x2, double y2, rt::Color color);

  // What the box shows (back colour, picture, drawing), in pixels.
  QImage Snapshot() const;
  // Lets the box show and take the mouse only inside region (pixels of the box).
  void SetRegion(const QRegion& region);

  RT_CONTROL_MOUSE_EVENTS
  void paintEvent(QPaintEvent* event) override;

 private:
  void ApplyGeometry() override;
  void PaintContent(QPainter& painter) const;

  rt::Picture picture_;
  QImage canvas_;
  bool autoSize_ = false;
  int borderStyle_ = 0;
  // Where the next Print draws, in twips from the top.
  double currentY_ = 0;
};

// An image: shows its picture and takes the picture's size (no stretching).
class Image : public QWidget, public ControlBase {
  Q_OBJECT

 public:
  Image(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const Image& source);

  rt::Picture Picture() const { return picture_; }
  void SetPicture(const rt::Picture& picture);

  RT_CONTROL_MOUSE_EVENTS
  void paintEvent(QPaintEvent* event) override;

 private:
  rt::Picture picture_;
};

enum Alignment : int { kLeftJustify = 0, kRightJustify = 1, kCenter = 2 };
enum BackStyle : int { kTransparent = 0, kOpaque = 1 };

// A label: its caption (line breaks CR, LF or CR LF), aligned, optionally wrapped;
// with AutoSize it fits its text: in height only when it wraps, else in both.
class Label : public QWidget, public ControlBase {
  Q_OBJECT

 public:
  Label(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const Label& source);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  void SetAlignment(int alignment);
  void SetWordWrap(bool on);
  void SetAutoSize(bool on);
  // 0 transparent (the container shows around the text), 1 opaque (back colour).
  void SetBackStyle(int style);

  RT_CONTROL_MOUSE_EVENTS
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ApplyGeometry() override;
  int TextFlags() const;
  QString DisplayText() const;

  QString caption_;
  int alignment_ = kLeftJustify;
  bool wordWrap_ = false;
  bool autoSize_ = false;
  int backStyle_ = kOpaque;
};

// A frame: an etched border with its caption; its controls lie inside it.
class Frame : public QGroupBox, public ControlBase {
  Q_OBJECT

 public:
  Frame(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const Frame& source);

  QString Caption() const { return title(); }
  void SetCaption(const QString& caption) { setTitle(caption); }

  RT_CONTROL_MOUSE_EVENTS
};

// A rectangle shape: a black outline, filled with FillColor when FillStyle is solid,
// else with BackColor when BackStyle is opaque. It takes no mouse input.
class Shape : public QWidget, public ControlBase {
  Q_OBJECT

 public:
  Shape(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const Shape& source);

  enum FillStyleValue : int { kSolid = 0, kFillTransparent = 1 };
  rt::Color FillColor() const { return fillColor_; }
  void SetFillColor(rt::Color color);
  void SetFillStyle(int style);
  void SetBackStyle(int style);
  // 0 no outline, 1 a one-pixel outline.
  void SetBorderStyle(int style);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  rt::Color fillColor_ = kBlack;
  int fillStyle_ = kFillTransparent;
  int backStyle_ = kTransparent;
  int borderStyle_ = 1;
};

// A one-pixel black line from (x1, y1) to (x2, y2), in twips of its container.
class Line : public QWidget, public ControlBase {
  Q_OBJECT

 public:
  Line(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const Line& source);

  void SetPoints(double x1, double y1, double x2, double y2);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

enum ButtonStyle : int { kStandardStyle = 0, kGraphicalStyle = 1 };

// A command button. Enter presses the window's default button (or the focused
// button), Escape its cancel button. In graphical style it shows its picture.
class CommandButton : public QPushButton, public ControlBase {
  Q_OBJECT

 public:
  CommandButton(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const CommandButton& source);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption) { setText(caption); }
  void SetStyle(int style);
  rt::Picture Picture() const { return picture_; }
  void SetPicture(const rt::Picture& picture);
  void SetDefault(bool on);
  void SetCancel(bool on);

 private:
  void ShowPicture();

  int style_ = kStandardStyle;
  rt::Picture picture_;
};

enum CheckValue : int { kUnchecked = 0, kChecked = 1 };

// A check box. Click runs when the user changes it and when Value changes in code.
class CheckBox : public QCheckBox, public ControlBase {
  Q_OBJECT

 public:
  CheckBox(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const CheckBox& source);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption) { setText(caption); }
  int Value() const;
  void SetValue(int value);
};

// An option button; the option buttons of one container exclude each other. Click
// runs when the user selects it and whenever Value is set true in code.
class OptionButton : public QRadioButton, public ControlBase {
  Q_OBJECT

 public:
  OptionButton(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const OptionButton& source);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption) { setText(caption); }
  bool Value() const { return isChecked(); }
  void SetValue(bool value);

 private:
  bool settingValue_ = false;
};

// A one-line text box. Setting Text runs Change at once, inside the setter, when
// the text differs; the user's edits run it too. MaxLength (0 = none) limits typing
// only, not texts set in code.
class TextBox : public QLineEdit, public ControlBase {
  Q_OBJECT

 public:
  TextBox(QWidget* container, const QString& name, int index = -1);
  void CopyFrom(const TextBox& source);

  QString Text() const { return text(); }
  void SetText(const QString& text);
  void SetMaxLength(int length) { maxLength_ = length; }
  void SetSelStart(int start);
  // Selects length characters from the cursor on.
  void SetSelLength(int length);

  std::function<void()> Change;
  std::function<void()> GotFocus;

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  void UserEdited(const QString& text);

  int maxLength_ = 0;
  QString lastText_;
};

// A timer: Timer runs every Interval ms (0 stops it) while Enabled, on the runtime
// clock, and only while window events are processed. It lives as long as its window
// is loaded.
class TimerControl : public QObject {
  Q_OBJECT

 public:
  TimerControl(QWidget* container, const QString& name, int index = -1);

  int Interval() const { return clock_->Interval(); }
  void SetInterval(int ms) { clock_->SetInterval(ms); }
  bool Enabled() const { return clock_->Enabled(); }
  void SetEnabled(bool enabled) { clock_->SetEnabled(enabled); }

  std::function<void()> Timer;

 private:
  ClockTimer* clock_;
};

}  // namespace rt
