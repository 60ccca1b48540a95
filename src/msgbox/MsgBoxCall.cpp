#include "msgbox/MsgBoxCall.h"

#include <algorithm>
#include <array>
#include <utility>

#include "msgbox/frmMsg.h"
#include "runtime/MsgBox.h"
#include "runtime/Numbers.h"
#include "runtime/Screen.h"
#include "runtime/Seams.h"
#include "settings/SettingsState.h"

int16_t MsgAnswer = 0;
int32_t MsgStyle = 0;
uint8_t MsgComment = 0;
bool NoButtonExplanation = false;

namespace {

rt::Seam<std::function<int16_t(const FMsgBRequest&)>> responder;

QString TitleOrAppTitle(const QString& Title) { return Title.isNull() ? rt::App::Title : Title; }

// Layout figures are rounded like the rest of the game's arithmetic, halves to even, but
// on 32 bits: a prompt of hundreds of lines gives a box taller than the screen, not an
// overflow error.
int32_t Round(double value) { return rt::CLng(value); }

// A sign flag and the imgButtons picture it shows, in the order the flags are tested.
constexpr std::pair<int32_t, int> kSigns[] = {
    {rt::kInformationSign, 3}, {rt::kQuestionSign, 1}, {rt::kStopSign, 2}, {rt::kExclamationSign, 0}};

// What one button-set flag sets when its test passes; -1 marks no button.
struct ButtonSet {
  int32_t value;
  std::array<const char*, 3> tags;
  int defaultIndex;
  int cancelIndex;
  int16_t count;
};

// Set 0 always passes; a later set that passes overrides what an earlier one set, so
// set 2 keeps the default mark of set 0 and set 3 ends with the cancel mark on cmd(2).
constexpr ButtonSet kButtonSets[] = {
    {rt::kOkOnly, {"OK", nullptr, nullptr}, 0, -1, 1},
    {rt::kOkCancel, {"OK", "&Abbrechen", nullptr}, 0, 1, 2},
    {rt::kAbortRetryIgnore, {"&Abbrechen", "&Wiederholen", "&Ignorieren"}, -1, 0, 3},
    {rt::kYesNoCancel, {"&Ja", "&Nein", "&Abbrechen"}, -1, 2, 3},
    {rt::kYesNo, {"&Ja", "&Nein", nullptr}, 0, 1, 2},
    {rt::kRetryCancel, {"&Wiederholen", "&Abbrechen", nullptr}, 0, 1, 2},
};

int16_t AnswerByResponder(const QString& prompt, int32_t buttons, const QString& Title) {
  const FMsgBRequest request{prompt, buttons, TitleOrAppTitle(Title), MsgComment, !NoButtonExplanation};
  MsgStyle = buttons;
  MsgComment = 0;
  NoButtonExplanation = false;
  const int16_t answer = responder.Replacement()(request);
  if (answer != 0) MsgAnswer = answer;
  return MsgAnswer;
}

}  // namespace

int SignPictureIndex(int32_t buttons) {
  int picture = -1;
  for (const auto& [flag, index] : kSigns)
    if ((buttons & flag) == flag) picture = index;
  return picture;
}

MsgBoxLayout LayoutMsgBox(const MsgBoxMetrics& m) {
  const double px = rt::Screen::TwipsPerPixelX;
  const double py = rt::Screen::TwipsPerPixelY;
  MsgBoxLayout l;
  l.margin = Round(8 * px);
  l.signLeft = 8 * px;
  l.signTop = 8 * py;
  const double signHeight = m.signVisible ? m.signHeight : 0;
  // The sign's column beside the label and the row.
  const double signColumn = m.signVisible ? m.signWidth + 8 * px : 0;
  l.labelLeft = m.signVisible ? l.signLeft + m.signWidth + 8 * px : l.signLeft;
  l.windowWidth = (m.signVisible ? l.signLeft + signColumn : 0) + m.labelWidth + 16 * px;
  l.innerHeight = std::max(signHeight, m.buttonHeight + m.labelHeight + 16 * py) + 16 * py;
  l.windowHeight = l.innerHeight + m.frameHeight;

  l.rowTop = Round(m.labelHeight + 24 * py);
  l.signAbove = m.signVisible && l.signTop + m.signHeight < l.rowTop;
  if (l.rowTop + m.buttonHeight < signHeight) {
    // A sign taller than text and buttons: the row ends level with the sign.
    l.signAbove = false;
    l.rowTop = Round(signHeight - m.buttonHeight + 8 * py);
  }

  l.rowWidth = Round(m.count * m.buttonWidth + (m.count - 1) * l.margin);
  if (l.rowWidth > m.labelWidth) l.windowWidth = signColumn + l.rowWidth + 16 * px;
  const double spread = std::max(double(l.rowWidth), m.labelWidth) - std::min(double(l.rowWidth), m.labelWidth);
  l.firstLeft = l.signAbove ? Round((signColumn + spread) / 2)
                            : Round(8 * px + (m.signVisible ? 8 * px + m.signWidth : 0) + spread / 2);
  for (int i = 0; i < m.count; ++i) l.buttonLeft[i] = i * m.buttonWidth + l.firstLeft + i * l.margin;

  l.labelTop = (l.innerHeight - (32 * py + m.buttonHeight + m.labelHeight)) / 2 + 8 * py;
  return l;
}

void ImitateMsgboxSub(const QString& prompt, int32_t buttons, const QString& Title) {
  frmMsg& box = MsgForm();
  box.Load();
  box.lblmsg->SetCaption(prompt);
  box.SetCaption(TitleOrAppTitle(Title));

  // The sign's corner is the same for every box.
  const MsgBoxLayout start = LayoutMsgBox({});
  box.imgSign->Move(start.signLeft, start.signTop);
  const int sign = SignPictureIndex(buttons);
  box.imgSign->SetVisible(sign >= 0);
  if (sign >= 0) box.imgSign->SetPicture(box.imgButtons(sign).Picture());

  for (int i = 0; i < 3; ++i) {
    box.cmd(i).SetCancel(false);
    box.cmd(i).SetDefault(false);
    box.cmd(i).SetVisible(false);
  }
  int16_t count = 1;
  for (const ButtonSet& set : kButtonSets) {
    if ((buttons & set.value) != set.value) continue;
    for (int i = 0; i < 3; ++i)
      if (set.tags[i]) box.cmd(i).SetTag(QString::fromLatin1(set.tags[i]));
    // The window has one default and one cancel button: a new mark moves it.
    if (set.defaultIndex >= 0) {
      for (int i = 0; i < 3; ++i) box.cmd(i).SetDefault(false);
      box.cmd(set.defaultIndex).SetDefault(true);
    }
    if (set.cancelIndex >= 0) box.cmd(set.cancelIndex).SetCancel(true);
    count = set.count;
  }
  for (int i = 0; i < count; ++i) box.cmd(i).SetVisible(true);

  MsgBoxMetrics metrics;
  metrics.signVisible = sign >= 0;
  metrics.signWidth = box.imgSign->Width();
  metrics.signHeight = box.imgSign->Height();
  metrics.labelWidth = box.lblmsg->Width();
  metrics.labelHeight = box.lblmsg->Height();
  metrics.buttonWidth = box.cmd(0).Width();
  metrics.buttonHeight = box.cmd(0).Height();
  metrics.count = count;
  metrics.frameHeight = box.Height() - box.ScaleHeight();
  const MsgBoxLayout layout = LayoutMsgBox(metrics);

  box.lblmsg->SetLeft(layout.labelLeft);
  box.SetWidth(layout.windowWidth);
  box.SetHeight(layout.windowHeight);
  for (int i = 0; i < 3; ++i) box.cmd(i).SetTop(layout.rowTop);
  for (int i = 0; i < count; ++i) box.cmd(i).SetLeft(layout.buttonLeft[i]);
  box.lblmsg->SetTop(layout.labelTop);

  // In learn mode the shut-up button takes the sign's place. A box without a sign has no
  // room for it: there it would cover the prompt and the first answer button.
  box.imgSign->SetVisible(sign >= 0 && !LearnMode);
  box.cmdShutUp->SetVisible(sign >= 0 && LearnMode);
  MsgStyle = buttons;

  const int pointer = rt::Screen::MousePointer();
  rt::Screen::SetMousePointer(rt::kPointerDefault);
  box.ShowModal();
  rt::Screen::SetMousePointer(pointer);
}

int16_t FMsgB(const QString& prompt, int32_t buttons, const QString& Title) {
  if (responder.Replaced()) return AnswerByResponder(prompt, buttons, Title);
  ImitateMsgboxSub(prompt, buttons, Title);
  return MsgAnswer;
}

void SetFMsgBResponder(std::function<int16_t(const FMsgBRequest&)> replacement) {
  responder.Set(std::move(replacement));
}
