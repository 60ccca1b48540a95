#pragma once
// The system message box with the Windows style flags and answer codes and German
// button texts. Style = button set + sign + default button:
//   button sets 0 OK, 1 OK/Abbrechen, 2 Abbrechen/Wiederholen/Ignorieren,
//               3 Ja/Nein/Abbrechen, 4 Ja/Nein, 5 Wiederholen/Abbrechen;
//   signs 16 stop, 32 question, 48 exclamation, 64 information;
//   default button 0 first, 256 second, 512 third.
// Answers: 1 OK, 2 Abbrechen (cancel), 3 Abbrechen (abort), 4 Wiederholen,
//          5 Ignorieren, 6 Ja, 7 Nein.
#include <QString>
#include <functional>
#include <vector>

namespace rt {

enum MsgBoxStyle : int {
  kOkOnly = 0,
  kOkCancel = 1,
  kAbortRetryIgnore = 2,
  kYesNoCancel = 3,
  kYesNo = 4,
  kRetryCancel = 5,
  kStopSign = 16,
  kQuestionSign = 32,
  kExclamationSign = 48,
  kInformationSign = 64,
  kDefaultButton2 = 256,
  kDefaultButton3 = 512,
};

enum MsgBoxAnswer : int {
  kAnswerOk = 1,
  kAnswerCancel = 2,
  kAnswerAbort = 3,
  kAnswerRetry = 4,
  kAnswerIgnore = 5,
  kAnswerYes = 6,
  kAnswerNo = 7,
};

struct MsgBoxButton {
  QString text;
  int answer;
};

// The buttons of a style, left to right.
std::vector<MsgBoxButton> MsgBoxButtons(int style);
// The index of the default button (a default flag naming a missing button gives the first).
int MsgBoxDefaultIndex(int style);
// The answer Escape and the close box give; 0 when the box has no cancel button and
// can only be answered by a button.
int MsgBoxEscapeAnswer(int style);

struct MsgBoxRequest {
  QString prompt;
  int style;
  QString title;
};

// Shows a modal message box and returns the answer. An empty title shows the
// application title.
int MsgBox(const QString& prompt, int style = kOkOnly, const QString& title = {});

// Test seam (Seams.h): while a responder is set, MsgBox shows nothing and returns what
// the responder answers to the request.
void SetMsgBoxResponder(std::function<int(const MsgBoxRequest&)> responder);

}  // namespace rt
