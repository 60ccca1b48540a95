#pragma once
// The board as plain data: one BoardCell per position, in a grid indexed (column, row)
// from 1, column 1 at the left and row 1 at the top. Nothing here knows about widgets;
// the main window reads the cells and moves its ball pictures to match.
//
// A ball moves between cells, the cells never move: Row and Col name the position, the
// other fields travel with the ball. A cell that loses its ball keeps the PicIndex,
// ColorIndex, Left and Top it last held with Occupied cleared, so only Occupied tells
// whether a ball is there. Balls only ever move down or to the right, so among the cells
// holding one PicIndex the last in scan order (columns outer, rows inner) is where that
// ball is now.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "settings/SettingsState.h"

struct BoardCell {
  // Position of the ball picture inside the board area, twips.
  int32_t Left = 0;
  int32_t Top = 0;
  int16_t Row = 0;
  int16_t Col = 0;
  // Colour 0 .. BallColors - 1.
  int16_t ColorIndex = 0;
  // Member of the marked group.
  bool Marked = false;
  // Index k of the ball picture picOnBoard(k) that shows the ball; 1 .. cells.
  int16_t PicIndex = 0;
  // Kept for the snapshots' sake; the group search needs no such flag and leaves it false.
  bool InFill = false;
  // A ball is present.
  bool Occupied = false;

  bool operator==(const BoardCell&) const = default;
};

// GameColumns x GameRows cells, 1-based. Column 0 and row 0 exist and stay zero so that
// the numbering matches the picture numbering; an empty Board has no cells at all.
class Board {
 public:
  Board() = default;
  Board(int16_t GameColumns, int16_t GameRows);

  int16_t Columns() const { return columns_; }
  int16_t Rows() const { return rows_; }
  // Number of positions in use: Columns() x Rows().
  int32_t Cells() const { return int32_t{columns_} * rows_; }
  bool Empty() const { return cells_.empty(); }

  BoardCell& operator()(int col, int row) { return cells_[Index(col, row)]; }
  const BoardCell& operator()(int col, int row) const { return cells_[Index(col, row)]; }

  bool operator==(const Board&) const = default;

 private:
  std::size_t Index(int col, int row) const {
    assert(col >= 0 && col <= columns_ && row >= 0 && row <= rows_);
    return static_cast<std::size_t>(col) * (rows_ + 1) + row;
  }

  int16_t columns_ = 0;
  int16_t rows_ = 0;
  std::vector<BoardCell> cells_;
};

// Calls f(cell) for every position in use, columns 1 .. Columns() outer and rows
// 1 .. Rows() inner: the order every scan of the board uses and the order in which
// the ball pictures are numbered.
template <typename BoardT, typename F>
void ForEachCell(BoardT& board, F f) {
  for (int c = 1; c <= board.Columns(); ++c)
    for (int r = 1; r <= board.Rows(); ++r) f(board(c, r));
}

// Picture number of the ball dealt at (col, row): pictures run column by column.
inline int16_t PicIndexAt(int col, int row, int GameRows) {
  return static_cast<int16_t>((col - 1) * GameRows + row);
}

// Board sizes a hand-edited settings file may ask for are clamped so that the main
// window, with 32-pixel balls, still fits a 1920 x 1080 screen. Beside the board the
// window needs 111 px (the board picture's left edge without the time frame, the wider
// of the two layouts) + 15 px margin + 16 px window frame = 142 px of width, and
// 15 + 97 (score panel) + 15 + 15 px of margins + 60 px of title bar, menu bar and frame
// + 48 px for a desktop panel = 250 px of height. So at most (1920 - 142) / 32 = 55
// columns and (1080 - 250) / 32 = 25 rows.
inline constexpr int kScreenWidthPx = 1920;
inline constexpr int kScreenHeightPx = 1080;
inline constexpr int kBallPx = 32;
inline constexpr int kWindowWidthBesideBoardPx = 111 + 15 + 16;
inline constexpr int kWindowHeightBesideBoardPx = 15 + 97 + 15 + 15 + 60 + 48;
inline constexpr int16_t kMaxGameColumns = (kScreenWidthPx - kWindowWidthBesideBoardPx) / kBallPx;
inline constexpr int16_t kMaxGameRows = (kScreenHeightPx - kWindowHeightBesideBoardPx) / kBallPx;

inline constexpr int16_t kDefaultGameRows = 12;
inline constexpr int16_t kDefaultGameColumns = 11;
// The default number of colours, kDefaultBallColors, is the settings' own.
inline constexpr int16_t kDefaultMaxBallsOnStart = 8;

// The start-up defaults (a 0 read from the settings means "not set") and the clamps:
// GameColumns 1 .. kMaxGameColumns, GameRows 1 .. kMaxGameRows, BallColors 1 .. the
// number of ball pictures (one picture holder per colour).
// MaxBallsOnStart is not clamped: a value the deal can never meet only ends its retries.
void ApplyBoardDefaults(int16_t& GameRows, int16_t& GameColumns, int16_t& MaxBallsOnStart,
                        int16_t& BallColors);

// Highest move number of a game: half the cells, rounded half to even (132 -> 66,
// 145 -> 72). Every move removes at least two balls, so no game gets further.
int16_t HistorySize(int16_t GameColumns, int16_t GameRows);
