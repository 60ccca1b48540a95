#pragma once
// The colour map: Colors(i) is the number of the ball picture that shows colour i. The
// settings load builds it, and the deal builds it anew the same way before every board.
#include <cstdint>
#include <functional>
#include <vector>

// Where the colour map's picture numbers come from in the random and the chosen mode.
struct ColorSources {
  // Fills Colors(0 .. BallColors - 1) with distinct random picture numbers.
  std::function<void(std::vector<int16_t>& Colors)> PickRandomColors;
  // Picture number chosen for colour n (1-based, the settings key "CHOOSECOLOR"n in
  // section "COLORS"), already rounded; 0 when the key is missing.
  std::function<int32_t(int n)> ChosenColor;
};

// Builds the colour map Colors(i) = picture number of colour i by ColorChoice: 0 standard
// (picture i), 1 random, 2 chosen in the settings; any other mode, or a mode whose source
// is not given, leaves the map as it is.
// Colors is grown to BallColors + 1 entries when shorter. Chosen picture numbers outside
// the pictures 0 .. 10 that exist become 0, so a hand-edited key cannot ask for a file
// that is not there.
void BuildColorMap(int16_t ColorChoice, int16_t BallColors, std::vector<int16_t>& Colors,
                   const ColorSources& sources);

// Builds the map of the settings state (Colors by ColorChoice and BallColors) from
// PickRandomColors and the chosen colours of the settings file.
void BuildSettingsColorMap();

// Fills Arr(0) .. Arr(BallColors - 1) with distinct random picture numbers 0 .. 9 and
// sets Arr(BallColors) to -1; Arr grows to BallColors + 1 entries when shorter.
// Picture 10 is drawn only when more than ten colours are in play. With more colours
// than the eleven pictures, the colours beyond the eleventh repeat the drawn pictures
// in order, so the draw always ends.
void PickRandomColors(std::vector<int16_t>& Arr);
