#pragma once
// The command channel to the main window. The other windows never call the main window's
// procedures and never see its class: they write one of these command words into its
// hidden command box, and the main window carries the command out at once, inside the
// write, any comment it speaks included. The main window reads a word without regard to
// letter case.
#include <QString>
#include <functional>
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

// The main window's end of the channel. The main window stands above every window that
// writes to it, so none of them links with it: the program hands its receivers over once
// at start (ConnectMainWindow), and until then a word goes nowhere.
struct MainWindowReceivers {
  // Loads the main window, created on first use, and shows it modeless.
  std::function<void()> open;
  // Writes a word into its command box; the command has been carried out on return.
  std::function<void(const QString& word)> command;
};
void ConnectMainWindow(MainWindowReceivers receivers);

// Writes Word into the main window's command box; the command has been carried out when
// this returns.
void SendMainCommand(const QString& Word);
// Loads the main window and shows it modeless: the title window's start-up.
void OpenMainWindow();
