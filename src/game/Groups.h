#pragma once
// Groups: the balls of one colour connected to a ball through their upper, right, lower
// and left neighbours. A click marks the clicked ball's group; the points of a group of
// n balls are n x (n - 1).
#include <cstdint>
#include <string>
#include <vector>

#include "game/Board.h"

// Points of a group of n balls. 32-bit: on the largest board allowed (55 x 25 = 1375
// cells) even one group of every ball gives 1 889 250, and no game can score more.
int32_t GroupPoints(int32_t n);

// Marks the group of colour Colour reached from (Col, Row) and adds its size to GroupSize.
// (Col, Row) counts itself only when it holds a ball of that colour; from an emptied cell
// the search still reaches the same-coloured balls next to it. Cells already marked are
// neither entered nor counted. Uses an explicit stack, so a board of one colour does not
// recurse as deep as it is large.
void FloodFill(Board& board, int Col, int Row, int16_t Colour, int16_t& GroupSize);

// Clears every mark, then marks the group of the ball shown by picture Index and returns
// its size (also left in GroupSize). A lone ball counts 1 but is not left marked. When no
// cell holds Index (0 is the points label's index), nothing is marked and 0 is returned.
int16_t SelectGroup(Board& board, int16_t Index, int16_t& GroupSize);

// Whether the ball shown by picture Index is marked; false when no ball shows it.
bool IsMarkedBall(const Board& board, int16_t Index);

// Clears every mark.
void ClearMarks(Board& board);

// Size of the largest group on the board: 0 on an empty board, 1 when only lone balls are
// left. Leaves no ball marked, and GroupSize as a click on every ball in scan order would:
// the size of the group of the last ball in that order (unchanged on an empty board).
// Runs in time linear in the number of cells.
int16_t BestGroupSize(Board& board, int16_t& GroupSize);

// Picture numbers of the marked balls, in scan order: the balls to outline, or to remove.
std::vector<int16_t> MarkedPics(const Board& board);
int16_t CountMarked(const Board& board);

// Where the points label of the marked group goes. The anchor is the topmost marked ball
// and, among several in that row, the leftmost; it starts at the board area's size
// (boardWidth, boardHeight, twips), which is where it stays when nothing is marked.
struct Anchor {
  int32_t Left = 0;
  int32_t Top = 0;
};
Anchor GroupAnchor(const Board& board, int32_t boardWidth, int32_t boardHeight);

// The label's top-left corner (twips, inside the board area) for a label of the given
// size: centred on the anchor ball's top-left corner when there is room above and to the
// left; otherwise it starts half its height below the ball's top, or half its width right
// of the ball's left. The room above must be strictly larger than the label's height; the
// room to the left may equal its width.
struct LabelPlace {
  float Left = 0;
  float Top = 0;
};
LabelPlace PlacePointsLabel(Anchor anchor, float labelWidth, float labelHeight);

// The label's text: the points with a blank where a sign would go (" 20").
std::string PointsLabelText(int32_t points);
