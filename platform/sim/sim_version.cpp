// Version resources and the version library. A block in the 32-bit layout has WORD wLength,
// WORD wValueLength, WORD wType and a UTF-16 key; one in the 16-bit layout has no wType and a
// single-byte key. Values and children start on 4-byte boundaries from the block's start.
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace sim {

namespace {

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
// Real resources nest four deep; a damaged one is not followed further than this.
constexpr int kDeepestBlock = 16;

size_t Align4(size_t n) { return (n + 3) & ~size_t{3}; }

uint16_t Word(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void PutWord(std::vector<uint8_t>& bytes, size_t at, size_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PadToFourFrom(std::vector<uint8_t>& bytes, size_t start) {
  bytes.resize(start + Align4(bytes.size() - start), 0);
}

// A character of the system's ANSI code page for a UTF-16 one; ASCII is all the keys hold.
char Ansi(uint16_t c) { return c < 0x80 ? static_cast<char>(c) : '?'; }

// Appends the 32-bit block at `at`, of which no more than `room` bytes are read, in the 16-bit
// layout, as Windows 9x converts: keys and text values to ANSI, binary values as they are, each
// child in turn. False when not even the block's key can be read.
bool AppendIn16BitLayout(const std::vector<uint8_t>& in, size_t at, size_t room,
                         std::vector<uint8_t>& out, int depth) {
  if (room < 6 || depth > kDeepestBlock) return false;
  const size_t end = at + std::min<size_t>(Word(in, at), room);
  const uint16_t value_length = Word(in, at + 2);
  const bool text = Word(in, at + 4) != 0;
  size_t key_end = at + 6;
  while (key_end + 1 < end && Word(in, key_end) != 0) key_end += 2;
  if (key_end + 1 >= end) return false;

  const size_t start = out.size();
  out.resize(start + 4, 0);
  for (size_t c = at + 6; c < key_end; c += 2) out.push_back(Ansi(Word(in, c)));
  out.push_back(0);
  PadToFourFrom(out, start);
  const size_t value = at + Align4(key_end + 2 - at);
  const size_t value_bytes = value_length * (text ? 2u : 1u);
  size_t value_length16 = 0;
  if (value_length != 0 && text) {
    const size_t value16 = out.size();
    for (size_t c = value; c + 1 < std::min(end, value + value_bytes) && Word(in, c) != 0; c += 2) {
      out.push_back(Ansi(Word(in, c)));
    }
    out.push_back(0);
    value_length16 = out.size() - value16;
  } else if (value_length != 0 && value < end) {
    value_length16 = std::min(value_bytes, end - value);
    out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(value),
               in.begin() + static_cast<std::ptrdiff_t>(value + value_length16));
  }
  PadToFourFrom(out, start);
  for (size_t child = value + Align4(value_bytes); child + 6 <= end;) {
    const uint16_t child_length = Word(in, child);
    if (child_length == 0 || !AppendIn16BitLayout(in, child, end - child, out, depth + 1)) break;
    PadToFourFrom(out, start);
    child += Align4(child_length);
  }
  PutWord(out, start, out.size() - start);
  PutWord(out, start + 2, value_length16);
  return true;
}

// A 16-bit block's key is text where a 32-bit block has its wType, 0 or 1.
bool In16BitLayout(const std::vector<uint8_t>& block) {
  return block.size() > 4 && block[4] >= ' ';
}

// The block as this machine's version library hands it back.
std::vector<uint8_t> HandedBack(const std::vector<uint8_t>& stored) {
  if (!Answers().version_blocks_in_16bit_layout || In16BitLayout(stored)) return stored;
  return SixteenBitLayout(stored);
}

}  // namespace

std::vector<uint8_t> VersionResource(uint32_t version_ms, uint32_t version_ls) {
  platform::VS_FIXEDFILEINFO info{};
  info.dwSignature = kFixedInfoSignature;
  info.dwStrucVersion = 0x10000;
  info.dwFileVersionMS = version_ms;
  info.dwFileVersionLS = version_ls;
  const char16_t key[] = u"VS_VERSION_INFO";
  std::vector<uint8_t> block(40 + sizeof info, 0);
  const uint16_t header[] = {static_cast<uint16_t>(block.size()), sizeof info, 0};
  std::memcpy(block.data(), header, sizeof header);
  std::memcpy(block.data() + 6, key, sizeof key);
  std::memcpy(block.data() + 40, &info, sizeof info);
  return block;
}

std::vector<uint8_t> SixteenBitLayout(const std::vector<uint8_t>& block) {
  std::vector<uint8_t> converted;
  if (!AppendIn16BitLayout(block, 0, block.size(), converted, 0)) return block;
  return converted;
}

}  // namespace sim

namespace platform {

uint32_t GetFileVersionInfoSizeA(const std::string& path, uint32_t* handle) {
  sim::Enter("GetFileVersionInfoSizeA");
  *handle = 0;
  const sim::File* file = sim::FindFile(path);
  if (!file || !file->version_resource) return 0;
  const auto size = static_cast<uint32_t>(file->version_resource->size());
  const sim::FamilyAnswers& answers = sim::Answers();
  return sim::In16BitLayout(*file->version_resource) ? answers.version_info_size_16bit(size)
                                                     : answers.version_info_size(size);
}

int32_t GetFileVersionInfoA(const std::string& path, uint32_t, uint32_t size, void* data) {
  sim::Enter("GetFileVersionInfoA");
  const sim::File* file = sim::FindFile(path);
  if (!file || !file->version_resource) return 0;
  const std::vector<uint8_t> block = sim::HandedBack(*file->version_resource);
  std::copy_n(block.begin(), std::min<size_t>(size, block.size()), static_cast<uint8_t*>(data));
  sim::machine().version_buffers[data] = size;
  return 1;
}

// The root block's value follows its header and its key, aligned to 4 bytes, in either layout.
// Like the real query it trusts the value length the block states. It reads the key only
// inside the block: its stated length, no further than the buffer GetFileVersionInfoA filled.
int32_t VerQueryValueA(const void* block, const std::string& sub_block, void** buffer,
                       uint32_t* length) {
  sim::Enter("VerQueryValueA");
  const auto& buffers = sim::machine().version_buffers;
  const auto filled = buffers.find(block);
  if (sub_block != "\\" || filled == buffers.end() || filled->second < 6) return 0;
  const auto* bytes = static_cast<const uint8_t*>(block);
  const std::vector<uint8_t> head(bytes, bytes + filled->second);
  const size_t block_end = std::min<size_t>(sim::Word(head, 0), head.size());
  const bool narrow = sim::In16BitLayout(head);
  const size_t width = narrow ? 1 : 2;
  size_t key_end = narrow ? 4 : 6;
  while (key_end + width <= block_end && (head[key_end] != 0 || head[key_end + width - 1] != 0)) {
    key_end += width;
  }
  // The real call reads the key to its end, wherever that is. Past the block lies no part of
  // the resource: after a 32-bit block the signature "FE2X" (Wine's GetFileVersionInfoW, in
  // version.c, writes it there; its comment gives it to Windows 2000, XP and Server 2003), then
  // whatever the program filled its buffer with, then memory it does not own. A program that
  // lets the call read there is at fault.
  if (key_end + width > block_end) {
    throw std::logic_error("VerQueryValueA would read past the block: its key does not end in it");
  }
  // A block that states no fixed part still hands back where it would be, with length 0, as
  // the real call does for any value of length 0 (ReactOS's apitests, VerQueryValue.c, on
  // Windows: "Comments").
  const uint16_t value_length = sim::Word(head, 2);
  *buffer = const_cast<uint8_t*>(bytes + sim::Align4(key_end + width));
  *length = value_length;
  return 1;
}

}  // namespace platform
