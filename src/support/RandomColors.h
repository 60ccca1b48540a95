#pragma once
// The colour map of the random colour mode.
#include <cstdint>
#include <vector>

// Fills Arr(0) .. Arr(BallColors - 1) with distinct random picture numbers 0 .. 9 and
// sets Arr(BallColors) to -1; Arr grows to BallColors + 1 entries when shorter.
// Picture 10 is drawn only when more than ten colours are in play. With more colours
// than the eleven pictures, the colours beyond the eleventh repeat the drawn pictures
// in order, so the draw always ends.
void PickRandomColors(std::vector<int16_t>& Arr);
