#include "game/Groups.h"

#include <algorithm>
#include <string>

#include "runtime/Numbers.h"

namespace {

struct Pos {
  int col;
  int row;
};

// Calls f(col, row) for each of the up to four neighbours of (col, row) on the board.
template <typename F>
void ForEachNeighbour(const Board& board, int col, int row, F f) {
  if (row > 1) f(col, row - 1);
  if (col < board.Columns()) f(col + 1, row);
  if (row < board.Rows()) f(col, row + 1);
  if (col > 1) f(col - 1, row);
}

bool HoldsBallOf(const BoardCell& cell, int16_t colour) {
  return cell.Occupied && cell.ColorIndex == colour;
}

}  // namespace

int32_t GroupPoints(int32_t n) { return rt::CheckedInt32(int64_t{n} * (n - 1)); }

void FloodFill(Board& board, int Col, int Row, int16_t Colour, int16_t& GroupSize) {
  BoardCell& start = board(Col, Row);
  if (start.Marked) return;
  if (HoldsBallOf(start, Colour)) {
    start.Marked = true;
    ++GroupSize;
  }
  std::vector<Pos> stack{{Col, Row}};
  while (!stack.empty()) {
    const Pos p = stack.back();
    stack.pop_back();
    ForEachNeighbour(board, p.col, p.row, [&](int c, int r) {
      BoardCell& next = board(c, r);
      if (next.Marked || !HoldsBallOf(next, Colour)) return;
      next.Marked = true;
      ++GroupSize;
      stack.push_back({c, r});
    });
  }
}

int16_t SelectGroup(Board& board, int16_t Index, int16_t& GroupSize) {
  GroupSize = 0;
  BoardCell* noted = nullptr;
  ForEachCell(board, [&](BoardCell& cell) {
    cell.Marked = false;
    cell.InFill = false;
    if (cell.PicIndex == Index) noted = &cell;
  });
  if (noted == nullptr) return GroupSize;
  FloodFill(board, noted->Col, noted->Row, noted->ColorIndex, GroupSize);
  if (GroupSize == 1) noted->Marked = false;
  return GroupSize;
}

bool IsMarkedBall(const Board& board, int16_t Index) {
  for (int c = 1; c <= board.Columns(); ++c)
    for (int r = 1; r <= board.Rows(); ++r) {
      const BoardCell& cell = board(c, r);
      if (cell.PicIndex == Index && cell.Occupied) return cell.Marked;
    }
  return false;
}

void ClearMarks(Board& board) {
  ForEachCell(board, [](BoardCell& cell) { cell.Marked = false; });
}

int16_t BestGroupSize(Board& board, int16_t& GroupSize) {
  ClearMarks(board);
  // Each group is counted once, from the first of its balls met in scan order; the marks
  // serve as the visited set.
  int16_t best = 0;
  const BoardCell* last = nullptr;
  ForEachCell(board, [&](BoardCell& cell) {
    if (!cell.Occupied) return;
    last = &cell;
    if (cell.Marked) return;
    int16_t size = 0;
    FloodFill(board, cell.Col, cell.Row, cell.ColorIndex, size);
    best = std::max(best, size);
  });
  ClearMarks(board);
  if (last == nullptr) return best;
  GroupSize = 0;
  FloodFill(board, last->Col, last->Row, last->ColorIndex, GroupSize);
  ClearMarks(board);
  return best;
}

std::vector<int16_t> MarkedPics(const Board& board) {
  std::vector<int16_t> pics;
  ForEachCell(board, [&](const BoardCell& cell) {
    if (cell.Marked) pics.push_back(cell.PicIndex);
  });
  return pics;
}

int16_t CountMarked(const Board& board) {
  int16_t n = 0;
  ForEachCell(board, [&](const BoardCell& cell) { n += cell.Marked ? 1 : 0; });
  return n;
}

Anchor GroupAnchor(const Board& board, int32_t boardWidth, int32_t boardHeight) {
  Anchor anchor{boardWidth, boardHeight};
  ForEachCell(board, [&](const BoardCell& cell) {
    if (!cell.Marked) return;
    if (cell.Left < anchor.Left) anchor.Left = cell.Left;
    if (cell.Top < anchor.Top) {
      anchor.Top = cell.Top;
      anchor.Left = cell.Left;
    }
  });
  return anchor;
}

LabelPlace PlacePointsLabel(Anchor anchor, float labelWidth, float labelHeight) {
  if (anchor.Top - labelHeight > 0) anchor.Top = rt::CLng(anchor.Top - labelHeight);
  if (anchor.Left - labelWidth >= 0) anchor.Left = rt::CLng(anchor.Left - labelWidth);
  return {labelWidth / 2 + anchor.Left, labelHeight / 2 + anchor.Top};
}

std::string PointsLabelText(int32_t points) {
  // Appending keeps GCC 12's optimiser from a false overlap warning on " " + string.
  std::string text(1, ' ');
  text += std::to_string(points);
  return text;
}
