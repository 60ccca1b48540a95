#include <gtest/gtest.h>

#include "game/ScoreDisplay.h"

namespace {
int32_t Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }
}  // namespace

TEST(ColorForPercent, RedYellowGreenScale) {
  const struct { float pct; int32_t value; } cases[] = {
      {-20, 255},   {0, 255},     {5, 6911},    {25, 33023},  {45, 58879},
      {50, 65535},  {55, 65509},  {75, 65407},  {90, 65331},  {100, 65280}};
  for (const auto& c : cases) EXPECT_EQ(ColorForPercent(c.pct), c.value) << c.pct;
}

TEST(ScoreText, AtLeastFourDigits) {
  const struct { int32_t score; const char* text; } cases[] = {
      {0, "0000"}, {56, "0056"}, {1234, "1234"}, {12345, "12345"}};
  for (const auto& c : cases) EXPECT_EQ(ScoreText(c.score), c.text) << c.score;
}

TEST(ScoreView, BarsShowTheShareOfTheLongerOne) {
  const int32_t full = 4065;
  const struct { int32_t high, score; float scoreWidth; int32_t scoreColor; std::optional<BarLook> highBar; } cases[] = {
      {500, 0, 0, Rgb(0, 255, 0), BarLook{4065, 255}},
      {500, 125, 1016.25f, Rgb(127, 255, 0), BarLook{4065, 255}},
      {500, 250, 2032.5f, Rgb(255, 255, 0), BarLook{4065, 255}},
      {500, 375, 3048.75f, Rgb(255, 128, 0), BarLook{4065, 255}},
      {500, 500, 4065, Rgb(255, 0, 0), BarLook{4065, 255}},
      {400, 500, 4065, Rgb(255, 0, 0), BarLook{3252, Rgb(255, 102, 0)}},
      {100, 1000, 4065, Rgb(255, 0, 0), BarLook{406.5f, Rgb(51, 255, 0)}},
  };
  for (const auto& c : cases) {
    const ScoreView view = ComputeScoreView(true, c.score, c.high, full);
    EXPECT_TRUE(view.BarsVisible);
    EXPECT_NEAR(view.ScoreBarWidth, c.scoreWidth, 0.01) << c.high << "/" << c.score;
    EXPECT_EQ(view.ScoreBarColor, c.scoreColor) << c.high << "/" << c.score;
    ASSERT_TRUE(view.HighscoreBar.has_value());
    EXPECT_NEAR(view.HighscoreBar->Width, c.highBar->Width, 0.01) << c.high << "/" << c.score;
    EXPECT_EQ(view.HighscoreBar->Color, c.highBar->Color) << c.high << "/" << c.score;
  }
}

TEST(ScoreView, HighscoreRowIsRefreshedOnlyWhenAskedOrPassed) {
  const ScoreView none = ComputeScoreView(true, 56, 0, 4065);
  EXPECT_FALSE(none.BarsVisible);
  EXPECT_EQ(none.HighscoreText, "0000");
  EXPECT_EQ(none.ScoreText, "0056");
  EXPECT_EQ(none.ScoreBarWidth, 0);
  EXPECT_FALSE(none.ScoreBarColor.has_value());

  const ScoreView quiet = ComputeScoreView(false, 56, 1234, 4065);
  EXPECT_FALSE(quiet.HighscoreText.has_value());
  EXPECT_FALSE(quiet.HighscoreBar.has_value()) << "below the highscore its bar is left alone";

  const ScoreView passed = ComputeScoreView(false, 1300, 1234, 4065);
  ASSERT_TRUE(passed.HighscoreBar.has_value()) << "a passed highscore's bar shrinks on every move";
  EXPECT_LT(passed.HighscoreBar->Width, 4065);
}
