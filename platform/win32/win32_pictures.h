// The tick and cross pictures, decoded from the program's resources and composed over the
// button face; composed again when the system colours change.
#pragma once

#include <windows.h>

#include "platform/toolkit.h"

namespace win32 {

constexpr int kPicturePixels = 32;

// A 32 x 32 bitmap of the picture over the button-face colour, or null for Picture::None or a
// picture that could not be decoded. The bitmap lives until the pictures are composed again.
HBITMAP PictureBitmap(platform::toolkit::Picture picture);

// Drops the composed bitmaps, so that the next use composes them over the current button face.
void RecomposePictures();

}  // namespace win32
