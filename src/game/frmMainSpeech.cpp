// The speech catalogue and the spoken comments of the main window.
#include "game/frmMain.h"
#include "settings/IniHandler.h"

void frmMain::DoSpeech(const QString& Kind, int32_t Value) {
  (void)Kind;
  (void)Value;
}

// Only the speech folder so far, so that a save keeps the one the settings file names;
// the catalogue of recordings comes with the speech player.
void frmMain::AnalyzeSpeechFiles() {
  SpeechPath_ = ReadIniValue(QStringLiteral("Speech"), QStringLiteral("Speechpath"));
  if (SpeechPath_.isEmpty()) SpeechPath_ = QStringLiteral("\\sounds\\speech\\");
}

SpeechStatistics frmMain::SpeechEntry(int token) const {
  (void)token;
  return {};
}

void frmMain::SetPlayed(int token, const QString& played) {
  (void)token;
  (void)played;
}

// The speech catalogue is not built yet: saving its empty entries would wipe the
// statistics the settings file holds, so the close paths keep them as they are.
void frmMain::SaveSettingsOnClose() { SaveSettings(*this, true); }

void frmMain::PlaySpeechToken(uint8_t Token) { (void)Token; }
