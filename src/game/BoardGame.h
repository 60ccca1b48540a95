#pragma once
// One game on the board: the board itself, the move history for undo and redo, the
// starting board, the score and the move numbers. The main window owns one BoardGame,
// asks it for every decision and moves its ball pictures by what the calls report; the
// sounds, waits, menus and the guards on clicks (SoundBusy, GameOver) stay in the window.
//
// A click on ball picture Index, in the window's order:
//   1. dropped by the window while SoundBusy or GameOver is set;
//   2. a real click: RefreshPlayTime, then RecordClick(Index);
//   3. IsMarkedBall(Index);
//   4. not marked (and no click on the points label): SelectGroup(Index). GroupSize() 1 is
//      a lone ball ("WrongBall"); 2 or more: outline MarkedPics() and show the points
//      label at PlacePointsLabel(PointsAnchor(), width, height) with
//      PointsLabelText(GroupPoints(GroupSize()));
//   5. marked, or a click on the points label (recorded as index 0): CompleteMove().
//      It returns the whole move at once; the window then plays it back with its waits:
//      the removal frames on RemovedPics, hiding them; the Fall moves and "SetBall" when
//      any ball fell; the score display (Score()); the Closing moves and one "DelCol" when
//      a column shifted; and the end of the game when Best <= 1.
// Undo: Undo() restores the board before the last move and names the ball to re-click;
// the window redraws every picture from PictureStates(), shows the score, clears GameOver
// and clicks that ball as a real click. Redo: Redo() puts the board after the next move in
// place; the window redraws from PictureStates(). A redone move that leaves no group
// (Best <= 1) was the game's last: the window closes the board again (GameOver) without
// running the end of the game a second time. RestoreStartBoard() brings back the board as
// dealt. No call waits, processes events or plays a sound.
//
// Deal first: every other call expects a dealt board. The settings passed to the deal
// must have been through ApplyBoardDefaults.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "game/Board.h"
#include "game/Groups.h"
#include "game/Moves.h"

// The score and the last click of one move number.
struct MoveRecord {
  // Picture of the ball clicked last while MoveIndex had this value; 0 for a move made by
  // a click on the points label.
  int16_t ClickedIndex = 0;
  // Score when the snapshot of this move number was taken. 32-bit, like the running
  // score, so that no board the settings allow can overflow it.
  int32_t Score = 0;

  bool operator==(const MoveRecord&) const = default;
};

// Board sizes and cell steps a game is dealt with; the window's state variables.
struct DealSettings {
  int16_t GameColumns = kDefaultGameColumns;
  int16_t GameRows = kDefaultGameRows;
  int16_t BallColors = kDefaultBallColors;
  int16_t MaxBallsOnStart = kDefaultMaxBallsOnStart;
  // Column and row steps of the grid, twips.
  int32_t CellWidth = 480;
  int32_t CellHeight = 480;
};

struct DealResult {
  int Attempts = 0;
  // False when the last attempt was kept without passing the acceptance test.
  bool Accepted = false;
  // Largest group of the board kept.
  int16_t Best = 0;
};

// Everything one move did, in the order it happened.
struct MoveOutcome {
  // Pictures of the removed balls, in scan order.
  std::vector<int16_t> RemovedPics;
  // Size and points of the removed group.
  int16_t Removed = 0;
  int32_t Points = 0;
  FallResult Fall;
  ClosingResult Closing;
  // Largest group left; 1 or less ends the game.
  int16_t Best = 0;
};

// How one ball picture should look: the result of redrawing every cell in scan order.
struct PictureState {
  int32_t Left = 0;
  int32_t Top = 0;
  int16_t ColorIndex = 0;
  bool Visible = false;

  bool operator==(const PictureState&) const = default;
};

class BoardGame {
 public:
  // Deals a new board and starts its history: MoveIndex and MoveCount 0, the board kept
  // as StartBoard with the current score (the caller sets Score to 0 for a new game).
  // Repeats the deal until IsAcceptableDeal, at most kMaxDealAttempts times, keeping the
  // last board; settings no board can meet get one attempt. The attempts are made
  // unseen; shown (optional) is called once, with the board kept, so the window shows
  // one board whatever the settings: settings that rarely pass cost the child no more
  // than the computing of the attempts (about 0.1 s on the largest board).
  DealResult DealNewBoard(const DealSettings& settings,
                          const std::function<void(const Board&)>& shown = {});

  // The ball picture clicked last at the current move number.
  void RecordClick(int16_t Index);
  bool IsMarkedBall(int16_t Index) const;
  // Marks the group of the ball shown by picture Index; returns GroupSize().
  int16_t SelectGroup(int16_t Index);
  void ClearMarks();
  std::vector<int16_t> MarkedPics() const;
  // Anchor of the points label of the marked group (GroupAnchor over the board area).
  Anchor PointsAnchor() const;
  // Size of the largest group; leaves no mark and GroupSize() as the simulated clicks on
  // every ball would.
  int16_t BestGroupSize();

  // Carries out the move on the marked group: the snapshot for undo, removal, falling,
  // points, closing of empty columns and the measurement of the largest group left. Does
  // nothing and returns nothing when fewer than two balls are marked: a move always takes
  // a group.
  std::optional<MoveOutcome> CompleteMove();

  // Takes the last move back: the board and score before it, unmarked, and MoveIndex one
  // lower. Returns the picture to re-click (the ClickedIndex of the new MoveIndex, 0 when
  // that move came from the points label), or nothing when MoveIndex is 0.
  std::optional<int16_t> Undo();
  // Makes the next undone move again, when MoveIndex < MoveCount: restores its snapshot
  // and removes its marked group with falling and closing, adding its points, so the board
  // and the score are those after MoveIndex moves. Returns what the move did (Best <= 1
  // when it was the game's last move), or nothing when there is nothing to redo.
  std::optional<MoveOutcome> Redo();
  // Puts the board as dealt back: MoveIndex 0, the score at the deal. MoveCount stays, so
  // the moves of this game can still be redone from it.
  void RestoreStartBoard();

  // Every ball picture 1 .. cells (element 0 unused) as a redraw of all cells would leave
  // it: the removed balls' pictures hidden, every ball's picture visible at its cell.
  std::vector<PictureState> PictureStates() const;

  const Board& CurrentBoard() const { return Board_; }
  // For the window's own uses of the board, such as marking every ball at the end of the
  // day before RemoveMarkedBalls.
  Board& CurrentBoard() { return Board_; }
  const Board& StartBoard() const { return StartBoard_; }
  const std::vector<Board>& History() const { return History_; }
  const std::vector<MoveRecord>& MoveRecords() const { return MoveRecords_; }
  const DealSettings& Settings() const { return Settings_; }

  int32_t Score() const { return Score_; }
  void SetScore(int32_t score) { Score_ = score; }
  int16_t GroupSize() const { return GroupSize_; }
  int16_t MoveIndex() const { return MoveIndex_; }
  int16_t MoveCount() const { return MoveCount_; }

 private:
  // Copies the board into Hist (History element MoveIndex, or StartBoard) and the score
  // into MoveRecords element MoveIndex.
  void SaveBoardToHistory(::Board& Hist);
  // The board of Hist with the score of MoveRecords element MoveIndex; marks cleared
  // unless keepMarks.
  void RestoreBoardFromHistory(const ::Board& Hist, bool keepMarks);
  // Removal, falling, points, closing and measurement of the marked group.
  MoveOutcome RemoveMarkedGroup();

  DealSettings Settings_;
  ::Board Board_;
  std::vector<::Board> History_;
  ::Board StartBoard_;
  std::vector<MoveRecord> MoveRecords_;
  int32_t Score_ = 0;
  int16_t GroupSize_ = 0;
  int16_t MoveIndex_ = 0;
  int16_t MoveCount_ = 0;
};
