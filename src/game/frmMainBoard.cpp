// The board side of the main window: ball pictures, the deal, groups and their points
// label, moves with their animation, undo and redo, and the score panel.
#include "game/Deal.h"
#include "game/ScoreDisplay.h"
#include "game/frmMain.h"
#include "runtime/Files.h"
#include "runtime/Numbers.h"
#include "runtime/Screen.h"
#include "settings/ColorMap.h"
#include "settings/SettingsState.h"
#include "support/FlagScope.h"
#include "support/Folders.h"
#include "support/MainFunctions.h"

namespace {

// The pure wait after each frame of the vanishing animation.
constexpr float kFrameWait = 40;

// The vanishing animation shows frames 0 to 3; its fifth step hides the balls.
constexpr int kAnimationFrames = 4;

}  // namespace

// ---- ball pictures and the deal ----

int frmMain::Cells() const { return int32_t{GameColumns_} * GameRows_; }

void frmMain::LoadBallControls() {
  for (int k = 1; k <= Cells(); ++k) picOnBoard.Load(k);
}

void frmMain::HideBallPictures() {
  for (int k = 1; k <= Cells(); ++k) picOnBoard(k).SetVisible(false);
}

void frmMain::LayoutBoardPictures() {
  int k = 0;
  for (int c0 = 0; c0 < GameColumns_; ++c0)
    for (int r0 = 0; r0 < GameRows_; ++r0) picOnBoard(++k).Move(CellWidth * c0, CellHeight * r0);
}

void frmMain::Colorpics() {
  BuildSettingsColorMap();
  for (int i = 0; i < BallColors; ++i)
    picItem(i).SetPicture(rt::LoadPicture(BallPictureFile(Colors[i])));
}

void frmMain::DealNewBoard() {
  const DealSettings settings{GameColumns_, GameRows_, BallColors, MaxBallsOnStart_, CellWidth, CellHeight};
  game_.DealNewBoard(settings, [this](const Board& board) { ShowDealAttempt(board); });
  PlayWaveAndWait(QStringLiteral("setball2"), 0, EffectWait::DealEnd);
  ActualizeMenu(MenuItem::Backmove, false);
  picPercentScore(0).SetBackColor(ColorForPercent(0));
  picPercentScore(0).SetWidth(PercentBarWidth);
  picPercentScore(1).SetBackColor(ColorForPercent(100));
  speech_.ForgetHighscoreCelebration();
}

// The board a deal keeps, on screen: the board empties, then fills column by column.
void frmMain::ShowDealAttempt(const Board& board) {
  picScore->SetVisible(false);
  HideBallPictures();
  Colorpics();
  Refresh();
  LayoutBoardPictures();
  ActualizeMenu(MenuItem::Backmove, false);
  ActualizeMenu(MenuItem::MoveForward, false);
  for (int c = 1; c <= board.Columns(); ++c) {
    for (int r = 1; r <= board.Rows(); ++r) {
      const BoardCell& cell = board(c, r);
      rt::PictureBox& ball = picOnBoard(cell.PicIndex);
      ball.Move(cell.Left, cell.Top);
      SetBallPicture(cell.PicIndex, picItem(cell.ColorIndex).Picture());
      ball.SetVisible(true);
    }
    PlayWaveAndWait(QStringLiteral("setball"), 0, EffectWait::DealColumn);
  }
}

// A new picture replaces whatever outline was drawn over the old one.
void frmMain::SetBallPicture(int Index, const rt::Picture& picture) {
  rt::PictureBox& ball = picOnBoard(Index);
  ball.Cls();
  ball.SetPicture(picture);
}

void frmMain::ShowBoardPictures() {
  const std::vector<PictureState> states = game_.PictureStates();
  for (int k = 1; k < static_cast<int>(states.size()); ++k) {
    const PictureState& state = states[k];
    rt::PictureBox& ball = picOnBoard(k);
    ball.SetVisible(false);
    ball.Move(state.Left, state.Top);
    SetBallPicture(k, picItem(state.ColorIndex).Picture());
    ball.SetVisible(state.Visible);
  }
}

// ---- groups ----

void frmMain::SelectGroup(int16_t Index) {
  if (game_.SelectGroup(Index) >= 2) ShowGroupScore(true);
}

// Black one-pixel outlines on the marked balls and the points label beside the group, or
// white outlines (the balls' own background) and no label.
void frmMain::ShowGroupScore(bool Show) {
  const rt::Color outline = Show ? rt::kBlack : rt::kWhite;
  for (int16_t pic : game_.MarkedPics())
    picOnBoard(pic).DrawBox(0, 0, CellWidth - rt::Screen::TwipsPerPixelX, CellHeight - rt::Screen::TwipsPerPixelY,
                            outline);
  if (!Show) {
    picScore->SetVisible(false);
    return;
  }
  const QString text = QString::fromStdString(PointsLabelText(GroupPoints(game_.GroupSize())));
  picScore->Cls();
  const double height = 1.2 * picScore->TextHeight(text);
  const double width = 1.4 * picScore->TextWidth(text);
  picScore->SetHeight(height);
  picScore->SetWidth(width);
  picScore->Print(text);
  const LabelPlace place =
      PlacePointsLabel(game_.PointsAnchor(), static_cast<float>(width), static_cast<float>(height));
  picScore->Move(place.Left, place.Top);
  picScore->SetVisible(true);
}

void frmMain::ClearMarks() {
  game_.ClearMarks();
  ShowGroupScore(false);
}

bool frmMain::IsMarkedBall(int16_t Index) const { return game_.IsMarkedBall(Index); }

// The largest group; the outlines of a group marked before are erased, as is its label.
int16_t frmMain::BestGroupSize() {
  ShowGroupScore(false);
  const int16_t best = game_.BestGroupSize();
  ClearMarks();
  return best;
}

// ---- clicks and moves ----

void frmMain::picOnBoard_Click(int Index) {
  if (SoundBusy || GameOver) return;
  const auto index = static_cast<int16_t>(Index);
  RefreshPlayTime();
  game_.RecordClick(index);
  if (!IsMarkedBall(index) && !RemoveGroupNow) {
    ShowGroupScore(false);
    SelectGroup(index);
    if (game_.GroupSize() == 1) PlayWaveAndWait(QStringLiteral("WrongBall"), 0, EffectWait::WrongBall);
    return;
  }
  picScore->SetVisible(false);
  const int32_t points = GroupPoints(game_.GroupSize());
  CompleteMove();
  DoSpeech(CommentEvent::GroupRemoved, points);
}

// A double click arrives after its first click, which marked the group; this second
// click removes it.
void frmMain::picOnBoard_DblClick(int Index) { picOnBoard_Click(Index); }

void frmMain::picScore_Click() {
  FlagScope removeNow(RemoveGroupNow);
  picOnBoard_Click(0);
}

// The rules carry out the whole move at once; the screen follows step by step.
void frmMain::CompleteMove() {
  const std::optional<MoveOutcome> outcome = game_.CompleteMove();
  if (!outcome) return;
  GameRunning = true;
  ActualizeMenu(MenuItem::Backmove, true);
  RemoveMarkedBalls(outcome->RemovedPics);
  MoveBallPictures(outcome->Fall.Moves);
  if (outcome->Fall.AnyFell()) PlayWaveAndWait(QStringLiteral("SetBall"), 0, EffectWait::SetBall);
  ShowScore(false);
  ClearMarks();
  MoveBallPictures(outcome->Closing.Moves);
  if (outcome->Closing.AnyShifted()) PlayWaveAndWait(QStringLiteral("DelCol"), 0, EffectWait::DelCol);
  if (outcome->Best <= 1)
    FinishGame();
  else
    ShowGroupScore(false);
  ClearMarks();
}

void frmMain::RemoveMarkedBalls(const std::vector<int16_t>& RemovedPics) {
  PlayWaveAndWait(QStringLiteral("DelBalls"), 0, EffectWait::DelBalls);
  for (int frame = 1; frame <= kAnimationFrames + 1; ++frame) {
    for (int16_t pic : RemovedPics) {
      if (frame <= kAnimationFrames) {
        SetBallPicture(pic, picVAnim(frame - 1).Picture());
        continue;
      }
      picOnBoard(pic).SetVisible(false);
      picOnBoard(pic).Move(0, 0);
    }
    PlayWaveAndWait(QString(), 0, kFrameWait);
  }
}

void frmMain::MoveBallPictures(const std::vector<BallMove>& moves) {
  for (const BallMove& move : moves) picOnBoard(move.PicIndex).Move(move.Left, move.Top);
}

// ---- undo and redo ----

// Dropped during any wait: the board on screen must have caught up with the rules
// before it can be taken back.
void frmMain::menBackmove_Click() {
  if (SoundBusy || UndoRunning) return;
  FlagScope running(UndoRunning);
  if (const std::optional<int16_t> click = game_.Undo()) {
    ShowBoardPictures();
    ShowScore(true);
    GameOver = false;
    ClearMarks();
    picOnBoard_Click(*click);
    PlayWaveAndWait(QStringLiteral("Undo"), 0, EffectWait::Undo);
  }
  if (game_.Score() < Highscore) speech_.ForgetHighscoreCelebration();
  ActualizeMenu(MenuItem::MoveForward, true);
  if (game_.MoveIndex() == 0) ActualizeMenu(MenuItem::Backmove, false);
}

// Shows the board after the next move at once. A redone move that leaves no group was
// the game's last: the board closes again without a second end of the game.
void frmMain::menMoveForward_Click() {
  if (SoundBusy) return;
  const std::optional<MoveOutcome> outcome = game_.Redo();
  if (!outcome) return;
  ClearMarks();
  ShowBoardPictures();
  ShowScore(true);
  GameOver = outcome->Best <= 1;
  GameRunning = !GameOver;
  PlayWaveAndWait(QStringLiteral("Redo"), 0, EffectWait::Redo);
  ActualizeMenu(MenuItem::Backmove, true);
  if (game_.MoveIndex() < game_.MoveCount()) ActualizeMenu(MenuItem::MoveForward, true);
}

// ---- score panel ----

void frmMain::ShowScore(bool ShowHigh) {
  const ScoreView view = ComputeScoreView(ShowHigh, game_.Score(), Highscore, PercentBarWidth);
  rt::PictureBox& highscoreBar = picPercentScore(0);
  rt::PictureBox& scoreBar = picPercentScore(1);
  highscoreBar.SetVisible(view.BarsVisible);
  scoreBar.SetWidth(0);
  scoreBar.SetVisible(view.BarsVisible);
  if (view.HighscoreText) lblScore(2).SetCaption(QString::fromStdString(*view.HighscoreText));
  if (view.HighscoreBar) {
    highscoreBar.SetBackColor(view.HighscoreBar->Color);
    highscoreBar.SetWidth(view.HighscoreBar->Width);
  }
  lblScore(3).SetCaption(QString::fromStdString(view.ScoreText));
  if (view.ScoreBarColor) scoreBar.SetBackColor(*view.ScoreBarColor);
  scoreBar.SetWidth(view.ScoreBarWidth);
}
