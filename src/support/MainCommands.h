#pragma once
// The command channel to the main window. The other windows never call the main window's
// procedures and never see its class: they write one of these command words into its
// hidden command box, and the main window carries the command out at once, inside the
// write, any comment it speaks included. The main window reads a word without regard to
// letter case.
#include <QString>
#include <optional>

namespace CommandWord {
// Title window, once it has shown the main window: the start comment, or the end of a
// day whose play time was used up before this start.
inline const QString ProgramStart = QStringLiteral("ProgrammStart");
// Title window, on its way out: arms the tutorial in learn mode with comments on.
inline const QString PlayTutorial = QStringLiteral("PLAYTUTORIAL");
// Options dialog: redraw the score and the highscore. Cancel writes the first spelling,
// the highscore reset the second; to the main window they are one command.
inline const QString ShowHighScore = QStringLiteral("ShowHighScore");
inline const QString ShowHighscore = QStringLiteral("ShowHighscore");
// Options dialog, after new time settings: one play-time accounting step.
inline const QString TimeRefresh = QStringLiteral("TIMEREFRESH");
// Message box: the shut-up button was pressed; the buttons and the shut-up button want
// explaining.
inline const QString ShutUp = QStringLiteral("ShutUP");
inline const QString ExplainButtons = QStringLiteral("SBUT");
inline const QString ExplainShutUp = QStringLiteral("SLIP");
}  // namespace CommandWord

// The word that has the main window speak comment Token: "SayComment 28".
QString SayCommentWord(int Token);

// What a word in the command box asks for.
enum class MainCommand {
  ShowHighScore,
  TimeRefresh,
  ProgramStart,
  ShutUp,
  ExplainButtons,
  ExplainShutUp,
  PlayTutorial,
  // The number follows after the first blank.
  SayComment,
};

// The command of a word, compared without regard to case; SayComment for every word that
// starts with "SayComment". None for any other word, and for a known word with anything
// after it ("SBUT ").
std::optional<MainCommand> ReadMainCommand(const QString& word);

// The main window's end of the channel, for the windows that must not know it. The main
// window is created on first use.
// Writes Word into the main window's command box; the command has been carried out when
// this returns.
void SendMainCommand(const QString& Word);
// Loads the main window and shows it modeless: the title window's start-up.
void OpenMainWindow();
