#pragma once
// What a move does to the board after its group is chosen: the marked balls vanish, the
// balls above a gap fall, and empty columns close up towards the right edge. Each step
// reports which ball pictures moved where, so the window can move its pictures to match.
#include <cstdint>
#include <vector>

#include "game/Board.h"

// One ball that went from one cell to another. Left and Top are the ball picture's new
// position (twips): the destination cell's Left and Top.
struct BallMove {
  int16_t PicIndex = 0;
  int16_t FromCol = 0;
  int16_t FromRow = 0;
  int16_t ToCol = 0;
  int16_t ToRow = 0;
  int32_t Left = 0;
  int32_t Top = 0;

  bool operator==(const BallMove&) const = default;
};

// Moves the ball's fields (InFill, PicIndex, ColorIndex, Marked, Occupied, Left, Top)
// from the source cell to the destination, which keeps its own Row and Col; the source
// then counts as empty and keeps its other fields.
void MoveCell(Board& board, int SrcCol, int SrcRow, int DstCol, int DstRow);

// Empties every marked cell (Marked and Occupied cleared, the rest kept) and returns the
// pictures of the balls removed, in scan order: the window hides them.
std::vector<int16_t> RemoveMarkedBalls(Board& board);

// One falling pass: in every column, from the bottom row up, a ball above an empty cell
// drops one row (CellHeight twips). As each column is scanned upwards, the whole stack
// above a gap drops one row per pass. Returns the balls moved, in order.
std::vector<BallMove> FallingPass(Board& board, int32_t CellHeight);

// Passes until one moves nothing. A gap of h rows takes h passes plus the final one that
// moves nothing; Passes counts them all. Moves holds every ball move in the order made.
struct FallResult {
  int Passes = 0;
  std::vector<BallMove> Moves;
  bool AnyFell() const { return !Moves.empty(); }
};
FallResult LetBallsFall(Board& board, int32_t CellHeight);

// Moves every ball of column Col - 1 into column Col (which is empty whenever this runs),
// CellWidth twips to the right. Appends the balls moved to moves.
void ShiftColumnRight(Board& board, int Col, int32_t CellWidth, std::vector<BallMove>& moves);

// Closes empty columns up to the right: repeatedly the first empty column right of a
// column with balls takes that column's balls, one step at a time, until the columns with
// balls stand side by side at the right edge in their old order. Shifts counts the
// single-column steps; the window plays its one column sound when any happened.
struct ClosingResult {
  int Shifts = 0;
  std::vector<BallMove> Moves;
  bool AnyShifted() const { return Shifts > 0; }
};
ClosingResult CloseEmptyColumns(Board& board, int32_t CellWidth);
