// The lead bytes of the double-byte ANSI code pages: the bytes that open a two-byte character.
// From Microsoft's tables of the code pages ("Code Page 932", 936, 949, 950: the lead bytes
// whose rows the tables list), which is what GetCPInfo reports; the Windows tests compare them
// with IsDBCSLeadByteEx. Every other code page the simulated machine takes is single-byte.
#pragma once

#include <cstdint>

namespace sim {

struct LeadByteRange {
  uint8_t first;
  uint8_t last;
};

struct DoubleByteCodePage {
  uint32_t code_page;
  LeadByteRange ranges[2];  // an unused range is {0, 0}
};

constexpr DoubleByteCodePage kDoubleByteCodePages[] = {
    {932, {{0x81, 0x9F}, {0xE0, 0xFC}}},  // Japanese (Shift JIS)
    {936, {{0x81, 0xFE}, {0, 0}}},        // Simplified Chinese (GBK)
    {949, {{0x81, 0xFE}, {0, 0}}},        // Korean (Unified Hangul Code)
    {950, {{0x81, 0xFE}, {0, 0}}},        // Traditional Chinese (Big5)
};

constexpr bool IsLeadByteOf(uint32_t code_page, uint8_t byte) {
  for (const DoubleByteCodePage& page : kDoubleByteCodePages) {
    if (page.code_page != code_page) continue;
    for (const LeadByteRange& range : page.ranges) {
      if (range.first != 0 && byte >= range.first && byte <= range.last) return true;
    }
  }
  return false;
}

}  // namespace sim
