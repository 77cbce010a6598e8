// A decoder for the still GIF pictures the program carries: the first image of a GIF87a or
// GIF89a file, with its transparent colour, interlaced or not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace gif {

struct GifImage {
  int width = 0;
  int height = 0;
  // Row by row from the top, 0xAARRGGBB: alpha 0xFF where the picture has a colour, 0 where it
  // is transparent or the image does not cover the screen.
  std::vector<uint32_t> pixels;
};

constexpr uint32_t kGifOpaque = 0xFF000000;

// The largest screen accepted, in pixels along each side.
constexpr int kGifMaxSide = 1024;

// The picture, or nothing when the bytes are not a whole, well-formed GIF image.
std::optional<GifImage> DecodeGif(const uint8_t* data, size_t size);

}  // namespace gif
