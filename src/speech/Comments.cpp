#include "speech/Comments.h"

#include "settings/SpeechTokens.h"

namespace {

// Points are n x (n - 1) for n balls: 272 is a group of 17, 90 a group of 10.
uint8_t PointsToken(int32_t points) {
  if (points > 300) return SpeechToken::PointsOver300;
  if (points == 272) return SpeechToken::PointsNearly300;
  if (points > 200) return SpeechToken::PointsOver200;
  if (points > 150) return SpeechToken::PointsWellOver100;
  if (points > 100) return SpeechToken::PointsOver100;
  if (points == 90) return SpeechToken::PointsNearly100;
  if (points > 20) return SpeechToken::PointsFrom20;
  if (points >= 2) return SpeechToken::PointsBelow20;
  return 0;
}

// One and two minutes left are not announced.
uint8_t MinutesToken(int32_t minutes) {
  if (minutes == -1) return SpeechToken::TimeOver;
  if (minutes < 1) return SpeechToken::LastMinute;
  switch (minutes) {
    case 3: return SpeechToken::Minutes3Left;
    case 5: return SpeechToken::Minutes5Left;
    case 10: return SpeechToken::Minutes10Left;
    case 15: return SpeechToken::Minutes15Left;
    case 25: return SpeechToken::Minutes25Left;
    default: return 0;
  }
}

uint8_t FinalScoreToken(int32_t score) {
  if (score >= 800) return SpeechToken::EndFrom800;
  if (score >= 700) return SpeechToken::EndFrom700;
  if (score >= 600) return SpeechToken::EndFrom600;
  if (score >= 500) return SpeechToken::EndFrom500;
  if (score >= 300) return SpeechToken::EndFrom300;
  return SpeechToken::EndBelow300;
}

}  // namespace

uint8_t CommentToken(CommentEvent Event, int32_t Value, bool LearnMode) {
  switch (Event) {
    case CommentEvent::ProgramStarted: return SpeechToken::ProgramStart;
    case CommentEvent::GroupRemoved: return PointsToken(Value);
    case CommentEvent::TimeLeft: return MinutesToken(Value);
    case CommentEvent::NewGameStarts: return SpeechToken::NewGame;
    case CommentEvent::GameEnded: return FinalScoreToken(Value);
    case CommentEvent::GameEndedWithHighscore: return SpeechToken::EndWithHighscore;
    case CommentEvent::NewGameQuestion:
      return LearnMode ? SpeechToken::NewGameLearnMode : SpeechToken::NewGameQuestion;
  }
  return 0;
}
