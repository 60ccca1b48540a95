#pragma once
// The main window: the score panel at the top, the daily time bar at the left, the board
// on its background picture, the menus and the hidden command box. The rules of the game
// live in BoardGame; this window asks it what a click or a move did and moves its ball
// pictures to match, with the sounds and waits between the steps.
//
// Waits (PlayWaveAndWait) let window events through while SoundBusy is set. Board clicks,
// undo, redo and quit are dropped while it is set, so nothing can change the board while a
// move, a deal or another effect is still being played back on screen.
#include <QString>
#include <cstdint>

#include "game/BoardGame.h"
#include "playtime/PlayTimeLimit.h"
#include "runtime/ControlArray.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/FormInstance.h"
#include "settings/Settings.h"
#include "speech/SpeechCommentary.h"
#include "support/MainCommands.h"

namespace rt {
class MenuItem;
}

class frmMain : public rt::Form,
                public SettingsHost,
                private SpeechHost,
                private playtime::PlayTimeHost,
                public rt::FormInstance<frmMain> {
 public:
  frmMain();

  // Writes a command word into txtCommand, the way the other windows address this one
  // (support/MainCommands.h): the command is carried out at once, inside this call.
  void SendCommand(const QString& word);

  // The menu items whose enabled state follows the game.
  enum class MenuItem {
    Backmove,     // undo; its state is remembered in UndoEnabled
    MoveForward,  // redo
  };
  void ActualizeMenu(MenuItem Point, bool Status);
  // Refreshes the score numbers and bars; with ShowHigh false the highscore number, and
  // the highscore bar while the score is below it, stay as they are.
  void ShowScore(bool ShowHigh);

  // Read-only views of the window's state, for the other windows and for tests.
  const BoardGame& Game() const { return game_; }
  bool IsGameOver() const { return GameOver; }
  bool IsGameRunning() const { return GameRunning; }
  bool IsUndoEnabled() const { return UndoEnabled; }
  int32_t CellWidthTwips() const { return CellWidth; }
  int32_t CellHeightTwips() const { return CellHeight; }
  int32_t PercentBarWidthTwips() const { return PercentBarWidth; }
  int32_t TimeBarHeightTwips() const { return playTime_.TimeBarFullHeight(); }

  // SettingsHost: the part of the settings file that belongs to this window. The board
  // size is the one the settings hold, which the board in play may be smaller than.
  int16_t GameRows() const override { return SettingsRows_; }
  void SetGameRows(int16_t rows) override { SettingsRows_ = rows; }
  int16_t GameColumns() const override { return SettingsColumns_; }
  void SetGameColumns(int16_t columns) override { SettingsColumns_ = columns; }
  int16_t MaxBallsOnStart() const override { return MaxBallsOnStart_; }
  void SetMaxBallsOnStart(int16_t balls) override { MaxBallsOnStart_ = balls; }
  float PlayTimeToday() const override { return playTime_.PlayTimeToday(); }
  void SetPlayTimeToday(float seconds) override { playTime_.SetPlayTimeToday(seconds); }
  float WindowTop() const override;
  void SetWindowTop(float top) override;
  float WindowLeft() const override;
  void SetWindowLeft(float left) override;
  void SetTimeLeftVisible(bool visible) override;
  void CheckSoundMenu(bool checked) override;
  void SetBusyPointer(bool busy) override;
  QString SpeechPath() const override { return speech_.SpeechPath(); }
  SpeechStatistics SpeechEntry(int token) const override;
  void SetPlayed(int token, const QString& played) override;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;
  void Form_KeyDown(int KeyCode, int Shift) override;
  // Counts the time since the last action whenever the window becomes active again.
  void Form_Activate() override;

 private:
  // Design (frmMain.cpp).
  void DesignScorePanel();
  void DesignBoard();
  void DesignMenus();
  void InitGameDefaultsAndLayout();
  void FitBoardToScreen();
  void PlaceWindowAtStart();
  // Saves the settings as the close paths do.
  void SaveSettingsOnClose();

  // Menus and keys (frmMain.cpp).
  void menGameNew_Click();
  void menRestoreOriginal_Click();
  void menSound_Click();
  void menOptions_Click();
  void menQuit_Click();
  void menGameExplanation_Click();
  void menInfo_Click();
  void timTutorialStart_Timer();
  void txtCommand_Change();
  // The command channel (frmMainCommands.cpp): one command read from the word Text.
  void CarryOut(MainCommand command, const QString& text);
  // Commands with more to them than one call (frmMainCommands.cpp).
  void StartProgram();
  void SayComment(const QString& number);
  void ShowColorScale();
  void ShowBestGroupSize();

  // The spoken comments (speech_) and the day's play time (playTime_), as the game asks
  // them (frmMainSpeech.cpp, frmMainPlayTime.cpp). The calls are virtual so that tests
  // can stand in for them and see when the game asks them.
  virtual void DoSpeech(CommentEvent Event, int32_t Value);
  virtual void PlaySpeechToken(uint8_t Token);
  virtual void RefreshPlayTime();
  virtual void EndForToday();
  void AnalyzeSpeechFiles();

  // The end of a game and the next one (frmMainEnd.cpp).
  void FinishGame();
  QString CelebrateEnd();
  void SayGoodbye(const QString& prefix);
  void ShowStartBoardAgain();

  // The window's side of the spoken comments (frmMainSpeech.cpp).
  int32_t CurrentScore() const override;
  void ColorScoreLabels(rt::Color color) override;
  void ShowSpeaking(bool speaking) override;

  // The window's side of the day's play time (frmMainPlayTime.cpp).
  void ShowTimeLeft();
  void fraTimeLeft_MouseMove(int Button, int Shift, double X, double Y);
  double TimeBarShownHeight() const override;
  double TimeFrameHeight() const override;
  void SetTimeBarVisible(bool visible) override;
  void PaintTimeBar(const playtime::TimeBarLook& look) override;
  void SetTimeLeftToolTip(const QString& text) override;
  void SayMinutesLeft(int32_t minutes) override;
  void ClearBoardForGoodbye() override;
  // Reaches the play-time procedures and state in tests.
  friend class PlayTimeProbe;

  // Board pictures and dealing (frmMainBoard.cpp).
  // Ball pictures on the board: one per cell.
  int Cells() const;
  void LoadBallControls();
  void HideBallPictures();
  void LayoutBoardPictures();
  void Colorpics();
  void DealNewBoard();
  void ShowDealAttempt(const Board& board);
  void SetBallPicture(int Index, const rt::Picture& picture);
  // Puts every ball picture where the board says: the screen side of restoring a board.
  void ShowBoardPictures();

  // Groups (frmMainBoard.cpp).
  void SelectGroup(int16_t Index);
  void ShowGroupScore(bool Show);
  void ClearMarks();
  bool IsMarkedBall(int16_t Index) const;
  int16_t BestGroupSize();

  // Clicks and moves (frmMainBoard.cpp).
  void picOnBoard_Click(int Index);
  void picOnBoard_DblClick(int Index);
  void picScore_Click();
  void CompleteMove();
  void RemoveMarkedBalls(const std::vector<int16_t>& RemovedPics);
  void MoveBallPictures(const std::vector<BallMove>& moves);

  // History (frmMainBoard.cpp).
  void menBackmove_Click();
  void menMoveForward_Click();

  // Controls.
  rt::Frame* fraScore = nullptr;
  rt::ControlArray<rt::Label> lblScore{"lblScore"};
  rt::ControlArray<rt::PictureBox> picPercentScore{"picPercentScore"};
  rt::Frame* fraTimeLeft = nullptr;
  rt::Shape* shpTime = nullptr;
  rt::Image* imgBackground = nullptr;
  rt::PictureBox* picGameBackground = nullptr;
  rt::ControlArray<rt::PictureBox> picOnBoard{"picOnBoard"};
  rt::PictureBox* picScore = nullptr;
  rt::ControlArray<rt::PictureBox> picItem{"picItem"};
  rt::ControlArray<rt::PictureBox> picVAnim{"picVAnim"};
  rt::TextBox* txtCommand = nullptr;
  rt::TimerControl* timTutorialStart = nullptr;

  rt::MenuItem* menGame = nullptr;
  rt::MenuItem* menGameNew = nullptr;
  rt::MenuItem* menRestoreOriginal = nullptr;
  rt::MenuItem* menBackmove = nullptr;
  rt::MenuItem* menMoveForward = nullptr;
  rt::MenuItem* menSound = nullptr;
  rt::MenuItem* menOptions = nullptr;
  rt::MenuItem* menQuit = nullptr;
  rt::MenuItem* menHelp = nullptr;
  rt::MenuItem* menGameExplanation = nullptr;
  rt::MenuItem* menInfo = nullptr;

  // State. The board, its history, the score, GroupSize, MoveIndex and MoveCount are the
  // game's own (game_).
  BoardGame game_;
  SpeechCommentary speech_{*this};
  playtime::PlayTimeLimit playTime_{*this};
  int32_t PercentBarWidth = 0;
  QString AnimSet;
  QString BackgroundPicture;
  // Set only while a click on the points label is handled.
  bool RemoveGroupNow = false;
  // A move has been made in the current game.
  bool GameRunning = false;
  int16_t MaxBallsOnStart_ = 0;
  // The current game has ended; the board ignores clicks.
  bool GameOver = false;
  // The board in play; the settings' size with its defaults, made smaller where the
  // screen cannot hold it.
  int16_t GameRows_ = 0;
  int16_t GameColumns_ = 0;
  int16_t SettingsRows_ = 0;
  int16_t SettingsColumns_ = 0;
  int32_t CellWidth = 0;
  int32_t CellHeight = 0;
  bool UndoEnabled = false;
  // The next new game puts the starting board back instead of dealing.
  bool RestoreOriginal = false;
  // A new game is being started; a second request meanwhile is dropped.
  bool GameNewRunning = false;
  // An undo is running; a second undo arriving in its waits is dropped.
  bool UndoRunning = false;
  // Form_Load has run to its end: the settings state and the speech catalogue are whole.
  bool LoadFinished = false;

 protected:
  // The running game is the day's last, as the play-time accounting decided; tests that
  // stand in for the accounting decide it themselves.
  virtual bool LastGameToday() const { return playTime_.LastGameToday(); }
};

// The program's one main window, created on first use; while a test holds a window of its
// own, that one.
frmMain& MainForm();

// Hands the main window's receivers to the command channel (support/MainCommands.h), so
// that the windows below it reach it without linking with it.
void ConnectMainCommands();
