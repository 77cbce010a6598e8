// The names, folders and identifiers of COSInfo.
#include "osinfo/COSInfo.h"
#include "support/hex_text.h"
#include "support/procedure_error.h"

namespace {

constexpr uint32_t kNameBufferSize = 100;
constexpr uint32_t kTempPathBufferSize = 255;
// The name's buffer is 255 blanks; GetTempFileNameA writes up to MAX_PATH characters whatever
// buffer it is given, so NULs after them make room for that.
constexpr size_t kTempFileBlanks = 255;
constexpr size_t kTempFileBufferSize = 260;
constexpr uint32_t kFixedUniqueNumber = 1;  // nonzero: the name is only formed
constexpr char kSetupUserInfo[] = "Software\\Microsoft\\MS Setup (ACME)\\User Info";

template <typename Query>
std::string NameBuffer(Query query) {
  std::string buffer(kNameBufferSize, '\0');
  uint32_t size = kNameBufferSize;
  query(buffer.data(), &size);
  return buffer;
}

std::string TempPathBuffer() {
  std::string buffer(kTempPathBufferSize, ' ');
  platform::GetTempPathA(kTempPathBufferSize, buffer.data());
  return buffer;
}

// The registry form, padded to fixed widths, so that every GUID has exactly one text.
std::string GuidText(const platform::GUID& guid) {
  using support::HexDigits;
  std::string text = "{" + HexDigits(guid.Data1, 8) + "-" + HexDigits(guid.Data2, 4) + "-" +
                     HexDigits(guid.Data3, 4) + "-";
  for (size_t i = 0; i < sizeof guid.Data4; ++i) {
    if (i == 2) text += "-";
    text += HexDigits(guid.Data4[i], 2);
  }
  return text + "}";
}

}  // namespace

std::string COSInfo::ComputerName() const {
  return runtime::Trapped<std::string>("ComputerName", [this](std::string& result) {
    result = TrimNulls(NameBuffer(platform::GetComputerNameA));
  });
}

void COSInfo::ComputerName(const std::string& strValue) const {
  runtime::TrappedCall("ComputerName", [&] { platform::SetComputerNameA(strValue); });
}

std::string COSInfo::UserName() const {
  return runtime::Trapped<std::string>("UserName", [this](std::string& result) {
    result = TrimNulls(NameBuffer(platform::GetUserNameA));
  });
}

std::string COSInfo::TempPath() const {
  return runtime::Trapped<std::string>(
      "TempPath", [this](std::string& result) { result = TrimNulls(TempPathBuffer()); });
}

std::string COSInfo::TempFile(const std::string& strPrefix) const {
  return runtime::Trapped<std::string>("TempFile", [&](std::string& result) {
    const std::string folder = TempPathBuffer();
    std::string name(kTempFileBlanks, ' ');
    name.resize(kTempFileBufferSize, '\0');
    platform::GetTempFileNameA(folder, strPrefix, kFixedUniqueNumber, name.data());
    result = TrimNulls(name);
  });
}

std::string COSInfo::GUID() const {
  return runtime::Trapped<std::string>("GUID", [](std::string& result) {
    platform::GUID guid{};
    platform::CoCreateGuid(&guid);
    result = GuidText(guid);
  });
}

std::string COSInfo::DefaultCompanyName() const {
  return runtime::Trapped<std::string>("DefaultCompanyName", [this](std::string& result) {
    result = modRegistry::ValueText(
        RegistryGetKeyValue(platform::kHkeyCurrentUser, kSetupUserInfo, "DefCompany"));
  });
}

std::string COSInfo::DefaultUserName() const {
  return runtime::Trapped<std::string>("DefaultUserName", [this](std::string& result) {
    result = modRegistry::ValueText(
        RegistryGetKeyValue(platform::kHkeyCurrentUser, kSetupUserInfo, "DefName"));
  });
}

std::string COSInfo::CurrentHardwareProfile() const {
  return runtime::Trapped<std::string>("CurrentHardwareProfile", [this](std::string& result) {
    platform::HW_PROFILE_INFOA profile{};
    platform::GetCurrentHwProfileA(&profile);
    result = TrimNulls(std::string(profile.szHwProfileName, sizeof profile.szHwProfileName));
  });
}

// The class reads the registry exactly as the registry module does, failures reported under
// the same name.
modRegistry::RegistryValue COSInfo::RegistryGetKeyValue(platform::RegistryKey root,
                                                        const std::string& key_path,
                                                        const std::string& value_name) const {
  return modRegistry::RegistryGetKeyValue(root, key_path, value_name);
}
