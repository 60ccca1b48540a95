#include "playtime/PlayTime.h"

#include <algorithm>

#include "msgbox/MsgBoxCall.h"
#include "settings/SettingsState.h"
#include "runtime/Numbers.h"
#include "runtime/Screen.h"
#include "support/ColorScale.h"

namespace playtime {

namespace {
constexpr float kSecondsPerDay = 86400.0f;
constexpr float kSecondsPerMinute = 60.0f;

// Whole minutes of a number of seconds, rounded down.
float WholeMinutes(float seconds) { return static_cast<float>(rt::Int(seconds / kSecondsPerMinute)); }
}  // namespace

bool CountsPlayTime(float RestrictedTime) { return DailyLimitInForce(RestrictedTime) && RestrictedTime != 0; }

float CountedSeconds(float LastTick, float Now, float ToleranceTime) {
  float pause = Now - LastTick;
  if (pause < 0) pause += kSecondsPerDay;
  return pause <= ToleranceTime ? pause : 0.0f;
}

float PercentLeft(float PlayTimeToday, float RestrictedTime) {
  return 100.0f - PlayTimeToday * 100.0f / RestrictedTime;
}

TimeBarLook TimeBarFor(float Pct, int32_t FullHeight, double CurrentHeight, double FrameHeight,
                       double BottomGap) {
  const float shown = std::clamp(Pct, 0.0f, 100.0f);
  TimeBarLook look;
  look.FillColor = ColorForPercent(shown);
  const double height = shown / 100.0 * FullHeight;
  if (CurrentHeight + height <= 0) {
    look.Visible = false;
    look.Height = CurrentHeight;
  } else {
    look.Height = height > 0 ? height : CurrentHeight;
  }
  look.Top = FrameHeight - look.Height - BottomGap;
  return look;
}

int32_t MinutesLeft(float PlayTimeToday, float RestrictedTime) {
  if (PlayTimeToday > RestrictedTime) return -1;
  return rt::ClampCLng(WholeMinutes(RestrictedTime - PlayTimeToday));
}

QString TimeLeftToolTip(float PlayTimeToday, float RestrictedTime) {
  return QStringLiteral("Restzeit ca: ") + rt::Str(WholeMinutes(RestrictedTime - PlayTimeToday)) +
         QStringLiteral(" von ") + rt::Str(WholeMinutes(RestrictedTime)) + QStringLiteral(" min.");
}

QString TimeOverText(float RestrictedTime) {
  return QStringLiteral("Spielzeit ist bereits größer als ") + rt::Str(WholeMinutes(RestrictedTime)) +
         QStringLiteral(" Minuten!") + kCR + QStringLiteral("Dies ist das letzte Spiel für heute!");
}

QString GoodbyeText() {
  return QStringLiteral("Heutige Spielzeit ist bereits überschritten!") + kCR + rt::App::Title +
         QStringLiteral(" verabschiedet sich für heute ...");
}

}  // namespace playtime
