// The main window's side of the spoken comments: the game's calls into them, and what
// they need of the window.
#include "game/frmMain.h"
#include "runtime/Screen.h"

void frmMain::AnalyzeSpeechFiles() { speech_.AnalyzeSpeechFiles(); }

void frmMain::DoSpeech(CommentEvent Event, int32_t Value) { speech_.DoSpeech(Event, Value); }

void frmMain::PlaySpeechToken(uint8_t Token) { speech_.PlaySpeechToken(Token); }

int32_t frmMain::CurrentScore() const { return game_.Score(); }

void frmMain::ColorScoreLabels(rt::Color color) {
  lblScore(1).SetForeColor(color);
  lblScore(3).SetForeColor(color);
}

void frmMain::ShowSpeaking(bool speaking) {
  SetMousePointer(speaking ? rt::kPointerCustom : rt::kPointerDefault);
  if (speaking) Refresh();
}

SpeechStatistics frmMain::SpeechEntry(int token) const { return speech_.Statistics(token); }

void frmMain::SetPlayed(int token, const QString& played) { speech_.SetPlayed(token, played); }

void frmMain::SaveSettingsOnClose() { SaveSettings(*this); }
