// The fuzz target of the GIF decoder: any bytes give either nothing or a whole picture of the
// size it claims, and never a read or write outside the buffers.
#include <cstdio>
#include <cstdlib>

#include "platform/gif/gif_image.h"

namespace {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "gif_fuzzer: %s does not hold\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<gif::GifImage> image = gif::DecodeGif(data, size);
  if (!image) return 0;
  Require(image->width >= 1 && image->width <= gif::kGifMaxSide, "the width is in range");
  Require(image->height >= 1 && image->height <= gif::kGifMaxSide, "the height is in range");
  Require(image->pixels.size() == size_t(image->width) * size_t(image->height),
          "there is one pixel for each place on the screen");
  for (uint32_t pixel : image->pixels) {
    const uint32_t alpha = pixel & gif::kGifOpaque;
    Require(alpha == 0 ? pixel == 0 : alpha == gif::kGifOpaque, "pixels are clear or opaque");
  }
  return 0;
}
