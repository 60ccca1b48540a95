#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "runtime/Random.h"
#include "settings/ColorMap.h"
#include "settings/SettingsState.h"
#include "settings/Tokens.h"

TEST(Tokens, StrReplace) {
  const struct { const char* src; const char* find; const char* repl; const char* out; } cases[] = {
      {"a&b&&c", "&", "", "abc"}, {"abc", "", "x", ""},      {"", "a", "x", ""},
      {"aaa", "a", "aa", "aaaaaa"}, {"&Ja", "&", "", "Ja"},  {"abab", "ab", "b", "bb"},
      {"xyz", "q", "r", "xyz"},
  };
  for (const auto& c : cases) EXPECT_EQ(StrReplace(c.src, c.find, c.repl), c.out) << c.src << " " << c.find;
}

TEST(Tokens, CountTokens) {
  const struct { const char* text; const char* delim; int out; } cases[] = {
      {"sprg,svaA", ",", 2}, {"", ",", 1},   {"a,,,b", ",", 2}, {",3,1", ",", 3},
      {"a,b,", ",", 3},      {"abc", ",", 1}, {"abc", "", 1},   {"  ", " ", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(CountTokens(c.text, c.delim), c.out) << c.text;
}

TEST(Tokens, GetToken) {
  const struct { const char* text; const char* delim; int16_t index; const char* out; } cases[] = {
      {"a,b,c", ",", 2, "b"},  {"a,b,c", ",", 0, "c"},   {"a,b,c", ",", 4, ""},
      {"a,b,c", ",", -1, "a"}, {"a,,b", ",", 2, "b"},     {",a", ",", 1, ""},
      {"a,b,", ",", 3, ""},    {"abc", ",", 1, "abc"},    {"abc", ",", 2, ""},
      {"abc", ",", 0, "abc"},  {"SayComment 28", " ", 2, "28"}, {"   ", " ", 2, ""},
      {"SLIP", " ", 0, "SLIP"}, {"", ",", 0, ""},         {"a,b", "", 1, "a,b"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetToken(c.text, c.delim, c.index), c.out) << c.text << " #" << c.index;
}

TEST(RandomColors, DistinctPicturesEndingWithMinusOne) {
  const struct { int16_t colors; int pictures; } cases[] = {{0, 10}, {1, 10}, {5, 10}, {10, 10}, {11, 11}, {14, 11}};
  for (const auto& c : cases) {
    for (uint64_t seed = 1; seed <= 20; ++seed) {
      rt::SeedRandom(seed);
      BallColors = c.colors;
      std::vector<int16_t> map(c.colors + 1, 7);
      PickRandomColors(map);
      ASSERT_EQ(map.size(), size_t(c.colors) + 1);
      EXPECT_EQ(map[c.colors], -1) << c.colors;
      const int distinct = std::min<int>(c.colors, c.pictures);
      const std::set<int16_t> drawn(map.begin(), map.begin() + distinct);
      EXPECT_EQ(int(drawn.size()), distinct) << c.colors;
      for (int16_t p : drawn) EXPECT_TRUE(p >= 0 && p < c.pictures) << c.colors << ": " << p;
      for (int k = distinct; k < c.colors; ++k) EXPECT_EQ(map[k], map[k % 11]) << c.colors;
    }
  }
}

TEST(RandomColors, GrowsAShortMapAndIgnoresNegativeCounts) {
  rt::SeedRandom(3);
  BallColors = 5;
  std::vector<int16_t> map;
  PickRandomColors(map);
  EXPECT_EQ(map.size(), 6u);
  BallColors = -2;
  map.assign(1, 4);
  PickRandomColors(map);
  EXPECT_EQ(map, std::vector<int16_t>{-1});
}
