#include "game/Deal.h"

#include <algorithm>

#include "runtime/Numbers.h"
#include "runtime/Random.h"

namespace {

int16_t DrawColor(int16_t BallColors) {
  const auto colour = static_cast<int16_t>(rt::Int(static_cast<double>(rt::Rnd()) * BallColors));
  return std::min<int16_t>(colour, BallColors - 1);
}

}  // namespace

int16_t ColorCap(int32_t cells, int16_t BallColors) {
  return rt::CInt(static_cast<double>(cells) / BallColors + 1.0);
}

Board FillBoard(int16_t GameColumns, int16_t GameRows, int16_t BallColors, int32_t CellWidth,
                int32_t CellHeight) {
  Board board(GameColumns, GameRows);
  const int16_t cap = ColorCap(board.Cells(), BallColors);
  std::vector<int16_t> counts(BallColors + 1, 0);
  for (int c = 1; c <= GameColumns; ++c)
    for (int r = 1; r <= GameRows; ++r) {
      int16_t colour = DrawColor(BallColors);
      while (counts[colour] + 1 > cap) colour = DrawColor(BallColors);
      ++counts[colour];
      BoardCell& cell = board(c, r);
      cell.Col = static_cast<int16_t>(c);
      cell.Row = static_cast<int16_t>(r);
      cell.Left = rt::CheckedInt32(int64_t{c - 1} * CellWidth);
      cell.Top = rt::CheckedInt32(int64_t{r - 1} * CellHeight);
      cell.ColorIndex = colour;
      cell.PicIndex = PicIndexAt(c, r, GameRows);
      cell.Occupied = true;
    }
  return board;
}

bool IsAcceptableDeal(int16_t best, int16_t MaxBallsOnStart) {
  return best <= MaxBallsOnStart && best != 1;
}

bool DealCanBeAccepted(int16_t GameColumns, int16_t GameRows, int16_t BallColors,
                       int16_t MaxBallsOnStart) {
  const int32_t cells = int32_t{GameColumns} * GameRows;
  if (MaxBallsOnStart < 2 || cells == 1) return false;
  return BallColors > 1 || cells <= MaxBallsOnStart;
}
