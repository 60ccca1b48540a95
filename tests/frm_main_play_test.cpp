// Playing on the main window: marking, moves with their sounds, undo and redo, and the
// pictures on screen against the board of the rules.
#include <random>

#include "BoardTestSupport.h"
#include "FrmMainTestSupport.h"
#include "msgbox/MsgBoxCall.h"
#include "runtime/Events.h"
#include "runtime/MsgBox.h"
#include "settings/ColorMap.h"

namespace {

// A game that ends asks whether to play again; "Nein" leaves the finished board.
class FrmMainPlay : public FrmMainTest {
 protected:
  void SetUp() override {
    FrmMainTest::SetUp();
    SetFMsgBResponder([](const FMsgBRequest&) { return int16_t{rt::kAnswerNo}; });
  }
  void TearDown() override {
    SetFMsgBResponder({});
    FrmMainTest::TearDown();
  }
};

// The topmost, then leftmost ball of the marked group.
BoardCell AnchorCell(const Board& board) {
  BoardCell anchor;
  anchor.Top = INT32_MAX;
  ForEachCell(board, [&](const BoardCell& cell) {
    if (cell.Marked && cell.Top < anchor.Top) anchor = cell;
  });
  return anchor;
}

TEST_F(FrmMainPlay, PointsLabelStandsByTheTopLeftBallOfTheGroup) {
  WriteBoardSettings(11, 12, 3, 20);
  Open();
  const rt::PictureBox& label = PointsLabel();
  struct Case {
    const char* name;
    bool topRow;
    bool firstColumn;
  };
  const Case cases[] = {{"inside", false, false}, {"top row", true, false}, {"first column", false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int16_t ball = FindGroup([&](const Board& board, const BoardCell&) {
      const BoardCell anchor = AnchorCell(board);
      // From column 3 on there is room for the label on the left.
      const bool column = c.firstColumn ? anchor.Col == 1 : anchor.Col >= 3;
      return (anchor.Row == 1) == c.topRow && column;
    });
    ASSERT_NE(ball, 0);
    Click(ball);
    ASSERT_TRUE(label.Visible());
    const BoardCell anchor = AnchorCell(Game().CurrentBoard());
    const int n = Game().GroupSize();
    EXPECT_EQ(label.Width(), 1.4 * label.TextWidth(QStringLiteral(" %1").arg(n * (n - 1))));
    const double expectedTop = c.topRow ? label.Height() / 2 : anchor.Top - label.Height() / 2;
    const double expectedLeft = c.firstColumn ? label.Width() / 2 : anchor.Left - label.Width() / 2;
    EXPECT_NEAR(label.Top(), expectedTop, 0.5);
    EXPECT_NEAR(label.Left(), expectedLeft, 0.5);
  }
}

TEST_F(FrmMainPlay, ALoneBallIsRefused) {
  Open();
  const int16_t lone = [&] {
    int16_t found = 0;
    ForEachCell(Game().CurrentBoard(), [&](const BoardCell& cell) {
      Board board = Game().CurrentBoard();
      int16_t size = 0;
      if (!found && SelectGroup(board, cell.PicIndex, size) == 1) found = cell.PicIndex;
    });
    return found;
  }();
  ASSERT_NE(lone, 0);
  Click(AnyGroup());
  const size_t before = SoundCount();
  Click(lone);
  EXPECT_EQ(SoundsSince(before), std::vector<QString>{"wrongball"});
  EXPECT_TRUE(Game().MarkedPics().empty());
  EXPECT_FALSE(PointsLabel().Visible());
  EXPECT_EQ(Game().MoveRecords()[0].ClickedIndex, lone);
}

// Fifty pure waits for the animation frames are not recorded; the effects are.
TEST_F(FrmMainPlay, FallingAndClosingSoundOncePerMove) {
  struct Case {
    const char* name;
    int columns, rows;
    std::vector<QString> sounds;
  };
  const Case cases[] = {{"one column: balls fall", 1, 12, {"delballs", "setball"}},
                        {"one row: columns close", 12, 1, {"delballs", "delcol"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBoardSettings(c.columns, c.rows, 3, 12);
    Open();
    // A group with a ball above it (one column) or left of it (one row).
    const int16_t ball = FindGroup([](const Board& board, const BoardCell&) {
      bool room = false;
      ForEachCell(board, [&](const BoardCell& cell) { room = room || (cell.Marked && (cell.Row > 1 || cell.Col > 1)); });
      return room && !board(1, 1).Marked;
    });
    ASSERT_NE(ball, 0);
    Click(ball);
    const size_t before = SoundCount();
    Click(ball);
    std::vector<QString> sounds = SoundsSince(before);
    EXPECT_EQ(sounds, c.sounds);
    ExpectPicturesMatchBoard();
  }
}

TEST_F(FrmMainPlay, DoubleClickAndPointsLabelRemoveTheGroup) {
  Open();
  const int16_t first = AnyGroup();
  Ball(first).Click();
  Ball(first).DblClick();
  EXPECT_EQ(Game().MoveIndex(), 1);
  EXPECT_EQ(Game().MoveRecords()[0].ClickedIndex, first);

  Click(AnyGroup());
  PointsLabel().Click();
  EXPECT_EQ(Game().MoveIndex(), 2);
  EXPECT_EQ(Game().MoveRecords()[1].ClickedIndex, 0);
  EXPECT_FALSE(PointsLabel().Visible());
  ExpectPicturesMatchBoard();
}

TEST_F(FrmMainPlay, ClicksDuringAWaitAreDropped) {
  Open();
  const int16_t ball = AnyGroup();
  Click(ball);
  int ticks = 0;
  rt::ClockTimer during([&] {
    ++ticks;
    Click(AnyGroup());
    Choose("menBackmove");
    Choose("menMoveForward");
  });
  during.SetInterval(60);
  Click(ball);
  during.SetInterval(0);
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(Game().MoveIndex(), 1);
  EXPECT_TRUE(Game().MarkedPics().empty());
  ExpectPicturesMatchBoard();
}

TEST_F(FrmMainPlay, AMoveThatLeavesNoGroupClosesTheBoard) {
  WriteBoardSettings(2, 2, 1, 4);
  frmMain& form = Open();
  Click(1);
  Click(1);
  EXPECT_TRUE(form.IsGameOver());
  const size_t before = SoundCount();
  Click(1);
  EXPECT_EQ(SoundCount(), before);
  EXPECT_EQ(Game().MoveRecords()[1].ClickedIndex, 0);
}

TEST_F(FrmMainPlay, UndoMarksTheGroupTakenBack) {
  frmMain& form = Open();
  const int16_t first = AnyGroup();
  Click(first);
  Click(first);
  Click(AnyGroup());
  PointsLabel().Click();

  // The move made from the points label marks nothing when taken back.
  size_t before = SoundCount();
  const int64_t startMs = clock_.MonotonicMs();
  Choose("menBackmove");
  EXPECT_EQ(Game().MoveIndex(), 1);
  EXPECT_TRUE(Game().MarkedPics().empty());
  EXPECT_FALSE(PointsLabel().Visible());
  EXPECT_EQ(SoundsSince(before), std::vector<QString>{"undo"});
  EXPECT_EQ(clock_.MonotonicMs() - startMs, 270) << "the undo sound is waited for";
  EXPECT_TRUE(Menu("menMoveForward").Enabled());
  EXPECT_TRUE(Menu("menBackmove").Enabled());

  // The first move: its group is marked again, with its points.
  Choose("menBackmove");
  EXPECT_EQ(Game().MoveIndex(), 0);
  EXPECT_TRUE(IsMarkedBall(Game().CurrentBoard(), first));
  EXPECT_EQ(Game().MarkedPics(), MarkedPics(Game().History()[1]));
  EXPECT_TRUE(PointsLabel().Visible());
  EXPECT_FALSE(Menu("menBackmove").Enabled());
  EXPECT_FALSE(form.IsUndoEnabled());
  EXPECT_EQ(Game().Score(), 0);
  ExpectPicturesMatchBoard();
}

TEST_F(FrmMainPlay, TwoQuickUndosTakeBackOneMove) {
  Open();
  for (int move = 0; move < 2; ++move) {
    const int16_t ball = AnyGroup();
    Click(ball);
    Click(ball);
  }
  rt::ClockTimer second([&] { Choose("menBackmove"); });
  second.SetInterval(100);
  Choose("menBackmove");
  second.SetInterval(0);
  EXPECT_EQ(Game().MoveIndex(), 1);
  ExpectPicturesMatchBoard();
}

TEST_F(FrmMainPlay, RedoShowsTheBoardAfterTheMove) {
  WriteBoardSettings(2, 2, 1, 4);
  frmMain& form = Open();
  Click(1);
  Click(1);
  ASSERT_TRUE(form.IsGameOver());
  const Board after = Game().CurrentBoard();
  Choose("menBackmove");
  EXPECT_FALSE(form.IsGameOver());
  const size_t before = SoundCount();
  const int64_t startMs = clock_.MonotonicMs();
  Choose("menMoveForward");
  EXPECT_EQ(SoundsSince(before), std::vector<QString>{"redo"});
  EXPECT_EQ(clock_.MonotonicMs() - startMs, 770) << "the redo sound is waited for";
  EXPECT_EQ(Game().CurrentBoard(), after);
  EXPECT_EQ(Game().Score(), 12);
  EXPECT_EQ(Control<rt::Label>("lblScore_3").Caption(), "0012");
  // The redone move was the game's last: the board is closed again.
  EXPECT_TRUE(form.IsGameOver());
  ExpectPicturesMatchBoard();
}

// The redone move was the game's last although balls are left: none of them can go, so
// the board is closed again and no game is running any more.
TEST_F(FrmMainPlay, RedoOfALastMoveThatLeavesLoneBallsClosesTheBoard) {
  int16_t lone = 0;
  for (int deal = 0; deal < 20 && !lone; ++deal) {
    WriteBoardSettings(4, 3, 3, 12);
    frmMain& form = Open();
    for (int16_t ball = AnyGroup(); ball && !form.IsGameOver(); ball = AnyGroup()) {
      Click(ball);
      Click(ball);
    }
    ForEachCell(Game().CurrentBoard(), [&](const BoardCell& cell) {
      if (cell.Occupied) lone = cell.PicIndex;
    });
  }
  ASSERT_TRUE(lone) << "no deal ended with balls left";
  frmMain& form = Form();
  ASSERT_TRUE(form.IsGameOver());
  const Board after = Game().CurrentBoard();
  Choose("menBackmove");
  ASSERT_FALSE(form.IsGameOver());
  Choose("menMoveForward");
  EXPECT_EQ(Game().CurrentBoard(), after);
  EXPECT_TRUE(form.IsGameOver());
  EXPECT_FALSE(form.IsGameRunning());

  // On an open board a lone ball is refused with a sound; the closed board ignores it.
  const size_t sounds = SoundCount();
  Click(lone);
  EXPECT_EQ(SoundCount(), sounds);
  // No game runs, so a new game is dealt without asking.
  std::vector<QString> asked;
  SetFMsgBResponder([&](const FMsgBRequest& box) {
    asked.push_back(box.prompt);
    return int16_t{rt::kAnswerNo};
  });
  Choose("menGameNew");
  EXPECT_TRUE(asked.empty());
  EXPECT_FALSE(form.IsGameOver());
  EXPECT_EQ(Game().MoveIndex(), 0);
}

// Whole games by random clicks, double clicks, points-label clicks, undos and redos on
// random boards. After every step the board shown is the board after MoveIndex moves of
// the game (as they were made), and every picture agrees with it.
TEST_F(FrmMainPlay, RandomGamesKeepTheScreenOnTheBoard) {
  std::mt19937 random(20070423);
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  for (int game = 0; game < 16; ++game) {
    const int columns = pick(1, 14), rows = pick(1, 12), colours = pick(1, 6);
    SCOPED_TRACE(testing::Message() << "game " << game << ": " << columns << " x " << rows << " in " << colours);
    WriteBoardSettings(columns, rows, colours, pick(2, 12));
    frmMain& form = Open();
    std::vector<std::vector<std::string>> boards{Draw(Game().CurrentBoard())};
    for (int step = 0; step < 150 && !(form.IsGameOver() && game % 2); ++step) {
      const int before = Game().MoveIndex();
      const int action = pick(0, 9);
      switch (action) {
        case 0:
          Choose("menBackmove");
          break;
        case 1:
          Choose("menMoveForward");
          break;
        case 2:
          if (PointsLabel().Visible()) PointsLabel().Click();
          break;
        case 3:
          Ball(pick(1, columns * rows)).DblClick();
          break;
        case 4:
        case 5: {
          const std::vector<int16_t> marked = Game().MarkedPics();
          Click(marked.empty() ? pick(1, columns * rows) : marked[pick(0, static_cast<int>(marked.size()) - 1)]);
          break;
        }
        default:
          Click(pick(1, columns * rows));
      }
      const int after = Game().MoveIndex();
      const bool redo = action == 1;
      if (after > before && !redo) {
        boards.resize(after);
        boards.push_back(Draw(Game().CurrentBoard()));
      }
      ASSERT_LE(after, Game().MoveCount());
      ASSERT_EQ(Draw(Game().CurrentBoard()), boards.at(after)) << "step " << step;
      ExpectPicturesMatchBoard();
      if (HasFailure()) return;
    }
  }
}

}  // namespace
