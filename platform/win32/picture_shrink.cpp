#include "platform/win32/picture_shrink.h"

#include <algorithm>
#include <cstddef>

namespace win32 {

namespace {

// How much of source pixel `j` new pixel `i` covers, in units of 1/to of a source pixel: new
// pixel i spans [i * from, (i + 1) * from) and source pixel j [j * to, (j + 1) * to).
int Coverage(int i, int j, int from, int to) {
  const int low = std::max(i * from, j * to), high = std::min((i + 1) * from, (j + 1) * to);
  return std::max(0, high - low);
}

int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

}  // namespace

std::vector<uint32_t> ShrinkSquare(const std::vector<uint32_t>& pixels, int from, int to) {
  std::vector<uint32_t> shrunk(static_cast<size_t>(to) * static_cast<size_t>(to));
  // Each new pixel's weights add up to from * from; the sums stay far below 2^31 for the sizes
  // of the program's pictures.
  const int total = from * from;
  for (int y = 0; y < to; ++y) {
    const int first_row = y * from / to, last_row = std::min(from - 1, ((y + 1) * from - 1) / to);
    for (int x = 0; x < to; ++x) {
      const int first_col = x * from / to, last_col = std::min(from - 1, ((x + 1) * from - 1) / to);
      int sums[3] = {0, 0, 0};
      for (int j = first_row; j <= last_row; ++j) {
        const int row_weight = Coverage(y, j, from, to);
        for (int i = first_col; i <= last_col; ++i) {
          const int weight = row_weight * Coverage(x, i, from, to);
          const uint32_t pixel =
              pixels[static_cast<size_t>(j) * static_cast<size_t>(from) + static_cast<size_t>(i)];
          for (int c = 0; c < 3; ++c) sums[c] += weight * Channel(pixel, 16 - 8 * c);
        }
      }
      uint32_t average = 0;
      for (int c = 0; c < 3; ++c)
        average |= static_cast<uint32_t>((sums[c] + total / 2) / total) << (16 - 8 * c);
      shrunk[static_cast<size_t>(y) * static_cast<size_t>(to) + static_cast<size_t>(x)] = average;
    }
  }
  return shrunk;
}

}  // namespace win32
