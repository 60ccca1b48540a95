#include "game/ScoreDisplay.h"

#include <cstdio>

std::string ScoreText(int32_t score) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", score);
  return text;
}

namespace {

// Share of part in whole, percent: the product in whole integers, the division in double,
// the result held as a float.
float Percent(int32_t part, int32_t whole) {
  return static_cast<float>(static_cast<double>(int64_t{part} * 100) / whole);
}

float BarWidth(float pct, int32_t PercentBarWidth) {
  return static_cast<float>(static_cast<double>(pct / 100) * PercentBarWidth);
}

}  // namespace

ScoreView ComputeScoreView(bool ShowHigh, int32_t Score, int32_t Highscore,
                           int32_t PercentBarWidth) {
  ScoreView view;
  view.BarsVisible = Highscore >= 1;
  const BarLook fullRed{static_cast<float>(PercentBarWidth), ColorForPercent(0)};
  if (ShowHigh) {
    view.HighscoreText = ScoreText(Highscore);
    if (Highscore >= Score) view.HighscoreBar = fullRed;
  }
  view.ScoreText = ScoreText(Score);
  if (!view.BarsVisible) return view;
  if (Highscore >= Score) {
    const float pct = Percent(Score, Highscore);
    view.ScoreBarColor = ColorForPercent(100 - pct);
    view.ScoreBarWidth = BarWidth(pct, PercentBarWidth);
    return view;
  }
  const float pct = Percent(Highscore, Score);
  view.ScoreBarColor = fullRed.Color;
  view.ScoreBarWidth = fullRed.Width;
  view.HighscoreBar = BarLook{BarWidth(pct, PercentBarWidth), ColorForPercent(100 - pct)};
  return view;
}
