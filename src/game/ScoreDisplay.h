#pragma once
// The figures of the score panel: the highscore and the score as numbers, and a bar under
// each. The longer bar spans the full width in red; the shorter one has the width of its
// share of the longer one and a colour from green (a small share) through yellow to red.
#include <cstdint>
#include <optional>
#include <string>

#include "support/ColorScale.h"

// A score as shown: at least four digits with leading zeros ("0056", "12345").
std::string ScoreText(int32_t score);

struct BarLook {
  // Twips.
  float Width = 0;
  int32_t Color = 0;
};

// What one refresh of the panel changes. Fields left empty keep what the control shows.
struct ScoreView {
  // Both bars are shown while there is a highscore (1 or more), hidden otherwise.
  bool BarsVisible = false;
  // Given only when the highscore is to be refreshed.
  std::optional<std::string> HighscoreText;
  std::string ScoreText;
  // The score bar's width is set on every refresh, to 0 when nothing else applies, so it
  // never keeps a stale width; its colour only when a highscore exists.
  float ScoreBarWidth = 0;
  std::optional<int32_t> ScoreBarColor;
  std::optional<BarLook> HighscoreBar;
};

// The panel for Score against Highscore with bars PercentBarWidth twips long at 100 %.
// With ShowHigh false the highscore number is left alone, and so is the highscore bar
// while the score has not passed the highscore.
ScoreView ComputeScoreView(bool ShowHigh, int32_t Score, int32_t Highscore,
                           int32_t PercentBarWidth);
