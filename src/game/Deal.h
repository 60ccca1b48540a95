#pragma once
// Dealing a board: every cell gets a ball of a random colour, no colour more often than
// its cap, and the deal is repeated until the largest group is acceptable.
#include <cstdint>
#include <vector>

#include "game/Board.h"

// Most balls of one colour: cells / BallColors + 1, rounded half to even (132 cells in 5
// colours give 27, in 8 colours 18; 70 cells in 4 colours give 18). It always exceeds
// cells / BallColors, so some colour always has room.
int16_t ColorCap(int32_t cells, int16_t BallColors);

// A new full board, every field zero but those of the deal: Col, Row, Left =
// (Col - 1) x CellWidth, Top = (Row - 1) x CellHeight, PicIndex numbered column by column
// from 1, a random ColorIndex under the colour cap, Occupied.
Board FillBoard(int16_t GameColumns, int16_t GameRows, int16_t BallColors, int32_t CellWidth,
                int32_t CellHeight);

// A freshly dealt board is kept when its largest group is at most MaxBallsOnStart and not
// a lone ball.
bool IsAcceptableDeal(int16_t best, int16_t MaxBallsOnStart);

// Whether any board of these settings can pass that test. It cannot when MaxBallsOnStart
// is below 2, when the board has one cell, or with one colour and more cells than
// MaxBallsOnStart (the whole board is one group).
bool DealCanBeAccepted(int16_t GameColumns, int16_t GameRows, int16_t BallColors,
                       int16_t MaxBallsOnStart);

// Attempts a deal makes before it keeps the last board although it failed the test.
inline constexpr int kMaxDealAttempts = 1000;
