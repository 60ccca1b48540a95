#include <gtest/gtest.h>

#include <random>
#include <set>

#include "game/BoardGame.h"
#include "game/Deal.h"
#include "runtime/Random.h"

namespace {

bool SameIgnoringMarks(Board a, Board b) {
  ClearMarks(a);
  ClearMarks(b);
  return a == b;
}

// First ball, in scan order, whose group has two or more balls; 0 when there is none.
int16_t BallOfSomeGroup(BoardGame& game) {
  for (int c = 1; c <= game.CurrentBoard().Columns(); ++c)
    for (int r = 1; r <= game.CurrentBoard().Rows(); ++r) {
      const BoardCell& cell = game.CurrentBoard()(c, r);
      if (cell.Occupied && game.SelectGroup(cell.PicIndex) >= 2) return cell.PicIndex;
    }
  return 0;
}

// A click as the window makes it: record, then remove a marked group or mark a new one.
std::optional<MoveOutcome> Click(BoardGame& game, int16_t index) {
  game.RecordClick(index);
  if (game.IsMarkedBall(index)) return game.CompleteMove();
  game.SelectGroup(index);
  return std::nullopt;
}

}  // namespace

TEST(DealNewBoard, DefaultBoardIsAcceptedAndStartsTheHistory) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    rt::SeedRandom(seed);
    BoardGame game;
    game.SetScore(40);
    int shown = 0;
    const DealResult deal = game.DealNewBoard(DealSettings{}, [&](const Board&) { ++shown; });
    EXPECT_TRUE(deal.Accepted) << "seed " << seed;
    EXPECT_LE(deal.Best, 8) << "seed " << seed;
    EXPECT_NE(deal.Best, 1) << "seed " << seed;
    EXPECT_EQ(shown, 1) << "only the board kept is shown";
    EXPECT_EQ(game.StartBoard(), game.CurrentBoard());
    EXPECT_EQ(game.MoveIndex(), 0);
    EXPECT_EQ(game.MoveCount(), 0);
    EXPECT_EQ(game.MoveRecords().at(0).Score, 40) << "the deal keeps the caller's score";
    EXPECT_EQ(game.History().size(), 67u);
    EXPECT_TRUE(game.MarkedPics().empty());
  }
}

TEST(DealNewBoard, RetriesAreBoundedAndKeepTheLastBoard) {
  const struct { DealSettings settings; int attempts; bool accepted; const char* name; } cases[] = {
      {{11, 12, 5, 1, 480, 480}, 1, false, "largest group below 2 can never pass"},
      {{1, 1, 5, 8, 480, 480}, 1, false, "a single cell is always a lone ball"},
      {{4, 3, 1, 8, 480, 480}, 1, false, "one colour, more cells than allowed"},
      {{2, 4, 1, 8, 480, 480}, 1, true, "one colour, small enough"},
      {{11, 12, 2, 2, 480, 480}, kMaxDealAttempts, false, "possible in principle, never in practice"},
      {{kMaxGameColumns, kMaxGameRows, 2, 8, 480, 480}, kMaxDealAttempts, false, "the largest board in two colours"},
  };
  for (const auto& c : cases) {
    rt::SeedRandom(7);
    BoardGame game;
    std::vector<Board> shown;
    const DealResult deal = game.DealNewBoard(c.settings, [&](const Board& board) { shown.push_back(board); });
    EXPECT_EQ(deal.Attempts, c.attempts) << c.name;
    EXPECT_EQ(shown, std::vector<Board>{game.CurrentBoard()}) << c.name;
    EXPECT_EQ(deal.Accepted, c.accepted) << c.name;
    EXPECT_EQ(game.CurrentBoard().Cells(), c.settings.GameColumns * c.settings.GameRows) << c.name;
    EXPECT_EQ(game.StartBoard(), game.CurrentBoard()) << c.name;
  }
}

TEST(BoardGame, MoveUndoAndRedo) {
  rt::SeedRandom(3);
  BoardGame game;
  game.DealNewBoard(DealSettings{});
  EXPECT_FALSE(game.CompleteMove().has_value()) << "nothing marked: no move";
  EXPECT_EQ(game.MoveIndex(), 0);
  EXPECT_FALSE(game.Undo().has_value());

  const int16_t ball = BallOfSomeGroup(game);
  ASSERT_NE(ball, 0);
  const int16_t n = game.GroupSize();
  const std::optional<MoveOutcome> move = Click(game, ball);
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->Removed, n);
  EXPECT_EQ(move->Points, n * (n - 1));
  EXPECT_EQ(game.Score(), n * (n - 1));
  EXPECT_EQ(game.MoveIndex(), 1);
  EXPECT_EQ(CountMarked(game.History().at(1)), n) << "the snapshot keeps the group marked";
  EXPECT_TRUE(game.MarkedPics().empty());
  const Board afterMove = game.CurrentBoard();

  EXPECT_EQ(game.Undo(), std::optional<int16_t>(ball));
  EXPECT_TRUE(SameIgnoringMarks(game.CurrentBoard(), game.StartBoard()));
  EXPECT_EQ(game.Score(), 0);
  EXPECT_EQ(game.MoveIndex(), 0);

  const std::optional<MoveOutcome> redo = game.Redo();
  ASSERT_TRUE(redo.has_value());
  EXPECT_EQ(game.CurrentBoard(), afterMove);
  EXPECT_EQ(game.Score(), n * (n - 1));
  EXPECT_FALSE(game.Redo().has_value()) << "nothing left to redo";

  game.RestoreStartBoard();
  EXPECT_EQ(game.CurrentBoard(), game.StartBoard());
  EXPECT_EQ(game.Score(), 0);
  EXPECT_EQ(game.MoveCount(), 1) << "the restored game can still be redone";
}

TEST(BoardGame, NewMoveAfterUndosEndsRedo) {
  rt::SeedRandom(11);
  BoardGame game;
  game.DealNewBoard(DealSettings{});
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(Click(game, BallOfSomeGroup(game)).has_value());
  game.Undo();
  game.Undo();
  ASSERT_TRUE(Click(game, BallOfSomeGroup(game)).has_value());
  EXPECT_EQ(game.MoveIndex(), 2);
  EXPECT_EQ(game.MoveCount(), 2);
  EXPECT_FALSE(game.Redo().has_value());
}

TEST(BoardGame, PointsLabelMoveIsUndoneWithoutAClickToRepeat) {
  rt::SeedRandom(5);
  BoardGame game;
  game.DealNewBoard(DealSettings{});
  BallOfSomeGroup(game);
  game.RecordClick(0);
  ASSERT_TRUE(game.CompleteMove().has_value());
  EXPECT_EQ(game.Undo(), std::optional<int16_t>(0));
  EXPECT_EQ(game.SelectGroup(0), 0) << "index 0 marks nothing";
}

// Plays many whole games on random boards by random clicks, undos and redos, holding a
// model of the window's ball pictures that follows only what the calls report. After every
// step the board must be the board after MoveIndex moves, the score the sum of their
// points, and every ball's picture visible at its cell.
TEST(BoardGame, RandomGamesKeepBoardHistoryAndPicturesConsistent) {
  std::mt19937 gen(2024);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
  int moves = 0, undos = 0, redos = 0, endings = 0;
  for (int gameNo = 0; gameNo < 150; ++gameNo) {
    rt::SeedRandom(gameNo);
    DealSettings settings{static_cast<int16_t>(pick(1, 14)), static_cast<int16_t>(pick(1, 14)),
                          static_cast<int16_t>(pick(1, 6)), static_cast<int16_t>(pick(2, 12)), 480,
                          405};
    BoardGame game;
    game.DealNewBoard(settings);
    std::vector<PictureState> pictures = game.PictureStates();
    std::vector<Board> boardAfter{game.CurrentBoard()};
    std::vector<int32_t> pointsOf{0};
    bool over = false;

    auto apply = [&](const MoveOutcome& m) {
      for (int16_t p : m.RemovedPics) pictures.at(p).Visible = false;
      for (const auto* moves : {&m.Fall.Moves, &m.Closing.Moves})
        for (const BallMove& b : *moves) {
          pictures.at(b.PicIndex).Left = b.Left;
          pictures.at(b.PicIndex).Top = b.Top;
        }
    };
    auto check = [&](const char* step) {
      const int k = game.MoveIndex();
      ASSERT_LE(k, game.MoveCount()) << step;
      ASSERT_LE(game.MoveCount(), HistorySize(settings.GameColumns, settings.GameRows)) << step;
      ASSERT_TRUE(SameIgnoringMarks(game.CurrentBoard(), boardAfter.at(k))) << step << " game " << gameNo;
      int32_t sum = 0;
      for (int i = 1; i <= k; ++i) sum += pointsOf.at(i);
      ASSERT_EQ(game.Score(), sum) << step;
      std::set<int16_t> shown;
      ForEachCell(game.CurrentBoard(), [&](const BoardCell& cell) {
        if (!cell.Occupied) return;
        ASSERT_TRUE(shown.insert(cell.PicIndex).second) << "one picture, two balls";
        const PictureState& pic = pictures.at(cell.PicIndex);
        ASSERT_TRUE(pic.Visible) << step;
        ASSERT_EQ(pic.Left, (cell.Col - 1) * settings.CellWidth) << step;
        ASSERT_EQ(pic.Top, (cell.Row - 1) * settings.CellHeight) << step;
        ASSERT_EQ(pic.ColorIndex, cell.ColorIndex) << step;
        ASSERT_EQ(cell.Left, pic.Left) << step;
        ASSERT_EQ(cell.Top, pic.Top) << step;
      });
      size_t visible = 0;
      for (const PictureState& pic : pictures) visible += pic.Visible ? 1 : 0;
      ASSERT_EQ(visible, shown.size()) << step;
    };

    for (int step = 0; step < 400; ++step) {
      const int action = pick(0, 9);
      if (action < 7 && !over) {
        std::vector<int16_t> balls;
        ForEachCell(game.CurrentBoard(), [&](const BoardCell& c) {
          if (c.Occupied) balls.push_back(c.PicIndex);
        });
        if (balls.empty()) continue;
        const std::optional<MoveOutcome> move = Click(game, balls[pick(0, balls.size() - 1)]);
        if (move) {
          apply(*move);
          boardAfter.resize(game.MoveIndex());
          pointsOf.resize(game.MoveIndex());
          boardAfter.push_back(game.CurrentBoard());
          pointsOf.push_back(move->Points);
          over = move->Best <= 1;
          ++moves;
          endings += over ? 1 : 0;
        }
        check("click");
      } else if (action < 9) {
        const std::optional<int16_t> reclick = game.Undo();
        if (!reclick) continue;
        pictures = game.PictureStates();
        over = false;
        Click(game, *reclick);
        ++undos;
        check("undo");
      } else {
        const std::optional<MoveOutcome> redo = game.Redo();
        if (!redo) continue;
        pictures = game.PictureStates();
        over = redo->Best <= 1;
        ++redos;
        check("redo");
      }
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GT(moves, 1000);
  EXPECT_GT(undos, 500);
  EXPECT_GT(redos, 200);
  EXPECT_GT(endings, 50);
}
