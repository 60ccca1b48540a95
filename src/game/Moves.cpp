#include "game/Moves.h"

namespace {

bool ColumnIsEmpty(const Board& board, int col) {
  for (int r = 1; r <= board.Rows(); ++r)
    if (board(col, r).Occupied) return false;
  return true;
}

// The first empty column that lies right of a column with balls, or 0 when there is none.
int FirstGapRightOfBalls(const Board& board) {
  bool passedBalls = false;
  for (int c = 1; c <= board.Columns(); ++c) {
    const bool empty = ColumnIsEmpty(board, c);
    if (empty && passedBalls) return c;
    passedBalls = passedBalls || !empty;
  }
  return 0;
}

BallMove MoveRecordFor(const Board& board, int srcCol, int srcRow, int dstCol, int dstRow) {
  const BoardCell& dst = board(dstCol, dstRow);
  return {dst.PicIndex,
          static_cast<int16_t>(srcCol),
          static_cast<int16_t>(srcRow),
          static_cast<int16_t>(dstCol),
          static_cast<int16_t>(dstRow),
          dst.Left,
          dst.Top};
}

}  // namespace

void MoveCell(Board& board, int SrcCol, int SrcRow, int DstCol, int DstRow) {
  BoardCell& src = board(SrcCol, SrcRow);
  BoardCell& dst = board(DstCol, DstRow);
  dst.InFill = src.InFill;
  dst.PicIndex = src.PicIndex;
  dst.ColorIndex = src.ColorIndex;
  dst.Marked = src.Marked;
  dst.Occupied = src.Occupied;
  dst.Left = src.Left;
  dst.Top = src.Top;
  src.Occupied = false;
}

std::vector<int16_t> RemoveMarkedBalls(Board& board) {
  std::vector<int16_t> removed;
  ForEachCell(board, [&](BoardCell& cell) {
    if (!cell.Marked) return;
    cell.Marked = false;
    cell.Occupied = false;
    removed.push_back(cell.PicIndex);
  });
  return removed;
}

std::vector<BallMove> FallingPass(Board& board, int32_t CellHeight) {
  std::vector<BallMove> moves;
  for (int c = 1; c <= board.Columns(); ++c)
    for (int r = board.Rows(); r >= 2; --r) {
      if (board(c, r).Occupied || !board(c, r - 1).Occupied) continue;
      MoveCell(board, c, r - 1, c, r);
      board(c, r).Top += CellHeight;
      moves.push_back(MoveRecordFor(board, c, r - 1, c, r));
    }
  return moves;
}

FallResult LetBallsFall(Board& board, int32_t CellHeight) {
  FallResult result;
  for (;;) {
    std::vector<BallMove> pass = FallingPass(board, CellHeight);
    ++result.Passes;
    if (pass.empty()) return result;
    result.Moves.insert(result.Moves.end(), pass.begin(), pass.end());
  }
}

void ShiftColumnRight(Board& board, int Col, int32_t CellWidth, std::vector<BallMove>& moves) {
  for (int r = 1; r <= board.Rows(); ++r) {
    if (!board(Col - 1, r).Occupied) continue;
    MoveCell(board, Col - 1, r, Col, r);
    board(Col, r).Left += CellWidth;
    moves.push_back(MoveRecordFor(board, Col - 1, r, Col, r));
  }
}

ClosingResult CloseEmptyColumns(Board& board, int32_t CellWidth) {
  ClosingResult result;
  for (int gap = FirstGapRightOfBalls(board); gap != 0; gap = FirstGapRightOfBalls(board)) {
    ShiftColumnRight(board, gap, CellWidth, result.Moves);
    ++result.Shifts;
  }
  return result;
}
