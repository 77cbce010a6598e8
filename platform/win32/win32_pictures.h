// The tick and cross pictures, decoded once from the program's resources.
#pragma once

#include <windows.h>

#include "platform/toolkit.h"

namespace win32 {

constexpr int kPicturePixels = 32;

// A 32 x 32 bitmap of the picture over the button-face colour, or null for Picture::None or a
// picture that could not be decoded. The bitmap lives as long as the process.
HBITMAP PictureBitmap(platform::toolkit::Picture picture);

}  // namespace win32
