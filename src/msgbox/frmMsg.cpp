#include "msgbox/frmMsg.h"

#include <QPixmap>
#include <utility>

#include "msgbox/MsgBoxCall.h"
#include "runtime/Color.h"
#include "runtime/Events.h"
#include "runtime/MsgBox.h"
#include "settings/SettingsState.h"
#include "settings/Tokens.h"
#include "support/MainCommands.h"

namespace {

// The sign pictures, in the order of imgButtons.
const char* const kSignPictures[] = {
    ":/design/sign_exclamation.png",
    ":/design/sign_question.png",
    ":/design/sign_x.png",
    ":/design/sign_info.png",
};

// The answer of each tag word, in the order the words are compared.
const std::pair<const char*, int16_t> kAnswers[] = {
    {"OK", rt::kAnswerOk},
    {"JA", rt::kAnswerYes},
    {"NEIN", rt::kAnswerNo},
    {"ABBRECHEN", rt::kAnswerCancel},
    {"WIEDERHOLEN", rt::kAnswerRetry},
    {"IGNORIEREN", rt::kAnswerIgnore},
};


}  // namespace

frmMsg::frmMsg() : Form(QStringLiteral("frmMsg")) {
  SetBorder(rt::FormBorder::kDialogNoClose);
  SetStartUpPosition(rt::StartUpPosition::kCenterScreen);
}

frmMsg& MsgForm() { return frmMsg::The(); }

void frmMsg::Design() {
  SetClientSize(7200, 2685);

  lblmsg = new rt::Label(this, QStringLiteral("lblmsg"));
  lblmsg->Move(1605, 165, 3405, 195);
  lblmsg->SetAlignment(rt::kCenter);
  lblmsg->SetWordWrap(true);
  lblmsg->SetAutoSize(true);
  lblmsg->SetBackStyle(rt::kTransparent);
  lblmsg->SetCaption(QStringLiteral("lblmsg"));

  imgSign = new rt::Image(this, QStringLiteral("imgSign"));
  imgSign->Move(225, 225, 1380, 1380);
  imgSign->SetPicture(rt::LoadPicture(QStringLiteral(":/design/sign_design.png")));
  imgSign->SetVisible(false);

  for (int i = 0; i < 4; ++i) {
    rt::Image& sign = imgButtons.Create(this, i);
    sign.SetPicture(rt::LoadPicture(QString::fromLatin1(kSignPictures[i])));
    sign.SetVisible(false);
  }

  const double kButtonSize = 1080;
  const std::pair<double, double> places[] = {{675, 1080}, {2205, 1080}, {3645, 1125}};
  for (int i = 0; i < 3; ++i) {
    rt::CommandButton& button = cmd.Create(this, i);
    button.Move(places[i].first, places[i].second, kButtonSize, kButtonSize);
    button.SetStyle(rt::kGraphicalStyle);
    button.SetVisible(false);
  }
  cmd(0).SetPicture(rt::LoadButtonPicture(QStringLiteral(":/design/button_yes.png")));
  cmd(1).SetPicture(rt::LoadButtonPicture(QStringLiteral(":/design/button_no.png")));
  cmd(2).SetCaption(QStringLiteral("Button"));
  cmd(2).SetBackColor(rt::kWhite);
  cmd.On(&rt::CommandButton::Click, [this](int Index) { cmd_Click(Index); });

  cmdShutUp = new rt::CommandButton(this, QStringLiteral("cmdShutUp"));
  cmdShutUp->Move(270, 270, kButtonSize, kButtonSize);
  cmdShutUp->SetStyle(rt::kGraphicalStyle);
  cmdShutUp->SetPicture(rt::LoadButtonPicture(QStringLiteral(":/design/button_shutup.png")));
  cmdShutUp->Click = [this] { cmdShutUp_Click(); };
}

void frmMsg::cmd_Click(int Index) {
  const QString word = StrReplace(cmd(Index).Tag(), QStringLiteral("&"), QString()).toUpper();
  for (const auto& [tag, answer] : kAnswers) {
    if (word != QLatin1String(tag)) continue;
    MsgAnswer = answer;
    break;
  }
  Hide();
}

void frmMsg::cmdShutUp_Click() {
  LearnMode = false;
  // The sign takes the shut-up button's place, in a box that has one.
  imgSign->SetVisible(SignPictureIndex(MsgStyle) >= 0);
  cmdShutUp->SetVisible(false);
  SendMainCommand(CommandWord::ShutUp);
}

// The window manager may offer a close box although the box has none. Closing it must
// not report an answer the player never gave: it answers as the cancel button where
// the box has one (as Escape does), and otherwise the box stays open until a button
// answers. The end of the session and the program's own unload still close it.
void frmMsg::Form_QueryUnload(int& Cancel, int UnloadMode) {
  if (UnloadMode != rt::kCloseBox) return;
  Cancel = 1;
  QAbstractButton* cancel = CancelButton();
  if (cancel && cancel->isVisible() && cancel->isEnabled()) cancel->click();
}

void frmMsg::Form_Activate() {
  if (!NoButtonExplanation) {
    SendMainCommand(CommandWord::ExplainButtons);
    SendMainCommand(CommandWord::ExplainShutUp);
  }
  NoButtonExplanation = false;
}

void frmMsg::Form_Paint() {
  if (PaintGuard) return;
  PaintGuard = true;
  FocusChosenButton();
  SpeakPendingComment();
  PaintGuard = false;
}

// Every paint puts the focus back on the button the style names; a named button that is
// not shown leaves the focus on the one before it.
void frmMsg::FocusChosenButton() {
  cmd(0).SetFocus();
  if ((MsgStyle & rt::kDefaultButton2) == rt::kDefaultButton2) cmd(1).SetFocus();
  if ((MsgStyle & rt::kDefaultButton3) == rt::kDefaultButton3) cmd(2).SetFocus();
}

// The box is drawn completely before the comment blocks the thread.
void frmMsg::SpeakPendingComment() {
  if (MsgComment == 0) return;
  rt::DoEvents();
  Refresh();
  rt::DoEvents();
  SendMainCommand(SayCommentWord(MsgComment));
  MsgComment = 0;
}
