#pragma once
// The game's own message box, called like the system's: prompt, style flags, title; the
// answer code comes back. Style and answer are the system box's flags and codes
// (runtime/MsgBox.h): button set + sign + focus on the second or third button. The box
// shows picture buttons; its prompt and the meaning of its buttons are spoken through
// the main window.
#include <QChar>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "runtime/MsgBox.h"

// A notice: one OK button under the information sign.
inline constexpr int32_t kNoticeStyle = rt::kOkOnly | rt::kInformationSign;
// A prompt breaks its line at a carriage return.
inline constexpr QChar kCR = u'\r';

// The answer of the last box answered by a button; 0 until the first.
extern int16_t MsgAnswer;
// The style flags of the box being shown.
extern int32_t MsgStyle;
// A speech token to speak when the box paints, 0 for none; the box clears it.
extern uint8_t MsgComment;
// Skip the spoken explanation of the buttons for the next box; the box clears it.
extern bool NoButtonExplanation;

// Shows the box modally and returns its answer. A box closed without a button answers
// what the previous box answered. A null Title shows the application title.
int16_t FMsgB(const QString& prompt, int32_t buttons = 0, const QString& Title = QString());

// Fills the box from the style, lays it out and shows it modally; returns when the box is
// hidden again. FMsgB goes through here.
void ImitateMsgboxSub(const QString& prompt, int32_t buttons = 0, const QString& Title = QString());

// The sign picture a style asks for: 0 exclamation mark, 1 question mark, 2 X, 3 i;
// -1 for none. The tests run for 64, 32, 16, 48 and the last one that passes wins, so
// 80 (64 + 16) shows the X and 48 (32 + 16) the exclamation mark.
int SignPictureIndex(int32_t buttons);

// The sizes the box is laid out from, in twips.
struct MsgBoxMetrics {
  bool signVisible = false;
  double signWidth = 0;
  double signHeight = 0;
  double labelWidth = 0;
  double labelHeight = 0;
  double buttonWidth = 0;
  double buttonHeight = 0;
  int16_t count = 1;       // answer buttons shown
  double frameHeight = 0;  // title bar and borders: outer minus inner height
};

// Where everything goes, in twips. Rounded figures round halves to the even neighbour.
struct MsgBoxLayout {
  int32_t margin = 0;
  double signLeft = 0;
  double signTop = 0;
  double labelLeft = 0;
  double labelTop = 0;
  double windowWidth = 0;  // outer
  double innerHeight = 0;
  double windowHeight = 0;  // outer
  int32_t rowTop = 0;
  bool signAbove = false;  // the sign ends above the button row
  int32_t rowWidth = 0;
  int32_t firstLeft = 0;
  std::array<double, 3> buttonLeft{};  // the first count are used
};

MsgBoxLayout LayoutMsgBox(const MsgBoxMetrics& m);

// Test seam (runtime/Seams.h): while a responder is set, FMsgB shows nothing and the
// responder answers in place of the child. It sees the box as asked for; answering 0 is a
// box closed without a button. The pending comment and the explanation flag are used up
// as the box would.
struct FMsgBRequest {
  QString prompt;
  int32_t buttons = 0;
  QString title;
  uint8_t comment = 0;             // MsgComment when the box was asked for
  bool explainButtons = true;      // not NoButtonExplanation
};
void SetFMsgBResponder(std::function<int16_t(const FMsgBRequest&)> responder);
