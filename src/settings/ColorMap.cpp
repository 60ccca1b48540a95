#include "settings/ColorMap.h"

#include <algorithm>

#include "runtime/Numbers.h"
#include "runtime/Random.h"
#include "settings/IniHandler.h"
#include "settings/SettingsState.h"

namespace {

constexpr int16_t kHighestPicture = kBallPictures - 1;

}  // namespace

void BuildColorMap(int16_t ColorChoice, int16_t BallColors, std::vector<int16_t>& Colors,
                   const ColorSources& sources) {
  // A hand-edited negative count has no colours; the map keeps at least its size.
  const size_t entries = static_cast<size_t>(std::max<int>(BallColors, 0)) + 1;
  if (Colors.size() < entries) Colors.resize(entries);
  switch (ColorChoice) {
    case ColorMode::Standard:
      for (int16_t i = 0; i < BallColors; ++i) Colors[i] = i;
      return;
    case ColorMode::Random:
      if (sources.PickRandomColors) sources.PickRandomColors(Colors);
      return;
    case ColorMode::Chosen:
      if (!sources.ChosenColor) return;
      for (int16_t i = 0; i < BallColors; ++i) {
        const int32_t picture = sources.ChosenColor(i + 1);
        Colors[i] = picture < 0 || picture > kHighestPicture ? 0 : static_cast<int16_t>(picture);
      }
      return;
    default:
      return;
  }
}

void BuildSettingsColorMap() {
  const ColorSources sources{PickRandomColors, [](int n) { return int32_t{ReadChosenColor(n)}; }};
  BuildColorMap(ColorChoice, BallColors, Colors, sources);
}

void PickRandomColors(std::vector<int16_t>& Arr) {
  const int colors = std::max<int>(BallColors, 0);
  if (static_cast<int>(Arr.size()) < colors + 1) Arr.resize(colors + 1);
  std::fill(Arr.begin(), Arr.begin() + colors + 1, int16_t{-1});
  // Draws -1 .. the last picture but one as long as those suffice, and rejects -1 and
  // every taken number; one more colour opens up the last picture.
  const int drawn = std::min<int>(colors, kBallPictures);
  const int range = drawn > kHighestPicture ? kBallPictures + 1 : kBallPictures;
  const auto begin = Arr.begin();
  const auto end = Arr.begin() + colors + 1;
  for (int k = 0; k < drawn; ++k) {
    int16_t r = 0;
    do {
      r = static_cast<int16_t>(rt::Int(static_cast<double>(rt::Rnd()) * range) - 1);
    } while (std::find(begin, end, r) != end);
    Arr[k] = r;
  }
  for (int k = drawn; k < colors; ++k) Arr[k] = Arr[k % kBallPictures];
}
