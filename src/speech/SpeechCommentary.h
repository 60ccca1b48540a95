#pragma once
// The spoken comments: the catalogue of recordings, the choice of a comment for a game
// event, its playback, and the celebration of a beaten highscore. The window the game
// is played in lends what the comments need of it through SpeechHost.
#include <QString>
#include <cstdint>

#include "runtime/Color.h"
#include "settings/Settings.h"
#include "speech/Comments.h"
#include "speech/SpeechCatalogue.h"

class SpeechHost {
 public:
  virtual ~SpeechHost() = default;
  // The running game's score.
  virtual int32_t CurrentScore() const = 0;
  // The text colour of the score's caption and digits, which the celebration flashes.
  virtual void ColorScoreLabels(rt::Color color) = 0;
  // The lips pointer, painted at once, while a recording plays: the child sees that the
  // game is talking and not listening.
  virtual void ShowSpeaking(bool speaking) = 0;
};

class SpeechCommentary {
 public:
  explicit SpeechCommentary(SpeechHost& host) : host_(host) {}
  SpeechCommentary(const SpeechCommentary&) = delete;
  SpeechCommentary& operator=(const SpeechCommentary&) = delete;

  // Reads the speech folder from the settings and builds the catalogue; the settings
  // state (LearnMode) must be loaded.
  void AnalyzeSpeechFiles();
  // Speaks the comment the event asks for; the first click in a game that passes a
  // highscore of at least 1 is celebrated instead.
  void DoSpeech(CommentEvent Event, int32_t Value);
  // Speaks a recording of Token when the switches, the once-per-run rule and the
  // token's probability let it, and notes it as played once it has been heard.
  void PlaySpeechToken(uint8_t Token);

  // The next click that passes the highscore is celebrated again.
  void ForgetHighscoreCelebration() { HighscoreCelebrated = false; }
  // Whether the shut-up switch counts as explained for the rest of the run.
  void SetShutUpExplained(bool explained);

  // For the settings file.
  QString SpeechPath() const { return SpeechPath_; }
  SpeechStatistics Statistics(int token) const;
  void SetPlayed(int token, const QString& played);

 private:
  void CelebrateHighscore();

  SpeechHost& host_;
  QString SpeechPath_;
  // The speech catalogue by token number; entry 0 stays empty.
  SpeechTable SpeechTab;
  // The highscore has been celebrated in this game.
  bool HighscoreCelebrated = false;
};
