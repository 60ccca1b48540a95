#include "game/Board.h"

#include <algorithm>

#include "runtime/Numbers.h"
#include "settings/ColorMap.h"

Board::Board(int16_t GameColumns, int16_t GameRows)
    : columns_(GameColumns),
      rows_(GameRows),
      cells_(static_cast<std::size_t>(GameColumns + 1) * (GameRows + 1)) {}

void ApplyBoardDefaults(int16_t& GameRows, int16_t& GameColumns, int16_t& MaxBallsOnStart,
                        int16_t& BallColors) {
  if (MaxBallsOnStart == 0) MaxBallsOnStart = kDefaultMaxBallsOnStart;
  if (GameRows == 0) GameRows = kDefaultGameRows;
  if (GameColumns == 0) GameColumns = kDefaultGameColumns;
  if (BallColors == 0) BallColors = kDefaultBallColors;
  GameRows = std::clamp<int16_t>(GameRows, 1, kMaxGameRows);
  GameColumns = std::clamp<int16_t>(GameColumns, 1, kMaxGameColumns);
  BallColors = std::clamp<int16_t>(BallColors, 1, kBallPictures);
}

int16_t HistorySize(int16_t GameColumns, int16_t GameRows) {
  return rt::CInt(static_cast<double>(rt::CheckedInt16(int32_t{GameColumns} * GameRows)) / 2.0);
}
