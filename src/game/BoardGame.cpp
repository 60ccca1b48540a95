#include "game/BoardGame.h"

#include "game/Deal.h"
#include "runtime/RuntimeError.h"

DealResult BoardGame::DealNewBoard(const DealSettings& settings,
                                   const std::function<void(const ::Board&)>& shown) {
  Settings_ = settings;
  const int attempts = DealCanBeAccepted(settings.GameColumns, settings.GameRows,
                                         settings.BallColors, settings.MaxBallsOnStart)
                           ? kMaxDealAttempts
                           : 1;
  DealResult result;
  while (result.Attempts < attempts && !result.Accepted) {
    ++result.Attempts;
    Board_ = FillBoard(settings.GameColumns, settings.GameRows, settings.BallColors,
                       settings.CellWidth, settings.CellHeight);
    result.Best = BestGroupSize();
    result.Accepted = IsAcceptableDeal(result.Best, settings.MaxBallsOnStart);
  }
  if (shown) shown(Board_);
  const int16_t M = HistorySize(settings.GameColumns, settings.GameRows);
  History_.assign(M + 1, ::Board());
  MoveRecords_.assign(M + 1, MoveRecord{});
  MoveIndex_ = 0;
  MoveCount_ = 0;
  SaveBoardToHistory(StartBoard_);
  return result;
}

void BoardGame::RecordClick(int16_t Index) { MoveRecords_.at(MoveIndex_).ClickedIndex = Index; }

bool BoardGame::IsMarkedBall(int16_t Index) const { return ::IsMarkedBall(Board_, Index); }

int16_t BoardGame::SelectGroup(int16_t Index) { return ::SelectGroup(Board_, Index, GroupSize_); }

void BoardGame::ClearMarks() { ::ClearMarks(Board_); }

std::vector<int16_t> BoardGame::MarkedPics() const { return ::MarkedPics(Board_); }

Anchor BoardGame::PointsAnchor() const {
  return GroupAnchor(Board_, Board_.Columns() * Settings_.CellWidth,
                     Board_.Rows() * Settings_.CellHeight);
}

int16_t BoardGame::BestGroupSize() { return ::BestGroupSize(Board_, GroupSize_); }

std::optional<MoveOutcome> BoardGame::CompleteMove() {
  if (CountMarked(Board_) < 2) return std::nullopt;
  ++MoveIndex_;
  MoveCount_ = MoveIndex_;
  SaveBoardToHistory(History_.at(MoveIndex_));
  return RemoveMarkedGroup();
}

MoveOutcome BoardGame::RemoveMarkedGroup() {
  MoveOutcome outcome;
  outcome.RemovedPics = RemoveMarkedBalls(Board_);
  outcome.Removed = static_cast<int16_t>(outcome.RemovedPics.size());
  GroupSize_ = outcome.Removed;
  outcome.Fall = LetBallsFall(Board_, Settings_.CellHeight);
  outcome.Points = GroupPoints(outcome.Removed);
  Score_ += outcome.Points;
  outcome.Closing = CloseEmptyColumns(Board_, Settings_.CellWidth);
  outcome.Best = BestGroupSize();
  return outcome;
}

std::optional<int16_t> BoardGame::Undo() {
  if (MoveIndex_ <= 0) return std::nullopt;
  RestoreBoardFromHistory(History_.at(MoveIndex_), false);
  --MoveIndex_;
  return MoveRecords_.at(MoveIndex_).ClickedIndex;
}

std::optional<MoveOutcome> BoardGame::Redo() {
  if (MoveIndex_ >= MoveCount_) return std::nullopt;
  ++MoveIndex_;
  RestoreBoardFromHistory(History_.at(MoveIndex_), true);
  return RemoveMarkedGroup();
}

void BoardGame::RestoreStartBoard() {
  MoveIndex_ = 0;
  RestoreBoardFromHistory(StartBoard_, false);
}

void BoardGame::SaveBoardToHistory(::Board& Hist) {
  Hist = Board_;
  MoveRecords_.at(MoveIndex_).Score = Score_;
}

void BoardGame::RestoreBoardFromHistory(const ::Board& Hist, bool keepMarks) {
  Board_ = Hist;
  if (!keepMarks) ::ClearMarks(Board_);
  Score_ = MoveRecords_.at(MoveIndex_).Score;
}

std::vector<PictureState> BoardGame::PictureStates() const {
  std::vector<PictureState> pictures(Board_.Cells() + 1);
  ForEachCell(Board_, [&](const BoardCell& cell) {
    pictures.at(cell.PicIndex) = {cell.Left, cell.Top, cell.ColorIndex, cell.Occupied};
  });
  return pictures;
}
