#include "settings/SettingsState.h"

bool AllowTimeSettingsEdit = false;
int16_t BallColors = 0;
int16_t ColorChoice = 0;
std::vector<int16_t> Colors;
QString BallSet;
bool SoundOn = false;
bool LearnMode = false;
bool EffectsOn = false;
bool CommentsOn = false;
int32_t Highscore = 0;
float ToleranceTime = 0;
float RestrictedTime = 0;
float AbsoluteTime = 0;
bool InfoMode = false;

void ResetSettingsState() {
  AllowTimeSettingsEdit = false;
  BallColors = 0;
  ColorChoice = 0;
  Colors.clear();
  BallSet.clear();
  SoundOn = false;
  LearnMode = false;
  EffectsOn = false;
  CommentsOn = false;
  Highscore = 0;
  ToleranceTime = 0;
  RestrictedTime = 0;
  AbsoluteTime = 0;
  InfoMode = false;
}
