// The machine's ANSI code page, and paths stepped through by character in it.
#include "platform/base/ansi_path.h"
#include "platform/platform.h"
#include "platform/sim/sim_code_pages.h"
#include "platform/sim/sim_machine.h"

namespace sim {

bool IsLeadByte(uint8_t byte) { return IsLeadByteOf(machine().code_page, byte); }

std::vector<size_t> Separators(const std::string& path) {
  std::vector<size_t> separators;
  ansi::ForEachSeparator(path, IsLeadByte, [&](size_t at) { separators.push_back(at); });
  return separators;
}

size_t LastSeparator(const std::string& path) { return ansi::LastSeparator(path, IsLeadByte); }

bool EndsWithSeparator(const std::string& path) {
  return ansi::EndsWithSeparator(path, IsLeadByte);
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return folder.empty() || EndsWithSeparator(folder) ? folder + name : folder + "\\" + name;
}

}  // namespace sim

namespace platform {

int32_t IsDBCSLeadByte(uint8_t byte) {
  sim::Enter("IsDBCSLeadByte");
  return sim::IsLeadByte(byte);
}

}  // namespace platform
