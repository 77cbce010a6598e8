// The tick and cross pictures, decoded from the program's resources and composed over the
// button face at the size the screen's dpi asks for; composed again when the system colours
// change.
#pragma once

#include <windows.h>

#include "platform/toolkit.h"

namespace win32 {

// The side in pixels of the pictures at 96 dpi, where they fill their boxes inside the border.
constexpr int kPictureSideAt96Dpi = 32;

// The sides in pixels at which the program keeps each picture, smallest first: resources
// "CROSS<side>" and "TICK<side>".
inline constexpr int kPictureSides[] = {32, 40, 48, 56, 64, 80, 96, 128};

// The side of the pictures on a screen of `dpi` logical pixels per inch: 32 at 96 dpi, so that
// they scale with the boxes that show them.
int PictureSide(int dpi);

// The kept side a picture of `side` is made from: the smallest one at least that big, since a
// picture is shrunk and never enlarged; the largest when none is.
int KeptSideFor(int side);

// A picture composed over the button face, `side` pixels square.
struct ComposedPicture {
  HBITMAP bitmap = nullptr;
  int side = 0;
};

// The picture at `side` pixels, or at the largest kept side when `side` is larger still; a null
// bitmap for Picture::None or a picture that could not be decoded. The bitmap lives until the
// pictures are composed again, or composed at another side.
ComposedPicture PictureBitmap(platform::toolkit::Picture picture, int side);

// Drops the composed bitmaps, so that the next use composes them over the current button face.
void RecomposePictures();

}  // namespace win32
