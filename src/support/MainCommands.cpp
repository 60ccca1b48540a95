#include "support/MainCommands.h"

#include <utility>

namespace {

const QString kSayComment = QStringLiteral("SayComment");

// The whole words, in the order the main window compares them.
const std::pair<const QString&, MainCommand> kWords[] = {
    {CommandWord::ShowHighScore, MainCommand::ShowHighScore},
    {CommandWord::TimeRefresh, MainCommand::TimeRefresh},
    {CommandWord::ProgramStart, MainCommand::ProgramStart},
    {CommandWord::ShutUp, MainCommand::ShutUp},
    {CommandWord::ExplainButtons, MainCommand::ExplainButtons},
    {CommandWord::ExplainShutUp, MainCommand::ExplainShutUp},
    {CommandWord::PlayTutorial, MainCommand::PlayTutorial},
};

MainWindowReceivers& Receivers() {
  static MainWindowReceivers receivers;
  return receivers;
}

}  // namespace

QString SayCommentWord(int Token) { return kSayComment + QLatin1Char(' ') + QString::number(Token); }

// Upper-cased, not case-folded: the two differ for a few letters, and the main window
// has always read its words in capitals.
std::optional<MainCommand> ReadMainCommand(const QString& word) {
  const QString upper = word.toUpper();
  for (const auto& [text, command] : kWords)
    if (upper == text.toUpper()) return command;
  if (upper.startsWith(kSayComment.toUpper())) return MainCommand::SayComment;
  return std::nullopt;
}

void ConnectMainWindow(MainWindowReceivers receivers) { Receivers() = std::move(receivers); }

void SendMainCommand(const QString& Word) {
  if (Receivers().command) Receivers().command(Word);
}

void OpenMainWindow() {
  if (Receivers().open) Receivers().open();
}
