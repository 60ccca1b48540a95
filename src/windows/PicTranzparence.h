#pragma once
// Ball pictures shaped to the ball: every pixel of the colour of the picture's top-left
// pixel is cut away, so that a picture box shows the ball alone over the window behind
// it and takes the mouse only on the ball.
#include <QRegion>

namespace rt {
class PictureBox;
}

// The outline of what Pic shows, in pixels of the box: one rectangle per run of pixels
// in a row whose colour differs, in any bit, from the top-left pixel's.
QRegion RegionFromPicture(const rt::PictureBox& Pic);

// Shows Pic without a border at the size of its picture, at its former place, drawn and
// hit only inside the outline of its picture.
void MakePictureTransparent(rt::PictureBox& Pic);
