#include "runtime/Controls.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "runtime/ErrorBox.h"
#include "runtime/Form.h"
#include "runtime/Keys.h"
#include "runtime/Screen.h"
#include "runtime/Twips.h"

namespace rt {

namespace {

QString ObjectName(const QString& name, int index) {
  return index < 0 ? name : name + QLatin1Char('_') + QString::number(index);
}

QString WithLineFeeds(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

}  // namespace

QWidget* ContainerOf(QWidget* container) {
  if (auto* form = dynamic_cast<Form*>(container)) return form->Client() ? form->Client() : form;
  return container;
}

// ---- ControlBase ----

ControlBase::ControlBase(QWidget* self, const QString& name, int index)
    : self_(self) {
  self_->setObjectName(ObjectName(name, index));
  self_->setFont(DefaultFont());
  const QSize px = self_->size();
  width_ = Twips(px.width());
  height_ = Twips(px.height());
}

void ControlBase::CopyBaseFrom(const ControlBase& source) {
  left_ = source.left_;
  top_ = source.top_;
  width_ = source.width_;
  height_ = source.height_;
  tag_ = source.tag_;
  mousePointer_ = source.mousePointer_;
  mouseIcon_ = source.mouseIcon_;
  self_->setFont(source.self_->font());
  self_->setPalette(source.self_->palette());
  self_->setAutoFillBackground(source.self_->autoFillBackground());
  self_->setToolTip(source.self_->toolTip());
  self_->setEnabled(source.self_->isEnabled());
  self_->setMouseTracking(source.self_->hasMouseTracking());
  ApplyCursor();
  ApplyGeometry();
}

void ControlBase::SetLeft(double left) { Move(left, top_); }
void ControlBase::SetTop(double top) { Move(left_, top); }
void ControlBase::SetWidth(double width) { Move(left_, top_, width, height_); }
void ControlBase::SetHeight(double height) { Move(left_, top_, width_, height); }
void ControlBase::Move(double left, double top) { Move(left, top, width_, height_); }

void ControlBase::Move(double left, double top, double width, double height) {
  left_ = left;
  top_ = top;
  width_ = std::max(0.0, width);
  height_ = std::max(0.0, height);
  ApplyGeometry();
}

void ControlBase::ApplyGeometry() {
  self_->setGeometry(Px(left_), Px(top_), Px(width_), Px(height_));
}

void ControlBase::SetSizeFromPixels(QSize px) {
  width_ = Twips(px.width());
  height_ = Twips(px.height());
}

bool ControlBase::Visible() const { return !self_->isHidden(); }
void ControlBase::SetVisible(bool visible) { self_->setVisible(visible); }
bool ControlBase::Enabled() const { return self_->isEnabled(); }
void ControlBase::SetEnabled(bool enabled) { self_->setEnabled(enabled); }
void ControlBase::SetToolTipText(const QString& text) { self_->setToolTip(text); }

QFont ControlBase::Font() const { return self_->font(); }
void ControlBase::SetFont(const QFont& font) {
  self_->setFont(font);
  ApplyGeometry();
}

Color ControlBase::ForeColor() const { return FromQColor(self_->palette().color(self_->foregroundRole())); }
void ControlBase::SetForeColor(Color color) {
  QPalette palette = self_->palette();
  palette.setColor(self_->foregroundRole(), ToQColor(color));
  palette.setColor(QPalette::Text, ToQColor(color));
  palette.setColor(QPalette::ButtonText, ToQColor(color));
  self_->setPalette(palette);
  self_->update();
}

Color ControlBase::BackColor() const { return FromQColor(self_->palette().color(self_->backgroundRole())); }
void ControlBase::SetBackColor(Color color) {
  QPalette palette = self_->palette();
  palette.setColor(self_->backgroundRole(), ToQColor(color));
  palette.setColor(QPalette::Button, ToQColor(color));
  palette.setColor(QPalette::Base, ToQColor(color));
  self_->setPalette(palette);
  self_->update();
}

void ControlBase::SetMousePointer(int pointer) {
  mousePointer_ = pointer;
  ApplyCursor();
}

void ControlBase::SetMouseIcon(const rt::Picture& icon, int hotX, int hotY) {
  mouseIcon_ = CursorFromPicture(icon, hotX, hotY);
  ApplyCursor();
}

void ControlBase::ApplyCursor() { ApplyMousePointer(self_, mousePointer_, mouseIcon_); }

void ControlBase::SetFocus() {
  if (self_->isHidden() || !self_->isEnabled()) return;
  self_->setFocus(Qt::OtherFocusReason);
}

void ControlBase::Refresh() { self_->repaint(); }

void ControlBase::ZOrder(int position) {
  if (position == 0)
    self_->raise();
  else
    self_->lower();
}

void ControlBase::Fire(const std::function<void()>& handler) const {
  if (handler) RunHandler(handler, self_);
}

void ControlBase::OnMousePress(QMouseEvent* event) {
  afterDoubleClick_ = false;
  if (!MouseDown) return;
  const QPointF at = event->position();
  const int button = ButtonMask(event->button());
  const int shift = ShiftMask(event->modifiers());
  Fire([this, button, shift, at] { MouseDown(button, shift, at.x() * kTwipsPerPixel, at.y() * kTwipsPerPixel); });
}

void ControlBase::OnMouseRelease(QMouseEvent* event) {
  const bool click = event->button() == Qt::LeftButton && !afterDoubleClick_ &&
                     self_->rect().contains(event->position().toPoint());
  afterDoubleClick_ = false;
  if (click) Fire(Click);
}

void ControlBase::OnMouseDoubleClick(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  afterDoubleClick_ = true;
  Fire(DblClick);
}

void ControlBase::OnMouseMove(QMouseEvent* event) {
  if (!MouseMove) return;
  const QPointF at = event->position();
  const int buttons = ButtonMask(event->buttons());
  const int shift = ShiftMask(event->modifiers());
  Fire([this, buttons, shift, at] { MouseMove(buttons, shift, at.x() * kTwipsPerPixel, at.y() * kTwipsPerPixel); });
}

// ---- PictureBox ----

PictureBox::PictureBox(QWidget* container, const QString& name, int index)
    : QWidget(ContainerOf(container)), ControlBase(this, name, index) {
  setMouseTracking(true);
  setBackgroundRole(QPalette::Window);
  setForegroundRole(QPalette::WindowText);
  show();
}

void PictureBox::CopyFrom(const PictureBox& source) {
  picture_ = source.picture_;
  autoSize_ = source.autoSize_;
  borderStyle_ = source.borderStyle_;
  CopyBaseFrom(source);
}

void PictureBox::SetPicture(const rt::Picture& picture) {
  picture_ = picture;
  ApplyGeometry();
  update();
}

void PictureBox::SetAutoSize(bool on) {
  autoSize_ = on;
  ApplyGeometry();
}

void PictureBox::SetBorderStyle(int style) {
  borderStyle_ = style;
  update();
}

void PictureBox::ApplyGeometry() {
  if (autoSize_ && !picture_.IsEmpty()) SetSizeFromPixels(picture_.Pixmap().size());
  ControlBase::ApplyGeometry();
  if (canvas_.size() == size()) return;
  QImage grown(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  grown.fill(Qt::transparent);
  QPainter painter(&grown);
  painter.drawImage(0, 0, canvas_);
  canvas_ = grown;
}

void PictureBox::Cls() {
  canvas_.fill(Qt::transparent);
  currentY_ = 0;
  update();
}

void PictureBox::Print(const QString& text) {
  {
    QPainter painter(&canvas_);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetrics metrics(font());
    painter.drawText(QPointF(0, currentY_ / kTwipsPerPixel + metrics.ascent()), text);
  }
  currentY_ += TextHeight(text);
  update();
}

double PictureBox::TextWidth(const QString& text) const {
  return Twips(QFontMetrics(font()).horizontalAdvance(text));
}

double PictureBox::TextHeight(const QString& text) const {
  const int lines = static_cast<int>(WithLineFeeds(text).count(QLatin1Char('\n'))) + 1;
  return Twips(QFontMetrics(font()).height() * lines);
}

void PictureBox::DrawBox(double x1, double y1, double x2, double y2, Color color) {
  QPainter painter(&canvas_);
  painter.setPen(ToQColor(color));
  painter.setBrush(Qt::NoBrush);
  const QRect box = QRect(QPoint(Px(x1), Px(y1)), QPoint(Px(x2), Px(y2))).normalized();
  painter.drawRect(box.x(), box.y(), box.width() - 1, box.height() - 1);
  update();
}

void PictureBox::PaintContent(QPainter& painter) const {
  painter.fillRect(rect(), palette().color(backgroundRole()));
  if (!picture_.IsEmpty()) painter.drawPixmap(0, 0, picture_.Pixmap());
  painter.drawImage(0, 0, canvas_);
}

QImage PictureBox::Snapshot() const {
  QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  QPainter painter(&image);
  PaintContent(painter);
  return image;
}

// Qt takes an empty mask for no mask at all; a mask that lies wholly outside the box
// shows nothing and takes no clicks, as an empty region must.
void PictureBox::SetRegion(const QRegion& region) { setMask(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region); }

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintContent(painter);
  if (borderStyle_ == 0) return;
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

// ---- Image ----

Image::Image(QWidget* container, const QString& name, int index)
    : QWidget(ContainerOf(container)), ControlBase(this, name, index) {
  setMouseTracking(true);
  show();
}

void Image::CopyFrom(const Image& source) {
  picture_ = source.picture_;
  CopyBaseFrom(source);
}

void Image::SetPicture(const rt::Picture& picture) {
  picture_ = picture;
  if (!picture_.IsEmpty()) {
    SetSizeFromPixels(picture_.Pixmap().size());
    ApplyGeometry();
  }
  update();
}

void Image::paintEvent(QPaintEvent*) {
  if (picture_.IsEmpty()) return;
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_.Pixmap());
}

// ---- Label ----

Label::Label(QWidget* container, const QString& name, int index)
    : QWidget(ContainerOf(container)), ControlBase(this, name, index) {
  setMouseTracking(true);
  setBackgroundRole(QPalette::Window);
  setForegroundRole(QPalette::WindowText);
  show();
}

void Label::CopyFrom(const Label& source) {
  caption_ = source.caption_;
  alignment_ = source.alignment_;
  wordWrap_ = source.wordWrap_;
  autoSize_ = source.autoSize_;
  backStyle_ = source.backStyle_;
  CopyBaseFrom(source);
}

void Label::SetCaption(const QString& caption) {
  caption_ = caption;
  ApplyGeometry();
  update();
}

void Label::SetAlignment(int alignment) {
  alignment_ = alignment;
  update();
}

void Label::SetWordWrap(bool on) {
  wordWrap_ = on;
  ApplyGeometry();
  update();
}

void Label::SetAutoSize(bool on) {
  autoSize_ = on;
  ApplyGeometry();
}

void Label::SetBackStyle(int style) {
  backStyle_ = style;
  update();
}

QString Label::DisplayText() const { return WithLineFeeds(caption_); }

int Label::TextFlags() const {
  const int horizontal = alignment_ == kRightJustify ? Qt::AlignRight
                         : alignment_ == kCenter     ? Qt::AlignHCenter
                                                     : Qt::AlignLeft;
  return horizontal | Qt::AlignTop | (wordWrap_ ? Qt::TextWordWrap : 0);
}

void Label::ApplyGeometry() {
  if (autoSize_) {
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    if (wordWrap_) {
      const QRect bounds = metrics.boundingRect(QRect(0, 0, Px(Width()), 100000), TextFlags(), DisplayText());
      SetSizeFromPixels(QSize(Px(Width()), std::max(lineHeight, bounds.height())));
    } else {
      const QRect bounds = metrics.boundingRect(QRect(0, 0, 100000, 100000), TextFlags(), DisplayText());
      SetSizeFromPixels(QSize(bounds.width(), std::max(lineHeight, bounds.height())));
    }
  }
  ControlBase::ApplyGeometry();
}

void Label::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) ApplyGeometry();
  QWidget::changeEvent(event);
}

void Label::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (backStyle_ == kOpaque) painter.fillRect(rect(), palette().color(backgroundRole()));
  painter.setFont(font());
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
  painter.drawText(rect(), TextFlags(), DisplayText());
}

// ---- Frame ----

Frame::Frame(QWidget* container, const QString& name, int index)
    : QGroupBox(ContainerOf(container)), ControlBase(this, name, index) {
  setMouseTracking(true);
  show();
}

void Frame::CopyFrom(const Frame& source) {
  setTitle(source.title());
  CopyBaseFrom(source);
}

// ---- Shape ----

Shape::Shape(QWidget* container, const QString& name, int index)
    : QWidget(ContainerOf(container)), ControlBase(this, name, index) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  show();
}

void Shape::CopyFrom(const Shape& source) {
  fillColor_ = source.fillColor_;
  fillStyle_ = source.fillStyle_;
  backStyle_ = source.backStyle_;
  borderStyle_ = source.borderStyle_;
  CopyBaseFrom(source);
}

void Shape::SetFillColor(Color color) {
  fillColor_ = color;
  update();
}
void Shape::SetFillStyle(int style) {
  fillStyle_ = style;
  update();
}
void Shape::SetBackStyle(int style) {
  backStyle_ = style;
  update();
}
void Shape::SetBorderStyle(int style) {
  borderStyle_ = style;
  update();
}

void Shape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (backStyle_ == kOpaque) painter.fillRect(rect(), palette().color(backgroundRole()));
  if (fillStyle_ == kSolid) painter.fillRect(rect(), ToQColor(fillColor_));
  if (borderStyle_ == 0) return;
  painter.setPen(ToQColor(kBlack));
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

// ---- Line ----

Line::Line(QWidget* container, const QString& name, int index)
    : QWidget(ContainerOf(container)), ControlBase(this, name, index) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  show();
}

void Line::CopyFrom(const Line& source) {
  x1_ = source.x1_;
  y1_ = source.y1_;
  x2_ = source.x2_;
  y2_ = source.y2_;
  CopyBaseFrom(source);
}

void Line::SetPoints(double x1, double y1, double x2, double y2) {
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  Move(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + kTwipsPerPixel, std::abs(y2 - y1) + kTwipsPerPixel);
  update();
}

void Line::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(ToQColor(kBlack));
  const QPoint origin(Px(Left()), Px(Top()));
  painter.drawLine(QPoint(Px(x1_), Px(y1_)) - origin, QPoint(Px(x2_), Px(y2_)) - origin);
}

// ---- CommandButton ----

CommandButton::CommandButton(QWidget* container, const QString& name, int index)
    : QPushButton(ContainerOf(container)), ControlBase(this, name, index) {
  setAutoDefault(false);
  setBackgroundRole(QPalette::Button);
  setForegroundRole(QPalette::ButtonText);
  connect(this, &QPushButton::clicked, this, [this] { Fire(Click); });
  show();
}

void CommandButton::CopyFrom(const CommandButton& source) {
  setText(source.text());
  style_ = source.style_;
  picture_ = source.picture_;
  setToolTip(source.toolTip());
  CopyBaseFrom(source);
  ShowPicture();
}

void CommandButton::SetStyle(int style) {
  style_ = style;
  ShowPicture();
}

void CommandButton::SetPicture(const rt::Picture& picture) {
  picture_ = picture;
  ShowPicture();
}

void CommandButton::ShowPicture() {
  if (style_ != kGraphicalStyle || picture_.IsEmpty()) {
    setIcon(QIcon());
    return;
  }
  setIcon(QIcon(picture_.Pixmap()));
  setIconSize(picture_.Pixmap().size());
}

void CommandButton::SetDefault(bool on) {
  Form* form = Form::Of(this);
  if (!form) return;
  if (on)
    form->SetDefaultButton(this);
  else if (form->DefaultButton() == this)
    form->SetDefaultButton(nullptr);
  setDefault(on);
}

void CommandButton::SetCancel(bool on) {
  Form* form = Form::Of(this);
  if (!form) return;
  if (on)
    form->SetCancelButton(this);
  else if (form->CancelButton() == this)
    form->SetCancelButton(nullptr);
}

// ---- CheckBox ----

CheckBox::CheckBox(QWidget* container, const QString& name, int index)
    : QCheckBox(ContainerOf(container)), ControlBase(this, name, index) {
  connect(this, &QCheckBox::clicked, this, [this] {
    setTristate(false);
    Fire(Click);
  });
  show();
}

void CheckBox::CopyFrom(const CheckBox& source) {
  setText(source.text());
  setCheckState(source.checkState());
  CopyBaseFrom(source);
}

int CheckBox::Value() const { return isChecked() ? kChecked : kUnchecked; }

void CheckBox::SetValue(int value) {
  if (value == Value()) return;
  setChecked(value == kChecked);
  Fire(Click);
}

// ---- OptionButton ----

OptionButton::OptionButton(QWidget* container, const QString& name, int index)
    : QRadioButton(ContainerOf(container)), ControlBase(this, name, index) {
  connect(this, &QRadioButton::toggled, this, [this](bool on) {
    if (on && !settingValue_) Fire(Click);
  });
  show();
}

void OptionButton::CopyFrom(const OptionButton& source) {
  setText(source.text());
  CopyBaseFrom(source);
}

void OptionButton::SetValue(bool value) {
  settingValue_ = true;
  setAutoExclusive(value);
  setChecked(value);
  setAutoExclusive(true);
  settingValue_ = false;
  if (value) Fire(Click);
}

// ---- TextBox ----

TextBox::TextBox(QWidget* container, const QString& name, int index)
    : QLineEdit(ContainerOf(container)), ControlBase(this, name, index) {
  setBackgroundRole(QPalette::Base);
  setForegroundRole(QPalette::Text);
  connect(this, &QLineEdit::textEdited, this, [this](const QString& text) { UserEdited(text); });
  show();
}

void TextBox::CopyFrom(const TextBox& source) {
  setText(source.text());
  lastText_ = source.text();
  maxLength_ = source.maxLength_;
  CopyBaseFrom(source);
}

void TextBox::SetText(const QString& text) {
  if (text == QLineEdit::text()) return;
  setText(text);
  lastText_ = text;
  Fire(Change);
}

void TextBox::UserEdited(const QString& text) {
  if (maxLength_ > 0 && text.size() > maxLength_ && text.size() > lastText_.size()) {
    const int cursor = std::max(0, static_cast<int>(cursorPosition() - (text.size() - lastText_.size())));
    setText(lastText_);
    setCursorPosition(cursor);
    return;
  }
  lastText_ = text;
  Fire(Change);
}

void TextBox::SetSelStart(int start) { setCursorPosition(start); }

void TextBox::SetSelLength(int length) {
  setSelection(hasSelectedText() ? selectionStart() : cursorPosition(), length);
}

void TextBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  Fire(GotFocus);
}

// ---- TimerControl ----

TimerControl::TimerControl(QWidget* container, const QString& name, int index)
    : QObject(ContainerOf(container)),
      clock_(new ClockTimer([this] { RunHandler([this] { if (Timer) Timer(); }, this); }, this)) {
  setObjectName(ObjectName(name, index));
}

}  // namespace rt
