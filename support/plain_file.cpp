#include "support/plain_file.h"

#include "platform/platform.h"
#include "support/path_separators.h"

namespace support {

bool IsPlainFile(const std::string& path) {
  const uint32_t attributes = platform::GetFileAttributesA(path);
  constexpr uint32_t kNotPlain = platform::kFileAttributeDirectory |
                                 platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  return attributes != platform::kInvalidFileAttributes && (attributes & kNotPlain) == 0;
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (EndsWithSeparator(folder)) return folder + name;
  return folder + "\\" + name;
}

}  // namespace support
