#pragma once
// Boards drawn as text for the rules tests: one string per row, top row first, one
// character per column; '.' is an empty cell, 'A' .. 'K' a ball of colour 0 .. 10. Cells
// are laid out and numbered as a deal would, with 480-twip steps.
#include <string>
#include <vector>

#include "game/Board.h"

inline constexpr int32_t kTestCell = 480;

inline Board MakeBoard(const std::vector<std::string>& rows) {
  const auto GameRows = static_cast<int16_t>(rows.size());
  const auto GameColumns = static_cast<int16_t>(rows.front().size());
  Board board(GameColumns, GameRows);
  for (int c = 1; c <= GameColumns; ++c)
    for (int r = 1; r <= GameRows; ++r) {
      BoardCell& cell = board(c, r);
      const char ch = rows[r - 1][c - 1];
      cell.Col = static_cast<int16_t>(c);
      cell.Row = static_cast<int16_t>(r);
      cell.Left = (c - 1) * kTestCell;
      cell.Top = (r - 1) * kTestCell;
      cell.PicIndex = PicIndexAt(c, r, GameRows);
      cell.Occupied = ch != '.';
      cell.ColorIndex = static_cast<int16_t>(ch == '.' ? 0 : ch - 'A');
    }
  return board;
}

// The board drawn back as text, for comparisons that print readably.
inline std::vector<std::string> Draw(const Board& board) {
  std::vector<std::string> rows(board.Rows(), std::string(board.Columns(), '.'));
  ForEachCell(board, [&](const BoardCell& cell) {
    if (cell.Occupied) rows[cell.Row - 1][cell.Col - 1] = static_cast<char>('A' + cell.ColorIndex);
  });
  return rows;
}

// Random board, some cells empty (emptyShare 0 .. 1), colours 0 .. colours - 1.
Board RandomBoard(int16_t columns, int16_t rows, int colours, double emptyShare, unsigned seed);
