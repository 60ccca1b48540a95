// The spoken comments of the main window: the catalogue of recordings, the choice of a
// comment for a game event, its playback, and the celebration of a beaten highscore.
#include <optional>

#include "game/frmMain.h"
#include "runtime/Color.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "settings/SettingsState.h"
#include "speech/Comments.h"
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

void frmMain::AnalyzeSpeechFiles() {
  SpeechPath_ = ReadSpeechPath();
  SpeechTab = BuildSpeechCatalogue(SpeechPath_, LearnMode);
}

void frmMain::DoSpeech(const QString& Kind, int32_t Value) {
  QString kind = Kind;
  int32_t value = Value;
  // A highscore of 0 beaten is no feat worth its own comment: it is an ordinary end.
  if (Kind == QStringLiteral("H") && Value == 0) {
    kind = QStringLiteral("E");
    value = game_.Score();
  }
  const bool beatsHighscore = game_.Score() > Highscore && Highscore >= 1 && !HighscoreCelebrated;
  if (kind.toUpper() == QStringLiteral("V") && beatsHighscore) {
    CelebrateHighscore();
    return;
  }
  const std::optional<uint8_t> token = CommentToken(kind, value, LearnMode);
  if (!token) {
    rt::MsgBox(QStringLiteral("Kürzel '") + Kind + QStringLiteral("' in Subroutine DoSpeech nicht bekannt!"),
               rt::kOkCancel + rt::kInformationSign, rt::App::Title);
    return;
  }
  PlaySpeechToken(*token);
}

// The score labels run through the sixteen colours, flash white and red three times and
// settle on black, each step with a short sound; then the beaten highscore is praised.
void frmMain::CelebrateHighscore() {
  const auto flash = [this](int color) {
    lblScore(1).SetForeColor(rt::QBColor(color));
    lblScore(3).SetForeColor(rt::QBColor(color));
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

void frmMain::PlaySpeechToken(uint8_t Token) {
  if (Token >= SpeechTab.size()) return;
  ::SpeechEntry& entry = SpeechTab[Token];
  const int16_t number = ChooseRecording(entry, Token, {SoundOn, CommentsOn, LearnMode});
  if (number == 0) return;
  const QString file = RecordingFile(SpeechPath_, entry.Token, number);
  // The lips pointer tells the child that the game is talking and not listening.
  SetMousePointer(rt::kPointerCustom);
  Refresh();
  const bool heard = playsound(file, -1);
  SetMousePointer(rt::kPointerDefault);
  // Only a recording heard to its end counts as played and is the one F9 repeats.
  if (!heard) return;
  LastSpeechFile = file;
  NotePlayed(entry, Token, number);
}

SpeechStatistics frmMain::SpeechEntry(int token) const {
  if (token < 0 || static_cast<size_t>(token) >= SpeechTab.size()) return {};
  const ::SpeechEntry& entry = SpeechTab[static_cast<size_t>(token)];
  return {entry.ElementCount, entry.Probability, entry.RepeatsAllowed, entry.Played};
}

void frmMain::SetPlayed(int token, const QString& played) {
  if (token < 0 || static_cast<size_t>(token) >= SpeechTab.size()) return;
  SpeechTab[static_cast<size_t>(token)].Played = played;
}

void frmMain::SaveSettingsOnClose() { SaveSettings(*this); }
