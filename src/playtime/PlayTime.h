#pragma once
// The day's play-time limit as plain values: how much of a pause between two of the
// player's actions counts, what the time bar and its tooltip show, which minute warning
// is due and the texts of the time-over and goodbye boxes. PlayTimeLimit reads the
// clock and keeps the totals, the main window moves the controls; nothing here touches
// a widget or the clock, so every rule can be checked without a window.
#include <QString>
#include <cstdint>

namespace playtime {

// Play time is counted, and warned about, only while a limit is in force and it is not 0:
// a limit set to 0 in the options dialog switches the counting off for the rest of the run.
bool CountsPlayTime(float RestrictedTime);

// Seconds one accounting step adds: the pause since the last step (LastTick, Now in
// seconds since midnight) when it is no longer than ToleranceTime, nothing at all for a
// longer pause. The clock starts again at 0 at midnight, so a reading below LastTick is
// taken as a pause across midnight; the result is never negative.
float CountedSeconds(float LastTick, float Now, float ToleranceTime);

// Share of the limit still left, percent; negative once the limit is passed.
float PercentLeft(float PlayTimeToday, float RestrictedTime);

// How the time bar looks after a step, in twips of its frame.
struct TimeBarLook {
  bool Visible = true;
  double Height = 0;
  double Top = 0;
  int32_t FillColor = 0;
};

// The bar for Pct percent left: its height is that share of FullHeight, standing on a
// bottom edge BottomGap above the frame's lower edge (FrameHeight), its colour from the
// score panel's red-yellow-green scale. A share of 0 or less keeps the current height
// (the bar vanishes with the last game's warning instead) unless nothing of it would be
// left. Shares beyond 0..100 (a limit between -1 and 0 or an extreme tolerance from a
// hand-edited settings file) show as the nearest end of the scale, so the bar never
// outgrows its frame and the colour never leaves red..green.
TimeBarLook TimeBarFor(float Pct, int32_t FullHeight, double CurrentHeight, double FrameHeight,
                       double BottomGap);

// Whole minutes left while the limit holds (PlayTimeToday up to RestrictedTime), -1 once
// it is passed: the value the spoken warnings go by.
int32_t MinutesLeft(float PlayTimeToday, float RestrictedTime);

// "Restzeit ca:  12 von  30 min."
QString TimeLeftToolTip(float PlayTimeToday, float RestrictedTime);

// The box when the limit passes during a game and comments are off.
QString TimeOverText(float RestrictedTime);

// The box when the program starts on a day whose time is used up.
QString GoodbyeText();

}  // namespace playtime
