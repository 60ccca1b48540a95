#pragma once
// The colour map: Colors(i) is the number of the ball picture that shows colour i. The
// settings load builds it, and the deal builds it anew the same way before every board.
#include <cstdint>
#include <functional>
#include <vector>

// The ball pictures of a set are numbered 0 .. kBallPictures - 1.
inline constexpr int16_t kBallPictures = 11;

// How the colour map is made (ColorChoice, and the index of the options dialog's mode
// buttons).
namespace ColorMode {
inline constexpr int16_t Standard = 0;  // colour i shows picture i
inline constexpr int16_t Random = 1;
inline constexpr int16_t Chosen = 2;  // the pictures chosen in the settings file
}  // namespace ColorMode

// Where the colour map's picture numbers come from in the random and the chosen mode.
struct ColorSources {
  // Fills Colors(0 .. BallColors - 1) with distinct random picture numbers.
  std::function<void(std::vector<int16_t>& Colors)> PickRandomColors;
  // Picture number chosen for colour n (1-based, the settings key "CHOOSECOLOR"n in
  // section "COLORS"), already rounded; 0 when the key is missing.
  std::function<int32_t(int n)> ChosenColor;
};

// Builds the colour map Colors(i) = picture number of colour i by ColorChoice, a
// ColorMode; any other mode, or a mode whose source is not given, leaves the map as it is.
// Colors is grown to BallColors + 1 entries when shorter. Chosen picture numbers outside
// the pictures that exist become 0, so a hand-edited key cannot ask for a file that is
// not there.
void BuildColorMap(int16_t ColorChoice, int16_t BallColors, std::vector<int16_t>& Colors,
                   const ColorSources& sources);

// Builds the map of the settings state (Colors by ColorChoice and BallColors) from
// PickRandomColors and the chosen colours of the settings file.
void BuildSettingsColorMap();

// Fills Arr(0) .. Arr(BallColors - 1) with distinct random picture numbers and sets
// Arr(BallColors) to -1; Arr grows to BallColors + 1 entries when shorter. The last
// picture is drawn only when every other one is taken. With more colours than pictures,
// the colours beyond the last picture repeat the drawn pictures in order, so the draw
// always ends.
void PickRandomColors(std::vector<int16_t>& Arr);
