#pragma once
// The game's own message box, called like the system's: prompt, style flags, title; the
// answer code comes back (1 OK, 2 Abbrechen, 4 Wiederholen, 5 Ignorieren, 6 Ja, 7 Nein).
// Style = button set (0..5) + sign (16 X, 32 question mark, 48 exclamation mark, 64 i) +
// focus (256 second button, 512 third button). The box shows picture buttons; its
// prompt and the meaning of its buttons are spoken through the main window.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

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

// The larger and the smaller of two numbers; on a tie both give b.
template <class A, class B>
auto MaxOf(A a, B b) {
  return a > b ? a : b;
}
template <class A, class B>
auto MinOf(A a, B b) {
  return a < b ? a : b;
}

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
