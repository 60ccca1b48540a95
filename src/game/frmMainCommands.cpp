// The command channel: the other windows never call this window's procedures; they write
// a command word into the hidden txtCommand, and its change handler carries it out.
#include <cmath>

#include "game/frmMain.h"
#include "runtime/Numbers.h"
#include "settings/SettingsState.h"
#include "settings/SpeechTokens.h"
#include "settings/Tokens.h"
#include "support/MainCommands.h"

namespace {

constexpr int kTutorialDelayMs = 100;

// Repaints the loaded window of that name at once; nothing when it is not loaded.
void RefreshForm(const QString& name) {
  if (rt::Form* form = rt::Form::Loaded(name)) form->Refresh();
}

}  // namespace

void frmMain::txtCommand_Change() {
  const QString text = txtCommand->Text();
  // Clearing the box below changes it once more.
  if (text.isEmpty()) return;
  if (const std::optional<MainCommand> command = ReadMainCommand(text)) CarryOut(*command, text);
  txtCommand->SetText(QString());
}

void frmMain::CarryOut(MainCommand command, const QString& text) {
  switch (command) {
    case MainCommand::ShowHighScore:
      ShowScore(true);
      return;
    case MainCommand::TimeRefresh:
      RefreshPlayTime();
      return;
    case MainCommand::ProgramStart:
      StartProgram();
      return;
    case MainCommand::ShutUp:
      PlaySpeechToken(SpeechToken::ShutUp);
      return;
    case MainCommand::ExplainButtons:
      RefreshForm(QStringLiteral("frmMsg"));
      PlaySpeechToken(SpeechToken::ExplainButtons);
      return;
    case MainCommand::ExplainShutUp:
      RefreshForm(QStringLiteral("frmMsg"));
      PlaySpeechToken(SpeechToken::ExplainShutUp);
      return;
    case MainCommand::PlayTutorial:
      if (LearnMode && CommentsOn) timTutorialStart->SetInterval(kTutorialDelayMs);
      return;
    case MainCommand::SayComment:
      SayComment(GetToken(text, QStringLiteral(" "), 2));
      return;
  }
}

// The title window has shown this one: the start comment, or the end of a day whose
// play time was used up before this start.
void frmMain::StartProgram() {
  Refresh();
  RefreshForm(QStringLiteral("frmTitle"));
  if (playTime_.DayUsedUp()) {
    EndForToday();
    return;
  }
  PlaySpeechToken(SpeechToken::ProgramStart);
}

// Speaks the comment numbered by the leading number of the text (none: 0, which says
// nothing), rounded as the game converts numbers. A number that names no comment is
// ignored.
void frmMain::SayComment(const QString& number) {
  const double token = std::nearbyint(rt::Val(number));
  if (!(token >= 0 && token <= kSpeechTokenCount)) return;
  PlaySpeechToken(static_cast<uint8_t>(token));
}
