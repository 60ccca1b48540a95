// The main window's side of the day's play time: the game's calls into it, the time bar
// and its frame, and the board cleared for the goodbye.
#include <vector>

#include "game/frmMain.h"
#include "runtime/Events.h"

namespace {

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

void frmMain::RefreshPlayTime() { playTime_.RefreshPlayTime(); }

void frmMain::ShowTimeLeft() { playTime_.ShowTimeLeft(); }

void frmMain::EndForToday() { playTime_.EndForToday(); }

void frmMain::fraTimeLeft_MouseMove(int Button, int Shift, double X, double Y) {
  (void)Button;
  (void)Shift;
  (void)X;
  (void)Y;
  ShowTimeLeft();
}

void frmMain::Form_Activate() {
  if (!playTime_.CountsActivation()) return;
  Refresh();
  for (int round = 0; round < kActivateEventRounds; ++round) rt::DoEvents();
  RefreshPlayTime();
}

double frmMain::TimeBarShownHeight() const { return shpTime->Height(); }

double frmMain::TimeFrameHeight() const { return fraTimeLeft->Height(); }

void frmMain::SetTimeBarVisible(bool visible) { shpTime->SetVisible(visible); }

void frmMain::PaintTimeBar(const playtime::TimeBarLook& look) {
  shpTime->SetFillColor(look.FillColor);
  shpTime->Refresh();
  if (!look.Visible) {
    shpTime->SetVisible(false);
    return;
  }
  shpTime->SetHeight(look.Height);
  shpTime->SetTop(look.Top);
}

void frmMain::SetTimeLeftToolTip(const QString& text) { fraTimeLeft->SetToolTipText(text); }

void frmMain::SayMinutesLeft(int32_t minutes) { DoSpeech(CommentEvent::TimeLeft, minutes); }

void frmMain::ClearBoardForGoodbye() {
  const std::vector<int16_t> balls = TakeAllBalls(game_.CurrentBoard());
  if (balls.empty()) return;
  UnloadTitleWindow();
  RemoveMarkedBalls(balls);
}
