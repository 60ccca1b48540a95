#pragma once
// The day's play time: counted at the player's actions with a tolerance for pauses,
// shown as the time bar and its tooltip, announced in minutes, the running game made
// the day's last once the limit passes, and the goodbye on a day whose time is used up.
// The window the game is played in lends its time bar, its board and the spoken
// comments through PlayTimeHost.
#include <QString>
#include <cstdint>

#include "playtime/PlayTime.h"

namespace playtime {

class PlayTimeHost {
 public:
  virtual ~PlayTimeHost() = default;
  // The time bar's current height and the height of the frame it stands in, in twips.
  virtual double TimeBarShownHeight() const = 0;
  virtual double TimeFrameHeight() const = 0;
  virtual void SetTimeBarVisible(bool visible) = 0;
  // Colours and repaints the bar; a visible look also sets its height and top, an
  // invisible one hides it.
  virtual void PaintTimeBar(const TimeBarLook& look) = 0;
  virtual void SetTimeLeftToolTip(const QString& text) = 0;
  // Asks for the spoken warning of the whole minutes left (-1: the limit is passed).
  virtual void SayMinutesLeft(int32_t minutes) = 0;
  // Takes every ball off the board with the removal animation, the title window first.
  virtual void ClearBoardForGoodbye() = 0;
};

class PlayTimeLimit {
 public:
  explicit PlayTimeLimit(PlayTimeHost& host) : host_(host) {}
  PlayTimeLimit(const PlayTimeLimit&) = delete;
  PlayTimeLimit& operator=(const PlayTimeLimit&) = delete;

  // The next accounting step is the run's first: it counts nothing and shows the bar.
  void ResetTick() { LastTick = -1; }
  // The bar's full height in twips, as laid out.
  void SetTimeBarHeight(int32_t height) { TimeBarHeight = height; }
  int32_t TimeBarFullHeight() const { return TimeBarHeight; }

  // Seconds played today.
  float PlayTimeToday() const { return PlayTimeToday_; }
  void SetPlayTimeToday(float seconds) { PlayTimeToday_ = seconds; }
  // The running game is the day's last.
  bool LastGameToday() const { return LastGameToday_; }
  // The program starts on a day whose play time is already used up.
  bool DayUsedUp() const;
  // An activation of the window is an accounting step: a positive limit not yet reached.
  bool CountsActivation() const;

  // One accounting step: the pause since the last one counts while it is no longer than
  // the tolerance; the bar, the tooltip and the minute warnings follow, and passing the
  // limit makes the running game the day's last. Nothing happens without a limit, or
  // once the limit has passed in this run.
  void RefreshPlayTime();
  // Refreshes the tooltip and asks for the warning of the minutes left.
  void ShowTimeLeft();
  // Clears the board; unless the limit passed during this run (then the end of the last
  // game says goodbye itself), the goodbye box follows and the process ends.
  void EndForToday();

 private:
  void ShowTimeBar(float Pct);
  void WarnLastGameToday();

  PlayTimeHost& host_;
  float PlayTimeToday_ = 0;
  // Clock value of the last accounting step; -1 before the first.
  float LastTick = -1;
  int32_t TimeBarHeight = 0;
  // The limit has passed during this run: accounting has stopped.
  bool TimeLimitReached = false;
  bool LastGameToday_ = false;
};

}  // namespace playtime
