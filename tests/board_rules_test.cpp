#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "BoardTestSupport.h"
#include "game/Deal.h"
#include "game/Groups.h"
#include "game/Moves.h"
#include "runtime/Random.h"
#include "settings/ColorMap.h"

Board RandomBoard(int16_t columns, int16_t rows, int colours, double emptyShare, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> colour(0, colours - 1);
  std::uniform_real_distribution<double> share(0, 1);
  std::vector<std::string> text(rows, std::string(columns, '.'));
  for (auto& row : text)
    for (char& ch : row)
      if (share(gen) >= emptyShare) ch = static_cast<char>('A' + colour(gen));
  return MakeBoard(text);
}

namespace {

// The group search as a plain recursion: the behaviour the explicit stack must match.
void RecursiveFill(Board& b, int col, int row, int16_t colour, int fromDir, int16_t& size) {
  if (b(col, row).InFill) return;
  const bool counts = b(col, row).ColorIndex == colour && b(col, row).Occupied;
  const int dc[] = {0, 0, 1, 0, -1};
  const int dr[] = {0, -1, 0, 1, 0};
  for (int d = 1; d <= 4; ++d) {
    if (d == fromDir) continue;
    const int c = col + dc[d];
    const int r = row + dr[d];
    if (c < 1 || c > b.Columns() || r < 1 || r > b.Rows()) continue;
    const BoardCell& n = b(c, r);
    if (n.ColorIndex != colour || n.Marked || !n.Occupied) continue;
    b(col, row).InFill = true;
    RecursiveFill(b, c, r, colour, (d + 1) % 4 + 1, size);
    b(col, row).InFill = false;
  }
  if (counts) {
    b(col, row).Marked = true;
    ++size;
  }
}

// The largest group measured by clicking every ball in scan order, as the game's
// simulated clicks do: a click on a marked ball does nothing, any other re-selects.
int16_t BestBySimulatedClicks(Board& b, int16_t& GroupSize) {
  int16_t best = 0;
  ForEachCell(b, [&](BoardCell& cell) {
    if (!cell.Occupied) return;
    if (!IsMarkedBall(b, cell.PicIndex)) SelectGroup(b, cell.PicIndex, GroupSize);
    best = std::max(best, GroupSize);
  });
  ClearMarks(b);
  return best;
}

}  // namespace

TEST(BoardLimits, DefaultsAndClampsForHandEditedSettings) {
  const struct {
    int16_t rows, columns, maxBalls, colours;
    int16_t wantRows, wantColumns, wantMaxBalls, wantColours;
  } cases[] = {
      {0, 0, 0, 0, 12, 11, 8, 5},
      {14, 9, 6, 7, 14, 9, 6, 7},
      {500, 300, 1, 40, kMaxGameRows, kMaxGameColumns, 1, 11},
      {-4, -1, -2, -3, 1, 1, -2, 1},
  };
  for (const auto& c : cases) {
    int16_t rows = c.rows, columns = c.columns, maxBalls = c.maxBalls, colours = c.colours;
    ApplyBoardDefaults(rows, columns, maxBalls, colours);
    EXPECT_EQ(rows, c.wantRows) << c.rows;
    EXPECT_EQ(columns, c.wantColumns) << c.columns;
    EXPECT_EQ(maxBalls, c.wantMaxBalls) << c.maxBalls;
    EXPECT_EQ(colours, c.wantColours) << c.colours;
  }
  EXPECT_EQ(kMaxGameColumns, 55);
  EXPECT_EQ(kMaxGameRows, 25);
}

TEST(BoardLimits, ColourCapAndHistorySizeRoundHalfToEven) {
  const struct { int32_t cells; int16_t colours, cap; } caps[] = {
      {132, 5, 27}, {132, 8, 18}, {132, 3, 45}, {132, 7, 20}, {70, 4, 18}, {1375, 1, 1376}};
  for (const auto& c : caps) EXPECT_EQ(ColorCap(c.cells, c.colours), c.cap) << c.cells << "/" << c.colours;
  const struct { int16_t columns, rows, size; } sizes[] = {
      {11, 12, 66}, {11, 11, 60}, {3, 5, 8}, {29, 5, 72}, {1, 1, 0}, {55, 25, 688}};
  for (const auto& s : sizes) EXPECT_EQ(HistorySize(s.columns, s.rows), s.size) << s.columns << "x" << s.rows;
}

TEST(ColourMap, ModesBuildTheMapOrLeaveIt) {
  ColorSources sources;
  sources.ChosenColor = [](int n) { return n == 2 ? 99 : n * 3; };
  sources.PickRandomColors = [](std::vector<int16_t>& colors) { std::fill(colors.begin(), colors.end(), 7); };
  std::vector<int16_t> colors;
  BuildColorMap(0, 3, colors, sources);
  EXPECT_EQ(colors, (std::vector<int16_t>{0, 1, 2, 0}));
  BuildColorMap(2, 3, colors, sources);
  EXPECT_EQ(colors, (std::vector<int16_t>{3, 0, 9, 0})) << "picture 99 does not exist";
  BuildColorMap(5, 3, colors, sources);
  EXPECT_EQ(colors, (std::vector<int16_t>{3, 0, 9, 0})) << "unknown mode";
  BuildColorMap(1, 3, colors, sources);
  EXPECT_EQ(colors, (std::vector<int16_t>{7, 7, 7, 7}));
  BuildColorMap(1, 3, colors, ColorSources{});
  EXPECT_EQ(colors, (std::vector<int16_t>{7, 7, 7, 7})) << "no random source given";
}

TEST(Deal, DefaultBoardKeepsTheCapAndAnAcceptableLargestGroup) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    rt::SeedRandom(seed);
    Board board = FillBoard(11, 12, 5, 480, 450);
    std::vector<int> counts(5, 0);
    ForEachCell(board, [&](const BoardCell& cell) {
      ++counts.at(cell.ColorIndex);
      EXPECT_TRUE(cell.Occupied);
      EXPECT_EQ(cell.Left, (cell.Col - 1) * 480);
      EXPECT_EQ(cell.Top, (cell.Row - 1) * 450);
      EXPECT_EQ(cell.PicIndex, (cell.Col - 1) * 12 + cell.Row);
    });
    for (int n : counts) {
      EXPECT_GE(n, 24) << "seed " << seed;
      EXPECT_LE(n, 27) << "seed " << seed;
    }
  }
}

TEST(Deal, AcceptanceRule) {
  const struct { int16_t best, max; bool ok; } cases[] = {
      {8, 8, true}, {9, 8, false}, {1, 8, false}, {2, 2, true}, {0, 8, true}};
  for (const auto& c : cases) EXPECT_EQ(IsAcceptableDeal(c.best, c.max), c.ok) << c.best << " vs " << c.max;
  const struct { int16_t columns, rows, colours, max; bool possible; } settings[] = {
      {11, 12, 5, 8, true}, {11, 12, 5, 1, false}, {1, 1, 5, 8, false},
      {3, 3, 1, 8, false},  {2, 4, 1, 8, true},    {11, 12, 2, 2, true}};
  for (const auto& s : settings)
    EXPECT_EQ(DealCanBeAccepted(s.columns, s.rows, s.colours, s.max), s.possible)
        << s.columns << "x" << s.rows << " in " << s.colours << ", max " << s.max;
}

TEST(FloodFill, MarksAndCountsWhatTheRecursiveSearchDoes) {
  for (unsigned seed = 0; seed < 300; ++seed) {
    const Board base = RandomBoard(static_cast<int16_t>(1 + seed % 13), static_cast<int16_t>(1 + seed % 7 * 2),
                                   1 + seed % 4, seed % 3 * 0.2, seed);
    for (int c = 1; c <= base.Columns(); ++c)
      for (int r = 1; r <= base.Rows(); ++r) {
        Board mine = base, theirs = base;
        int16_t mineSize = 0, theirSize = 0;
        FloodFill(mine, c, r, base(c, r).ColorIndex, mineSize);
        RecursiveFill(theirs, c, r, base(c, r).ColorIndex, 0, theirSize);
        ASSERT_EQ(mineSize, theirSize) << "seed " << seed << " at " << c << "," << r;
        ASSERT_EQ(mine, theirs) << "seed " << seed << " at " << c << "," << r;
      }
  }
}

TEST(FloodFill, BoardOfOneColourNeedsNoDeepRecursion) {
  Board board = RandomBoard(kMaxGameColumns, kMaxGameRows, 1, 0, 1);
  int16_t size = 0;
  FloodFill(board, 1, 1, 0, size);
  EXPECT_EQ(size, kMaxGameColumns * kMaxGameRows);
}

TEST(BestGroupSize, MatchesTheSimulatedClicksOnRandomBoards) {
  for (unsigned seed = 0; seed < 300; ++seed) {
    Board mine = RandomBoard(static_cast<int16_t>(1 + seed % 12), static_cast<int16_t>(1 + seed % 13),
                             1 + seed % 5, seed % 4 * 0.15, seed);
    Board theirs = mine;
    int16_t mineSize = -7, theirSize = -7;
    ASSERT_EQ(BestGroupSize(mine, mineSize), BestBySimulatedClicks(theirs, theirSize)) << "seed " << seed;
    ASSERT_EQ(mineSize, theirSize) << "GroupSize left behind, seed " << seed;
    ASSERT_EQ(mine, theirs) << "seed " << seed;
    ASSERT_EQ(CountMarked(mine), 0);
  }
}

TEST(BestGroupSize, EmptyAndLoneBallBoards) {
  int16_t size = 5;
  Board empty = MakeBoard({"...", "..."});
  EXPECT_EQ(BestGroupSize(empty, size), 0);
  EXPECT_EQ(size, 5) << "no click, GroupSize untouched";
  Board singles = MakeBoard({"AB.", "BAB"});
  EXPECT_EQ(BestGroupSize(singles, size), 1);
}

TEST(Groups, SelectionFindsTheBallWhereItIsNow) {
  Board board = MakeBoard({"AB", "AA", "BA"});
  int16_t size = 0;
  EXPECT_EQ(SelectGroup(board, PicIndexAt(1, 1, 3), size), 4);
  EXPECT_TRUE(IsMarkedBall(board, PicIndexAt(2, 3, 3)));
  EXPECT_FALSE(IsMarkedBall(board, PicIndexAt(2, 1, 3)));
  EXPECT_EQ(SelectGroup(board, PicIndexAt(2, 1, 3), size), 1);
  EXPECT_EQ(CountMarked(board), 0) << "a lone ball stays unmarked";
  EXPECT_EQ(SelectGroup(board, 0, size), 0) << "index 0 names no ball";

  // The ball of picture 1 falls from row 1 to row 3; its old cell keeps the number.
  Board fallen = MakeBoard({"A.", ".A", ".A"});
  LetBallsFall(fallen, kTestCell);
  EXPECT_EQ(SelectGroup(fallen, 1, size), 3);
  EXPECT_TRUE(fallen(1, 3).Marked);
  EXPECT_TRUE(IsMarkedBall(fallen, 1));
}

TEST(Groups, PointsAndLabelPlacement) {
  const struct { int32_t n, points; } points[] = {{2, 2}, {5, 20}, {17, 272}, {1375, 1889250}};
  for (const auto& p : points) EXPECT_EQ(GroupPoints(p.n), p.points) << p.n;
  EXPECT_EQ(PointsLabelText(272), " 272");

  Board board = MakeBoard({"..AA", ".AA.", "...."});
  int16_t size = 0;
  SelectGroup(board, PicIndexAt(3, 1, 3), size);
  const Anchor anchor = GroupAnchor(board, 4 * kTestCell, 3 * kTestCell);
  EXPECT_EQ(anchor.Left, 2 * kTestCell) << "the leftmost ball of the top row";
  EXPECT_EQ(anchor.Top, 0);

  const struct { Anchor at; float w, h, left, top; const char* name; } places[] = {
      {{960, 960}, 300, 200, 810, 860, "room on both sides: centred on the corner"},
      {{960, 0}, 300, 200, 810, 100, "top row: half a height below the top"},
      {{0, 960}, 300, 200, 150, 860, "first column: half a width right of the left"},
      {{960, 200}, 300, 200, 810, 300, "room above equal to the height: not moved up"},
      {{300, 960}, 300, 200, 150, 860, "room left equal to the width: moved to 0"},
  };
  for (const auto& p : places) {
    const LabelPlace place = PlacePointsLabel(p.at, p.w, p.h);
    EXPECT_FLOAT_EQ(place.Left, p.left) << p.name;
    EXPECT_FLOAT_EQ(place.Top, p.top) << p.name;
  }
}

TEST(Moves, FallingDropsStacksOneRowPerPass) {
  const struct { std::vector<std::string> before, after; int passes; const char* name; } cases[] = {
      {{"A", ".", ".", "."}, {".", ".", ".", "A"}, 4, "three empty cells: four passes"},
      {{"A", "B", ".", "C"}, {".", "A", "B", "C"}, 2, "a stack drops together"},
      {{"AB", "..", "C."}, {"..", "A.", "CB"}, 3, "columns fall independently"},
      {{"A", "B"}, {"A", "B"}, 1, "nothing to fall"},
  };
  for (const auto& c : cases) {
    Board board = MakeBoard(c.before);
    const FallResult fall = LetBallsFall(board, kTestCell);
    EXPECT_EQ(Draw(board), c.after) << c.name;
    EXPECT_EQ(fall.Passes, c.passes) << c.name;
    for (const BallMove& m : fall.Moves) {
      EXPECT_EQ(m.ToRow, m.FromRow + 1) << c.name;
      EXPECT_EQ(m.Top, (m.ToRow - 1) * kTestCell) << c.name;
    }
  }
  Board hole = MakeBoard({"A", ".", ".", "."});
  const FallResult fall = LetBallsFall(hole, kTestCell);
  EXPECT_EQ(fall.Moves.back(), (BallMove{1, 1, 3, 1, 4, 0, 3 * kTestCell}));
  EXPECT_EQ(hole(1, 4).PicIndex, 1);
  EXPECT_EQ(hole(1, 1).PicIndex, 1) << "an emptied cell keeps its picture number";
}

TEST(Moves, EmptyColumnsCloseToTheRight) {
  const struct { std::vector<std::string> before, after; bool shifted; } cases[] = {
      {{"A.B..", "A.B.."}, {"...AB", "...AB"}, true},
      {{"..AB", ".CAB"}, {"..AB", ".CAB"}, false},
      {{"A..", "B.."}, {"..A", "..B"}, true},
      {{"...", "..."}, {"...", "..."}, false},
  };
  for (const auto& c : cases) {
    Board board = MakeBoard(c.before);
    const ClosingResult closing = CloseEmptyColumns(board, kTestCell);
    EXPECT_EQ(Draw(board), c.after) << c.before[0];
    EXPECT_EQ(closing.AnyShifted(), c.shifted) << c.before[0];
    ForEachCell(board, [&](const BoardCell& cell) {
      if (!cell.Occupied) return;
      EXPECT_EQ(cell.Left, (cell.Col - 1) * kTestCell) << c.before[0];
    });
  }
}
