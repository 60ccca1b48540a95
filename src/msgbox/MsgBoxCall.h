#pragma once
// The game's own message box, called like the system's: prompt, style flags, title; the
// answer code comes back (1 OK, 2 Abbrechen, 4 Wiederholen, 5 Ignorieren, 6 Ja, 7 Nein).
#include <QString>
#include <cstdint>

// The answer of the last box answered by a button; 0 until the first.
extern int16_t MsgAnswer;
// The style flags of the box being shown.
extern int32_t MsgStyle;
// A speech token to speak when the box paints, 0 for none; the box clears it.
extern uint8_t MsgComment;
// Skip the spoken explanation of the buttons for the next box; the box clears it.
extern bool NoButtonExplanation;

int16_t FMsgB(const QString& prompt, int32_t buttons = 0, const QString& Title = QString());
