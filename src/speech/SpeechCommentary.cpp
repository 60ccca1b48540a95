#include "speech/SpeechCommentary.h"

#include "settings/SettingsState.h"
#include "speech/LastSpeechFile.h"
#include "speech/SpeechPlayer.h"
#include "support/MainFunctions.h"
#include "support/Sound.h"

namespace {

// QBColor numbers the celebration flashes the score labels with.
constexpr int kPaletteWhite = 15;
constexpr int kPaletteRed = 12;
constexpr int kPaletteBlack = 0;
constexpr int kWhiteRedFlashes = 3;
constexpr float kFlashPauseMs = 300;

}  // namespace

void SpeechCommentary::AnalyzeSpeechFiles() {
  SpeechPath_ = ReadSpeechPath();
  SpeechTab = BuildSpeechCatalogue(SpeechPath_, LearnMode);
}

void SpeechCommentary::DoSpeech(CommentEvent Event, int32_t Value) {
  const int32_t score = host_.CurrentScore();
  // A highscore of 0 beaten is no feat worth its own comment: it is an ordinary end.
  if (Event == CommentEvent::GameEndedWithHighscore && Value == 0) {
    Event = CommentEvent::GameEnded;
    Value = score;
  }
  const bool beatsHighscore = score > Highscore && Highscore >= 1 && !HighscoreCelebrated;
  if (Event == CommentEvent::GroupRemoved && beatsHighscore) {
    CelebrateHighscore();
    return;
  }
  PlaySpeechToken(CommentToken(Event, Value, LearnMode));
}

// The score labels run through the sixteen colours, flash white and red three times and
// settle on black, each step with a short sound; then the beaten highscore is praised.
void SpeechCommentary::CelebrateHighscore() {
  const auto flash = [this](int color) {
    host_.ColorScoreLabels(rt::QBColor(color));
    PlayWaveAndWait(QStringLiteral("DelCol"), 0, EffectWait::DelCol);
  };
  for (int color = 0; color <= kPaletteWhite; ++color) flash(color);
  for (int i = 0; i < kWhiteRedFlashes; ++i) {
    flash(kPaletteWhite);
    PlayWaveAndWait(QString(), 0, kFlashPauseMs);
    flash(kPaletteRed);
    PlayWaveAndWait(QString(), 0, kFlashPauseMs);
  }
  flash(kPaletteBlack);
  PlaySpeechToken(SpeechToken::HighscoreBeaten);
  HighscoreCelebrated = true;
}

void SpeechCommentary::PlaySpeechToken(uint8_t Token) {
  if (Token >= SpeechTab.size()) return;
  SpeechEntry& entry = SpeechTab[Token];
  const int16_t number = ChooseRecording(entry, Token, {SoundOn, CommentsOn, LearnMode});
  if (number == 0) return;
  const QString file = RecordingFile(SpeechPath_, entry.Token, number);
  host_.ShowSpeaking(true);
  const bool heard = playsound(file, -1);
  host_.ShowSpeaking(false);
  // Only a recording heard to its end counts as played and is the one F9 repeats.
  if (!heard) return;
  LastSpeechFile = file;
  NotePlayed(entry, Token, number);
}

void SpeechCommentary::SetShutUpExplained(bool explained) {
  SpeechTab[SpeechToken::ExplainShutUp].SpokenThisSession = explained;
}

SpeechStatistics SpeechCommentary::Statistics(int token) const {
  if (token < 0 || static_cast<size_t>(token) >= SpeechTab.size()) return {};
  const SpeechEntry& entry = SpeechTab[static_cast<size_t>(token)];
  return {entry.ElementCount, entry.Probability, entry.RepeatsAllowed, entry.Played};
}

void SpeechCommentary::SetPlayed(int token, const QString& played) {
  if (token < 0 || static_cast<size_t>(token) >= SpeechTab.size()) return;
  SpeechTab[static_cast<size_t>(token)].Played = played;
}
