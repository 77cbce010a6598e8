#include "platform/gif/gif_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using gif::DecodeGif;
using gif::GifImage;
using gif::kGifOpaque;

Bytes ReadResource(const std::string& name) {
  std::ifstream file(std::string(SONDREL_RESOURCES_DIR) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::optional<GifImage> Decode(const Bytes& bytes) { return DecodeGif(bytes.data(), bytes.size()); }

// Variable-width codes, least significant bit first.
class CodeWriter {
 public:
  void Put(int code, int width) {
    held_ |= uint64_t(code) << held_bits_;
    for (held_bits_ += width; held_bits_ >= 8; held_bits_ -= 8, held_ >>= 8)
      bytes_.push_back(uint8_t(held_));
  }
  Bytes Finish() {
    if (held_bits_ > 0) bytes_.push_back(uint8_t(held_));
    return bytes_;
  }

 private:
  Bytes bytes_;
  uint64_t held_ = 0;
  int held_bits_ = 0;
};

int BitLength(int value) {
  int bits = 0;
  for (; value > 0; value >>= 1) ++bits;
  return bits;
}

// A straightforward LZW encoder. `restart_when_full` false keeps coding with the full table
// instead of sending a clear code, which decoders must also accept.
Bytes LzwEncode(const Bytes& indexes, int min_code_size, bool restart_when_full) {
  const int clear = 1 << min_code_size, end = clear + 1;
  std::map<std::pair<int, int>, int> table;
  int next = end + 1;
  CodeWriter out;
  auto put = [&](int code) {
    out.Put(code, std::min(12, std::max(min_code_size + 1, BitLength(next - 1))));
  };
  put(clear);
  int current = indexes.at(0);
  for (size_t at = 1; at < indexes.size(); ++at) {
    const int index = indexes[at];
    if (auto found = table.find({current, index}); found != table.end()) {
      current = found->second;
      continue;
    }
    put(current);
    if (next < 4096) {
      table[{current, index}] = next++;
    } else if (restart_when_full) {
      put(clear);
      table.clear();
      next = end + 1;
    }
    current = index;
  }
  put(current);
  put(end);
  return out.Finish();
}

struct Frame {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  std::vector<uint32_t> local_table;  // 0xRRGGBB
  Bytes codes;                        // LZW data, already coded
};

void PutU16(Bytes& out, int value) {
  out.push_back(uint8_t(value & 0xFF));
  out.push_back(uint8_t(value >> 8));
}

void PutTable(Bytes& out, const std::vector<uint32_t>& table) {
  for (uint32_t rgb : table) {
    out.push_back(uint8_t(rgb >> 16));
    out.push_back(uint8_t(rgb >> 8));
    out.push_back(uint8_t(rgb));
  }
}

// Table sizes must be powers of two from 2 to 256.
uint8_t TableBits(const std::vector<uint32_t>& table) {
  return table.empty() ? 0 : uint8_t(0x80 | (BitLength(int(table.size())) - 2));
}

struct GifFile {
  int width = 0, height = 0;
  std::vector<uint32_t> global_table;
  int transparent = -1;
  int min_code_size = 2;
  Frame frame;

  Bytes Build() const {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    PutU16(out, width);
    PutU16(out, height);
    out.push_back(TableBits(global_table));
    out.push_back(0);
    out.push_back(0);
    PutTable(out, global_table);
    if (transparent >= 0) {
      out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, uint8_t(transparent), 0});
    }
    out.insert(out.end(), {0x21, 0xFE, 3, 'h', 'i', '!', 0});  // a comment, skipped
    out.push_back(0x2C);
    PutU16(out, frame.left);
    PutU16(out, frame.top);
    PutU16(out, frame.width);
    PutU16(out, frame.height);
    out.push_back(uint8_t(TableBits(frame.local_table) | (frame.interlaced ? 0x40 : 0)));
    PutTable(out, frame.local_table);
    out.push_back(uint8_t(min_code_size));
    for (size_t at = 0; at < frame.codes.size(); at += 255) {
      const size_t length = std::min<size_t>(255, frame.codes.size() - at);
      out.push_back(uint8_t(length));
      out.insert(out.end(), frame.codes.begin() + long(at),
                 frame.codes.begin() + long(at + length));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
  }
};

const std::vector<uint32_t> kFourColours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

GifFile FourColourFile(int width, int height, const Bytes& indexes) {
  GifFile file;
  file.width = width;
  file.height = height;
  file.global_table = kFourColours;
  file.frame.width = width;
  file.frame.height = height;
  file.frame.codes = LzwEncode(indexes, 2, true);
  return file;
}

uint32_t Opaque(uint32_t rgb) { return kGifOpaque | rgb; }

struct Tally {
  int transparent = 0, green = 0, red = 0, grey = 0;
};

Tally Count(const GifImage& image) {
  Tally tally;
  for (uint32_t pixel : image.pixels) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    if ((pixel & kGifOpaque) == 0)
      ++tally.transparent;
    else if (g > r + 40 && g > b + 40)
      ++tally.green;
    else if (r > g + 40 && r > b + 40)
      ++tally.red;
    else if (r == g && g == b)
      ++tally.grey;
  }
  return tally;
}

TEST(GifImage, ShippedPicturesDecodeToTransparentThirtyTwoPixelMarks) {
  struct Case {
    const char* file;
    bool green;
  };
  for (const Case& c : {Case{"tick.gif", true}, Case{"cross.gif", false}}) {
    SCOPED_TRACE(c.file);
    const Bytes bytes = ReadResource(c.file);
    ASSERT_FALSE(bytes.empty());
    const auto image = Decode(bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
    ASSERT_EQ(image->pixels.size(), 32u * 32u);
    for (size_t corner : {size_t{0}, size_t{31}, size_t{31 * 32}, size_t{32 * 32 - 1}})
      EXPECT_EQ(image->pixels[corner] & kGifOpaque, 0u) << "corner " << corner;
    const Tally tally = Count(*image);
    EXPECT_GT(tally.transparent, 100);
    EXPECT_GT(c.green ? tally.green : tally.red, 100);
    EXPECT_EQ(c.green ? tally.red : tally.green, 0);
  }
}

TEST(GifImage, EveryTruncationOfAPictureFailsOrGivesTheWholePicture) {
  const Bytes bytes = ReadResource("tick.gif");
  const auto whole = Decode(bytes);
  ASSERT_TRUE(whole);
  int decoded = 0;
  for (size_t size = 0; size < bytes.size(); ++size) {
    const auto part = DecodeGif(bytes.data(), size);
    if (!part) continue;
    ++decoded;
    EXPECT_EQ(part->pixels, whole->pixels) << "first " << size << " bytes";
  }
  // Only the trailer may be missing.
  EXPECT_EQ(decoded, 1);
}

TEST(GifImage, RandomPicturesSurviveARoundTripThroughLongCodes) {
  std::mt19937 random(7);
  for (bool restart : {true, false}) {
    for (int colours : {2, 16, 256}) {
      SCOPED_TRACE(std::to_string(colours) +
                   (restart ? " colours, restarting" : " colours, full table"));
      const int width = 150, height = 120;
      Bytes indexes(size_t(width) * height);
      // Runs of one colour mixed with noise, so codes both grow long and fill the table.
      for (size_t at = 0; at < indexes.size(); ++at)
        indexes[at] =
            at > 0 && random() % 3 != 0 ? indexes[at - 1] : uint8_t(random() % unsigned(colours));
      GifFile file;
      file.width = width;
      file.height = height;
      for (int i = 0; i < colours; ++i) file.global_table.push_back(uint32_t(i) * 0x010101u);
      file.min_code_size = std::max(2, BitLength(colours - 1));
      file.frame.width = width;
      file.frame.height = height;
      file.frame.codes = LzwEncode(indexes, file.min_code_size, restart);
      const auto image = Decode(file.Build());
      ASSERT_TRUE(image);
      ASSERT_EQ(image->pixels.size(), indexes.size());
      for (size_t at = 0; at < indexes.size(); ++at)
        ASSERT_EQ(image->pixels[at], Opaque(file.global_table[indexes[at]])) << "pixel " << at;
    }
  }
}

TEST(GifImage, ACodeOnePastTheTableRepeatsThePreviousString) {
  // Clear, 1, then two codes that each name the entry being made: 1 | 1 1 | 1 1 1.
  CodeWriter codes;
  codes.Put(4, 3);
  codes.Put(1, 3);
  codes.Put(6, 3);
  codes.Put(7, 3);
  codes.Put(5, 4);
  GifFile file = FourColourFile(6, 1, {0});
  file.frame.codes = codes.Finish();
  const auto image = Decode(file.Build());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, std::vector<uint32_t>(6, Opaque(0xFF0000)));
}

TEST(GifImage, BrokenCodeStreamsAreRejected) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> codes;  // code, width
  };
  const Case cases[] = {
      {"a code beyond the next entry", {{4, 3}, {1, 3}, {7, 3}, {5, 3}}},
      {"a first code that is no colour", {{4, 3}, {6, 3}, {5, 3}}},
      {"the end before the last pixel", {{4, 3}, {1, 3}, {5, 3}}},
      {"no end and too few pixels", {{4, 3}, {1, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CodeWriter writer;
    for (auto [code, width] : c.codes) writer.Put(code, width);
    GifFile file = FourColourFile(4, 1, {0});
    file.frame.codes = writer.Finish();
    EXPECT_FALSE(Decode(file.Build()));
  }
}

TEST(GifImage, InterlacedRowsLandInTheirPlaces) {
  const int height = 11;
  // Each stored row holds one colour index; the image should show row r in colour (r % 4).
  const int order[] = {0, 8, 4, 2, 6, 10, 1, 3, 5, 7, 9};
  Bytes indexes;
  for (int stored : order)
    indexes.push_back(uint8_t(stored % 4)), indexes.push_back(uint8_t(stored % 4));
  GifFile file = FourColourFile(2, height, indexes);
  file.frame.interlaced = true;
  const auto image = Decode(file.Build());
  ASSERT_TRUE(image);
  for (int row = 0; row < height; ++row)
    EXPECT_EQ(image->pixels[size_t(row) * 2], Opaque(kFourColours[size_t(row % 4)]))
        << "row " << row;
}

TEST(GifImage, FramesUseTheirOwnTableOffsetAndTransparency) {
  GifFile file = FourColourFile(4, 3, {1, 2, 3, 0, 0, 0});
  file.frame.left = 1;
  file.frame.top = 1;
  file.frame.width = 3;  // 3 x 2 at (1, 1)
  file.frame.height = 2;
  file.frame.local_table = {0x111111, 0x222222, 0x333333, 0x444444};
  file.transparent = 0;
  const auto image = Decode(file.Build());
  ASSERT_TRUE(image);
  const uint32_t none = 0;
  const std::vector<uint32_t> expected = {
      none, none, none, none, none, Opaque(0x222222), Opaque(0x333333), Opaque(0x444444),
      none, none, none, none,
  };
  EXPECT_EQ(image->pixels, expected);
}

TEST(GifImage, PartsOfAFrameOutsideTheScreenAreCut) {
  GifFile file = FourColourFile(2, 2, {1, 1, 1, 1, 1, 1, 1, 1, 1});
  file.frame.left = 1;
  file.frame.width = 3;
  file.frame.height = 3;
  const auto image = Decode(file.Build());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (std::vector<uint32_t>{0, Opaque(0xFF0000), 0, Opaque(0xFF0000)}));
}

TEST(GifImage, MalformedFilesAreRejected) {
  struct Case {
    const char* what;
    void (*spoil)(GifFile&);
  };
  const Case cases[] = {
      {"an index beyond the colour table",
       [](GifFile& f) {
         f.frame.codes = LzwEncode({1, 2, 3, 3}, 2, true), f.global_table.resize(2);
       }},
      {"no colour table", [](GifFile& f) { f.global_table.clear(); }},
      {"a code size of 0", [](GifFile& f) { f.min_code_size = 0; }},
      {"a code size of 9", [](GifFile& f) { f.min_code_size = 9; }},
      {"a screen too wide", [](GifFile& f) { f.width = gif::kGifMaxSide + 1; }},
      {"a frame too tall", [](GifFile& f) { f.frame.height = gif::kGifMaxSide + 1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GifFile file = FourColourFile(2, 2, {1, 2, 3, 0});
    ASSERT_TRUE(Decode(file.Build()));
    c.spoil(file);
    EXPECT_FALSE(Decode(file.Build()));
  }
  const Bytes not_gif = {'P', 'N', 'G', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
  EXPECT_FALSE(Decode(not_gif));
  EXPECT_FALSE(DecodeGif(nullptr, 0));
}

}  // namespace
