#include "playtime/PlayTimeLimit.h"

#include "msgbox/MsgBoxCall.h"
#include "runtime/Clock.h"
#include "runtime/ErrorBox.h"
#include "runtime/MsgBox.h"
#include "runtime/Screen.h"
#include "settings/SettingsState.h"
#include "settings/SpeechTokens.h"
#include "support/MainFunctions.h"

namespace playtime {

namespace {

// The bar's bottom edge stays 8 pixels above its frame's lower edge.
constexpr double kTimeBarBottomGap = 8.0 * rt::Screen::TwipsPerPixelY;

}  // namespace

bool PlayTimeLimit::DayUsedUp() const {
  return DailyLimitInForce(RestrictedTime) && PlayTimeToday_ > RestrictedTime;
}

bool PlayTimeLimit::CountsActivation() const { return RestrictedTime > 0 && PlayTimeToday_ < RestrictedTime; }

void PlayTimeLimit::RefreshPlayTime() {
  if (!CountsPlayTime(RestrictedTime) || TimeLimitReached) return;
  const float now = rt::Timer();
  if (LastTick == -1) {
    LastTick = now;
    host_.SetTimeBarVisible(true);
  }
  const float counted = CountedSeconds(LastTick, now, ToleranceTime);
  PlayTimeToday_ += counted;
  AbsoluteTime += counted;
  ShowTimeBar(PercentLeft(PlayTimeToday_, RestrictedTime));
  ShowTimeLeft();
  LastTick = now;
  if (PlayTimeToday_ > RestrictedTime) WarnLastGameToday();
}

void PlayTimeLimit::ShowTimeBar(float Pct) {
  host_.PaintTimeBar(
      TimeBarFor(Pct, TimeBarHeight, host_.TimeBarShownHeight(), host_.TimeFrameHeight(), kTimeBarBottomGap));
}

void PlayTimeLimit::ShowTimeLeft() {
  host_.SetTimeLeftToolTip(TimeLeftToolTip(PlayTimeToday_, RestrictedTime));
  if (!CountsPlayTime(RestrictedTime)) return;
  host_.SayMinutesLeft(MinutesLeft(PlayTimeToday_, RestrictedTime));
}

// Accounting stops before the notice: a step that arrives during its wait or while its
// box is open must not warn a second time.
void PlayTimeLimit::WarnLastGameToday() {
  TimeLimitReached = true;
  LastGameToday_ = true;
  host_.SetTimeBarVisible(false);
  // With comments on, the spoken warning of the passed limit has just said it.
  if (CommentsOn) return;
  PlayWaveAndWait(QStringLiteral("Timeover"), 0, EffectWait::Timeover);
  NoButtonExplanation = true;
  FMsgB(TimeOverText(RestrictedTime), kNoticeStyle, rt::App::Title);
}

void PlayTimeLimit::EndForToday() {
  host_.ClearBoardForGoodbye();
  // The limit passed during this run: the end of the last game says goodbye itself.
  if (TimeLimitReached) return;
  NoButtonExplanation = true;
  MsgComment = SpeechToken::TimeIsUp;
  FMsgB(GoodbyeText(), kNoticeStyle, rt::App::Title);
  rt::EndProcess();
}

}  // namespace playtime
