// The day's play time: counted at the player's actions with a tolerance for pauses,
// shown as the time bar and its tooltip, announced in minutes, and the end of play
// for the day.
#include <vector>

#include "game/frmMain.h"
#include "msgbox/MsgBoxCall.h"
#include "playtime/PlayTime.h"
#include "runtime/Clock.h"
#include "runtime/ErrorBox.h"
#include "runtime/Events.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "settings/SettingsState.h"
#include "support/MainFunctions.h"

namespace {

// The bar's bottom edge stays 8 pixels above its frame's lower edge.
constexpr double kTimeBarBottomGap = 8.0 * rt::Screen::TwipsPerPixelY;
// Enough rounds of pending events for the window to have painted itself after an
// activation before the activation counts as an action.
constexpr int kActivateEventRounds = 3;

// Empties the board and returns the pictures of the balls it held, in scan order.
std::vector<int16_t> TakeAllBalls(Board& board) {
  std::vector<int16_t> pictures;
  ForEachCell(board, [&](BoardCell& cell) {
    if (!cell.Occupied) return;
    pictures.push_back(cell.PicIndex);
    cell.Occupied = false;
    cell.Marked = false;
  });
  return pictures;
}

// The title window, when it is still open, goes before the board is cleared.
void UnloadTitleWindow() {
  if (rt::Form* title = rt::Form::Loaded(QStringLiteral("frmTitle"))) title->Unload();
}

}  // namespace

void frmMain::RefreshPlayTime() {
  if (!playtime::CountsPlayTime(RestrictedTime) || TimeLimitReached) return;
  const float now = rt::Timer();
  if (LastTick == -1) {
    LastTick = now;
    shpTime->SetVisible(true);
  }
  const float counted = playtime::CountedSeconds(LastTick, now, ToleranceTime);
  PlayTimeToday_ += counted;
  AbsoluteTime += counted;
  ShowTimeBar(playtime::PercentLeft(PlayTimeToday_, RestrictedTime));
  ShowTimeLeft();
  LastTick = now;
  if (PlayTimeToday_ > RestrictedTime) WarnLastGameToday();
}

void frmMain::ShowTimeBar(float Pct) {
  const playtime::TimeBarLook look =
      playtime::TimeBarFor(Pct, TimeBarHeight, shpTime->Height(), fraTimeLeft->Height(), kTimeBarBottomGap);
  shpTime->SetFillColor(look.FillColor);
  shpTime->Refresh();
  if (!look.Visible) {
    shpTime->SetVisible(false);
    return;
  }
  shpTime->SetHeight(look.Height);
  shpTime->SetTop(look.Top);
}

void frmMain::ShowTimeLeft() {
  fraTimeLeft->SetToolTipText(playtime::TimeLeftToolTip(PlayTimeToday_, RestrictedTime));
  if (!playtime::CountsPlayTime(RestrictedTime)) return;
  DoSpeech(QStringLiteral("T"), playtime::MinutesLeft(PlayTimeToday_, RestrictedTime));
}

// Accounting stops before the notice: a step that arrives during its wait or while its
// box is open must not warn a second time.
void frmMain::WarnLastGameToday() {
  TimeLimitReached = true;
  LastGameToday = true;
  shpTime->SetVisible(false);
  // With comments on, the spoken warning of the passed limit has just said it.
  if (CommentsOn) return;
  PlayWaveAndWait(QStringLiteral("Timeover"), 0, EffectWait::Timeover);
  NoButtonExplanation = true;
  FMsgB(playtime::TimeOverText(RestrictedTime), kNoticeStyle, rt::App::Title);
}

void frmMain::fraTimeLeft_MouseMove(int Button, int Shift, double X, double Y) {
  (void)Button;
  (void)Shift;
  (void)X;
  (void)Y;
  ShowTimeLeft();
}

void frmMain::Form_Activate() {
  if (RestrictedTime <= 0 || PlayTimeToday_ >= RestrictedTime) return;
  Refresh();
  for (int round = 0; round < kActivateEventRounds; ++round) rt::DoEvents();
  RefreshPlayTime();
}

void frmMain::EndForToday() {
  const std::vector<int16_t> balls = TakeAllBalls(game_.CurrentBoard());
  if (!balls.empty()) {
    UnloadTitleWindow();
    RemoveMarkedBalls(balls);
  }
  // The limit passed during this run: the end of the last game says goodbye itself.
  if (TimeLimitReached) return;
  NoButtonExplanation = true;
  MsgComment = SpeechToken::TimeIsUp;
  FMsgB(playtime::GoodbyeText(), kNoticeStyle, rt::App::Title);
  rt::EndProcess();
}
