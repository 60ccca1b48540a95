#pragma once
// The settings state every window shares. ReadSettings fills it once while the main
// window loads; the menus, the options dialog and the game change it directly, and
// SaveSettings writes it back. Flags are plain bools here; the settings file keeps
// them as "TRUE"/"FALSE".
#include <QString>
#include <cstdint>
#include <vector>

// The options dialog may edit the time settings.
extern bool AllowTimeSettingsEdit;
// Number of ball colours in play.
extern int16_t BallColors;
// The number of colours when the settings name none (0).
inline constexpr int16_t kDefaultBallColors = 5;
// Colour mode: 0 standard, 1 random, 2 chosen colours.
extern int16_t ColorChoice;
// Colour map, indices 0 .. BallColors: picture number shown for each colour.
extern std::vector<int16_t> Colors;
// File stem of the ball pictures ("QQ_Balls").
extern QString BallSet;
extern bool SoundOn;
extern bool LearnMode;
extern bool EffectsOn;
extern bool CommentsOn;
extern int32_t Highscore;
// Seconds: longest pause between two actions that still counts as play.
extern float ToleranceTime;
// Seconds: the daily limit; -1 or less means no limit.
extern float RestrictedTime;
inline bool DailyLimitInForce(float Restricted) { return Restricted > -1; }
// Seconds: play time of all days together.
extern float AbsoluteTime;

// The title window is to open as the about box. The main window's info item sets it and
// nothing clears it, so every later opening of that window is the about box.
extern bool InfoMode;

// Puts every variable above back to its value at program start.
void ResetSettingsState();
