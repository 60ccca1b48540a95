// The end of a game and the start of the next one.
#include "game/frmMain.h"
#include "msgbox/MsgBoxCall.h"
#include "runtime/ErrorBox.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "settings/SettingsState.h"
#include "support/FlagScope.h"
#include "support/MainFunctions.h"

namespace {

// "Ja" and "Nein" with the question sign.
constexpr int32_t kQuestionStyle = rt::kYesNo | rt::kQuestionSign;

}  // namespace

void frmMain::FinishGame() {
  ShowScore(true);
  GameOver = true;
  GameRunning = false;
  ActualizeMenu(MenuItem::MoveForward, false);
  PlayWaveAndWait(QStringLiteral("DelCol"), 0, EffectWait::DelCol);
  PlayWaveAndWait(QStringLiteral("DelBalls"), 0, EffectWait::DelBalls);
  PlayWaveAndWait(QStringLiteral("EndGame"), 0, EffectWait::EndGame);
  // Saved before the highscore below changes: a new highscore reaches the file with the
  // next save, and the speech statistics stay for the saves on close.
  SaveSettings(*this, true);
  const QString prefix = CelebrateEnd();
  RefreshPlayTime();
  if (LastGameToday()) {
    SayGoodbye(prefix);
  } else {
    DoSpeech(CommentEvent::NewGameQuestion, -1);
    if (FMsgB(prefix + QStringLiteral("Neues Spiel?"), kQuestionStyle, rt::App::Title) == rt::kAnswerYes) {
      ShowScore(true);
      menGameNew_Click();
    }
  }
  ShowScore(true);
  RefreshPlayTime();
}

// The end comment, or for a new highscore the fanfare, its comment and the new
// highscore; returns the line the box puts before its text.
QString frmMain::CelebrateEnd() {
  const int32_t score = game_.Score();
  if (score <= Highscore) {
    DoSpeech(CommentEvent::GameEnded, score);
    return {};
  }
  PlayWaveAndWait(QStringLiteral("fanfare"), 0, EffectWait::Fanfare);
  // The first highscore after a reset is no feat of its own: the plain end comment.
  DoSpeech(CommentEvent::GameEndedWithHighscore, Highscore != 0 ? score : 0);
  Highscore = score;
  return QStringLiteral("Höchste Punktzahl erreicht!") + kCR + kCR;
}

// The day's play time is used up: a goodbye in place of the question, then the way out
// of the program through a new game.
void frmMain::SayGoodbye(const QString& prefix) {
  const QString text = prefix + QStringLiteral("Die heutige Spielzeit ist abgelaufen!") + kCR + rt::App::Title +
                       QStringLiteral(" verabschiedet sich jetzt für den Rest des Tages. Bis morgen!");
  NoButtonExplanation = true;
  MsgComment = SpeechToken::TimeIsUp;
  FMsgB(text, kNoticeStyle, rt::App::Title);
  ShowScore(true);
  menGameNew_Click();
}

void frmMain::menGameNew_Click() {
  if (GameNewRunning || SoundBusy) return;
  {
    FlagScope running(GameNewRunning);
    if (LastGameToday()) {
      SaveSettingsOnClose();
      EndForToday();
      rt::EndProcess();
    }
    RefreshPlayTime();
    if (GameRunning) {
      MsgComment = SpeechToken::StopQuestion;
      if (FMsgB(QStringLiteral("Laufendes Spiel abbrechen?"), kQuestionStyle, rt::App::Title) == rt::kAnswerNo)
        return;
    }
    GameOver = false;
    GameRunning = false;
    game_.SetScore(0);
    ShowScore(false);
    if (RestoreOriginal)
      ShowStartBoardAgain();
    else
      DealNewBoard();
    ClearMarks();
  }
  DoSpeech(CommentEvent::NewGameStarts, -1);
}

// The board empties, sets itself again row by row to the sound, and the starting board
// returns with the score it was dealt with.
void frmMain::ShowStartBoardAgain() {
  HideBallPictures();
  Refresh();
  for (int r = 1; r <= GameRows_; ++r) PlayWaveAndWait(QStringLiteral("setball2"), 0, EffectWait::DealEnd);
  game_.RestoreStartBoard();
  ShowBoardPictures();
  ShowScore(true);
  RestoreOriginal = false;
  speech_.ForgetHighscoreCelebration();
}

// The request holds for this one call, whether or not the board was restored.
void frmMain::menRestoreOriginal_Click() {
  RestoreOriginal = true;
  menGameNew_Click();
  RestoreOriginal = false;
}
