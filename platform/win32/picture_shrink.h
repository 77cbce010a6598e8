// Shrinking a square picture: for a screen whose size for the tick and the cross lies between
// the sizes the program keeps, the next larger one is reduced.
#pragma once

#include <cstdint>
#include <vector>

namespace win32 {

// `pixels`, `from` x `from` of 0x00RRGGBB row by row, reduced to `to` x `to` (0 < to <= from).
// Each new pixel is the average of the area it covers, so that no one-pixel line of the larger
// picture drops out, as it would if whole rows and columns were skipped.
std::vector<uint32_t> ShrinkSquare(const std::vector<uint32_t>& pixels, int from, int to);

}  // namespace win32
