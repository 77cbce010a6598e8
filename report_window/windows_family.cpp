#include "report_window/windows_family.h"

#include "support/procedure_error.h"
#include "support/trim_spaces.h"

namespace {

bool IsSecondEdition(const COSInfo& os) {
  // Both parts are read, the build first.
  const bool build = std::to_string(os.OSBuild()) == "2222";
  const bool letter = support::TrimSpaces(os.OSAdditional()) == "A";
  return build && letter;
}

std::string NineXFamily(const COSInfo& os) {
  switch (os.OSMinorVersion()) {
    case 0:
      return "Windows 95";
    case 10:
      return runtime::TestOrMet([&] { return IsSecondEdition(os); }) ? "Windows 98 Second Edition"
                                                                     : "Windows 98";
    case 90:
      return "Windows Me";
    default:
      return "Windows 9x";
  }
}

std::string NtFamily(const COSInfo& os) {
  const int32_t major = os.OSMajorVersion();
  if (major == 3 || major == 4) return "Windows NT";
  if (major != 5) return "Windows NT o maggiore";
  switch (os.OSMinorVersion()) {
    case 0:
      return "Windows 2000";
    case 1:
      return "Windows XP";
    default:
      return "Windows NT o maggiore (?)";
  }
}

}  // namespace

std::string WindowsFamilyText(const COSInfo& os) {
  switch (os.WindowsType()) {
    case 0:
      return "WindowsType = Win32s";
    case 1:
      return "WindowsType = " + NineXFamily(os);
    case 2:
      return "WindowsType = " + NtFamily(os);
    default:
      return "WindowsType = " + std::to_string(os.WindowsType()) + " (?)";
  }
}
