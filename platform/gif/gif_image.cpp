#include "platform/gif/gif_image.h"

#include <algorithm>
#include <string_view>

namespace gif {

namespace {

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImageDescriptor = 0x2C;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

// Reads little-endian fields; once a read runs past the end, every later read fails too.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }

  uint8_t U8() {
    if (!ok_ || at_ >= size_) {
      ok_ = false;
      return 0;
    }
    return data_[at_++];
  }

  int U16() {
    const int low = U8();
    return low | U8() << 8;
  }

  const uint8_t* Take(size_t count) {
    if (!ok_ || size_ - at_ < count) {
      ok_ = false;
      return nullptr;
    }
    const uint8_t* taken = data_ + at_;
    at_ += count;
    return taken;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool ok_ = true;
};

// A colour table follows when bit 7 of the packed field is set; bits 0-2 give its size.
std::vector<uint32_t> ReadColourTable(ByteReader& reader, uint8_t packed) {
  if ((packed & 0x80) == 0) return {};
  const size_t entries = size_t{2} << (packed & 0x07);
  const uint8_t* rgb = reader.Take(entries * 3);
  if (rgb == nullptr) return {};
  std::vector<uint32_t> table(entries);
  for (size_t i = 0; i < entries; ++i, rgb += 3)
    table[i] = kGifOpaque | uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2];
  return table;
}

// The data sub-blocks up to the empty one, joined; `keep` false only skips them.
std::vector<uint8_t> ReadSubBlocks(ByteReader& reader, bool keep) {
  std::vector<uint8_t> joined;
  while (reader.ok()) {
    const uint8_t length = reader.U8();
    if (length == 0) break;
    const uint8_t* block = reader.Take(length);
    if (block != nullptr && keep) joined.insert(joined.end(), block, block + length);
  }
  return joined;
}

class CodeReader {
 public:
  explicit CodeReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  // The next code of `bits` bits, least significant bit first, or -1 at the end of the data.
  int Next(int bits) {
    while (held_bits_ < bits) {
      if (at_ >= bytes_.size()) return -1;
      held_ |= uint32_t{bytes_[at_++]} << held_bits_;
      held_bits_ += 8;
    }
    const int code = static_cast<int>(held_ & ((1u << bits) - 1));
    held_ >>= bits;
    held_bits_ -= bits;
    return code;
  }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0;
  uint32_t held_ = 0;
  int held_bits_ = 0;
};

// One string of the LZW table: its last index, the string before it, and its length.
struct TableEntry {
  uint16_t prefix = 0;
  uint16_t length = 1;
  uint8_t last = 0;
  uint8_t first = 0;
};

// Expands the LZW codes into exactly `count` colour indexes, or nothing when the codes are
// broken or end before that. Codes after the last index and a missing end code are ignored.
std::optional<std::vector<uint8_t>> DecodeLzw(const std::vector<uint8_t>& codes, int min_code_size,
                                              size_t count) {
  const int clear = 1 << min_code_size, end = clear + 1;
  std::vector<TableEntry> table(kTableSize);
  for (int code = 0; code < clear; ++code)
    table[code].last = table[code].first = static_cast<uint8_t>(code);
  std::vector<uint8_t> indexes(count);
  size_t filled = 0;
  CodeReader reader(codes);
  int width = min_code_size + 1, next = end + 1, previous = -1;
  while (filled < count) {
    const int code = reader.Next(width);
    if (code < 0 || code == end) return std::nullopt;
    if (code == clear) {
      width = min_code_size + 1;
      next = end + 1;
      previous = -1;
      continue;
    }
    if (code > (previous < 0 ? clear : next)) return std::nullopt;
    if (previous >= 0 && next < kTableSize) {
      // A code one past the table is the previous string followed by its own first index.
      const TableEntry& before = table[previous];
      TableEntry& added = table[next];
      added.prefix = static_cast<uint16_t>(previous);
      added.length = static_cast<uint16_t>(before.length + 1);
      added.last = code < next ? table[code].first : before.first;
      added.first = before.first;
      ++next;
      if (next == 1 << width && width < kMaxCodeBits) ++width;
    }
    // The string is written from its end back; whatever lies past `count` is dropped.
    int at = code;
    for (size_t place = filled + table[code].length; place-- > filled; at = table[at].prefix)
      if (place < count) indexes[place] = table[at].last;
    filled = std::min(count, filled + table[code].length);
    previous = code;
  }
  return indexes;
}

// The row of the image that the `stored`-th row of data fills: the same row, or for an
// interlaced image the one its place in the four passes gives.
int ImageRow(int stored, int height, bool interlaced) {
  if (!interlaced) return stored;
  static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    const int rows =
        kStart[pass] < height ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
    if (stored < rows) return kStart[pass] + stored * kStep[pass];
    stored -= rows;
  }
  return height;
}

struct Frame {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
};

// Paints the frame's colour indexes onto the screen, leaving the transparent ones and those
// beyond the screen's edges; false when an index lies outside the colour table.
bool Paint(const Frame& frame, const std::vector<uint8_t>& indexes,
           const std::vector<uint32_t>& table, int transparent, GifImage& image) {
  const uint8_t* index = indexes.data();
  for (int stored = 0; stored < frame.height; ++stored) {
    const int y = frame.top + ImageRow(stored, frame.height, frame.interlaced);
    for (int x = frame.left; x < frame.left + frame.width; ++x, ++index) {
      if (*index >= table.size()) return false;
      if (*index == transparent || x >= image.width || y >= image.height) continue;
      image.pixels[size_t(y) * size_t(image.width) + size_t(x)] = table[*index];
    }
  }
  return true;
}

}  // namespace

std::optional<GifImage> DecodeGif(const uint8_t* data, size_t size) {
  ByteReader reader(data, size);
  const uint8_t* signature = reader.Take(6);
  if (signature == nullptr ||
      std::string_view(reinterpret_cast<const char*>(signature), 3) != "GIF") {
    return std::nullopt;
  }
  GifImage image;
  image.width = reader.U16();
  image.height = reader.U16();
  const uint8_t screen_packed = reader.U8();
  reader.Take(2);  // background colour and aspect ratio
  const std::vector<uint32_t> global_table = ReadColourTable(reader, screen_packed);
  int transparent = -1;
  while (reader.ok()) {
    const uint8_t introducer = reader.U8();
    if (introducer == kExtension) {
      const uint8_t label = reader.U8();
      const std::vector<uint8_t> body = ReadSubBlocks(reader, label == kGraphicControl);
      if (label == kGraphicControl && body.size() >= 4) transparent = body[0] & 1 ? body[3] : -1;
      continue;
    }
    if (introducer != kImageDescriptor) return std::nullopt;
    Frame frame;
    frame.left = reader.U16();
    frame.top = reader.U16();
    frame.width = reader.U16();
    frame.height = reader.U16();
    const uint8_t image_packed = reader.U8();
    frame.interlaced = (image_packed & 0x40) != 0;
    const std::vector<uint32_t> local_table = ReadColourTable(reader, image_packed);
    const std::vector<uint32_t>& table = local_table.empty() ? global_table : local_table;
    const int min_code_size = reader.U8();
    const std::vector<uint8_t> codes = ReadSubBlocks(reader, true);
    if (!reader.ok() || table.empty() || min_code_size < 1 || min_code_size > 8) {
      return std::nullopt;
    }
    if (image.width == 0 && image.height == 0)
      image.width = frame.width, image.height = frame.height;
    if (image.width < 1 || image.height < 1 || image.width > kGifMaxSide ||
        image.height > kGifMaxSide || frame.width > kGifMaxSide || frame.height > kGifMaxSide) {
      return std::nullopt;
    }
    const auto indexes =
        DecodeLzw(codes, min_code_size, size_t(frame.width) * size_t(frame.height));
    if (!indexes) return std::nullopt;
    image.pixels.assign(size_t(image.width) * size_t(image.height), 0);
    if (!Paint(frame, *indexes, table, transparent, image)) return std::nullopt;
    return image;
  }
  return std::nullopt;
}

}  // namespace gif
