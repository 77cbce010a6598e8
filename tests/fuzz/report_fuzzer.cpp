// Decodes the input into a simulated machine, runs the whole report pass and the commands on it,
// calls the support routines and every COSInfo member on decoded inputs, and aborts when anything
// the code promises does not hold: a handle left open, a report line that is not what the
// machine says, a stray file, a message box that is neither an error report nor the question.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "osinfo/COSInfo.h"
#include "platform/base/runtime_error.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine.h"
#include "platform/toolkit.h"
#include "report_window/download_addresses.h"
#include "report_window/frmMain.h"
#include "shell/CShellExecute.h"
#include "support/modAPIFilesAndPaths.h"
#include "support/modRegistry.h"

namespace {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using platform::RegistryKey;
using platform::toolkit::ControlId;
using platform::toolkit::Picture;

// ---------------------------------------------------------------------------------------------
// Failing an invariant ends the run where it is, so libFuzzer keeps the input.

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "report_fuzzer: invariant violated: %s\n", what);
  std::abort();
}

void RequireEqual(const std::string& actual, const std::string& expected, const char* what) {
  if (actual == expected) return;
  const size_t at = static_cast<size_t>(
      std::mismatch(actual.begin(), actual.begin() + std::min(actual.size(), expected.size()),
                    expected.begin())
          .first -
      actual.begin());
  const auto excerpt = [at](const std::string& text) {
    const size_t from = at < 40 ? 0 : at - 40;
    return text.substr(from, 120);
  };
  std::fprintf(stderr,
               "report_fuzzer: %s differs at %zu (sizes %zu, %zu)\n  actual:   [%s]\n"
               "  expected: [%s]\n",
               what, at, actual.size(), expected.size(), excerpt(actual).c_str(),
               excerpt(expected).c_str());
  Require(false, what);
}

// ---------------------------------------------------------------------------------------------
// The input, read front to back. Past its end every read gives zeros, so any prefix of an input
// is a complete machine.

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Done() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // Little-endian; each half is read in its own statement, so the order is fixed.
  uint16_t U16() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | Byte() << 8);
  }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | static_cast<uint32_t>(U16()) << 16;
  }
  bool Flag() { return (Byte() & 1) != 0; }

  // Up to count bytes, fewer when the input runs out.
  std::vector<uint8_t> Take(size_t count) {
    const size_t taken = std::min(count, size_ - std::min(at_, size_));
    std::vector<uint8_t> bytes(data_ + at_, data_ + at_ + taken);
    at_ += taken;
    return bytes;
  }

  // A number, often one the code has a case of its own for.
  uint32_t Number() {
    static constexpr uint32_t kTelling[] = {
        0,          1,          2,          3,          4,          5,          8,
        10,         15,         16,         24,         31,         32,         33,
        63,         64,         90,         96,         120,        1024,       2195,
        2222,       2600,       0x7FFF,     0x8000,     0xFFFF,     0x10000,    0x7FFFFFFF,
        0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0x0409,     0x0410,     0x80000001, 0x80000002,
        0xFFFF8000, 0xFFFF7FFF, 0x00008001, 0x40000000, 0x3FFFFFFF, 0xFFFFFFE0, 0xC0000000};
    const uint8_t how = Byte();
    switch (how % 4) {
      case 0:
        return how >> 2;
      case 1:
        return kTelling[Byte() % (sizeof kTelling / sizeof kTelling[0])];
      case 2:
        return U32();
      default:
        return static_cast<uint32_t>(-static_cast<int32_t>(how >> 2));
    }
  }
  int32_t Signed() { return static_cast<int32_t>(Number()); }

  // Text made of pieces: names the program looks for, separators, literal bytes and long runs.
  std::string Text(size_t longest) {
    static const char* const kWords[] = {"C:",
                                         "\\",
                                         "\\\\",
                                         "D:",
                                         "c:",
                                         "Program Files",
                                         "PROGRA~1",
                                         "Sondrel",
                                         "Sondrel.exe",
                                         "WINDOWS",
                                         "System32",
                                         "SYSTEM~1",
                                         "ZoneLabs",
                                         "ZONELA~1",
                                         "VSMON.EXE",
                                         "msjava.dll",
                                         "kelvoran.htm",
                                         "KELVOR~1.HTM",
                                         "Internet Explorer",
                                         "INTERN~1",
                                         "IEXPLORE.EXE",
                                         "Browser non trovato",
                                         "Service Pack 4",
                                         " ",
                                         "A",
                                         "server",
                                         "share",
                                         ".",
                                         "..",
                                         ":",
                                         "\r\n",
                                         "2222",
                                         "%",
                                         "\xE8",
                                         ".htm",
                                         "TEMP"};
    constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];
    std::string text;
    const int pieces = Byte() % 17;
    for (int i = 0; i < pieces && text.size() < longest; ++i) {
      const uint8_t tag = Byte();
      switch (tag % 5) {
        case 0:
          text += kWords[Byte() % kWordCount];
          break;
        case 1: {
          const std::vector<uint8_t> bytes = Take(Byte());
          text.append(bytes.begin(), bytes.end());
          break;
        }
        case 2: {
          const char c = static_cast<char>(Byte());
          text.append(U16(), c);
          break;
        }
        case 3:
          text += '\\';
          break;
        default:
          text += '\0';
          break;
      }
    }
    if (text.size() > longest) text.resize(longest);
    return text;
  }

  std::optional<std::string> OptionalText(size_t longest) {
    if ((Byte() & 3) == 0) return std::nullopt;
    return Text(longest);
  }

  // Bytes of a registry value or a version resource: literal, a long repeated pattern, a
  // well-formed version resource with some bytes changed and its length changed, or text.
  std::vector<uint8_t> Blob() {
    constexpr size_t kLargest = 64 * 1024;
    switch (Byte() % 4) {
      case 0:
        return Take(U16());
      case 1: {
        const size_t total = U32() % (kLargest + 1);
        std::vector<uint8_t> pattern = Take(Byte() % 16 + 1);
        if (pattern.empty()) pattern.push_back(0);
        std::vector<uint8_t> bytes(total);
        for (size_t i = 0; i < total; ++i) bytes[i] = pattern[i % pattern.size()];
        return bytes;
      }
      case 2: {
        const uint32_t ms = U32();
        const uint32_t ls = U32();
        std::vector<uint8_t> bytes = sim::VersionResource(ms, ls);
        const int pokes = Byte() % 8;
        for (int i = 0; i < pokes; ++i) {
          const size_t offset = U16() % (bytes.size() + 8);
          const uint8_t value = Byte();
          if (offset < bytes.size()) bytes[offset] = value;
        }
        if (Flag()) bytes.resize(U16() % (bytes.size() + 64), Byte());
        return bytes;
      }
      default: {
        const std::string text = Text(kLargest);
        std::vector<uint8_t> bytes(text.begin(), text.end());
        if (Flag()) bytes.push_back(0);
        return bytes;
      }
    }
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// ---------------------------------------------------------------------------------------------
// What the program reads.

constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunServices[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr char kSetupUserInfo[] = "Software\\Microsoft\\MS Setup (ACME)\\User Info";
constexpr char kProbeFile[] = "kelvoran.htm";
constexpr char kTitle[] = "Informazioni sul sistema - a cura del team Sondrel";
constexpr char kServicePack4Question[] =
    "Win 2000 SP4 non consente\r\nl'installazione della VM Microsoft\r\nProcedo con il download?";
constexpr platform::WindowHandle kFormHandle = 0x5E1D;

struct RegistryLocation {
  RegistryKey root;
  const char* key_path;
  const char* value_name;
  const char* label;  // the report's label, for the lines the report shows
};

constexpr RegistryLocation kInternetExplorer{kHkeyLocalMachine,
                                             "Software\\Microsoft\\Internet Explorer", "Version",
                                             "Microsoft Internet Explorer = "};
constexpr RegistryLocation kNetscape{kHkeyLocalMachine, "Software\\Netscape\\Netscape Navigator",
                                     "CurrentVersion", "Netscape Navigator = "};
constexpr RegistryLocation kJavaWebStart{kHkeyLocalMachine, "Software\\JavaSoft\\Java Web Start",
                                         "CurrentVersion", nullptr};
constexpr RegistryLocation kFirewalls[] = {
    {kHkeyLocalMachine, kRunServices, "SmcService", "Sygate Personal Firewall = "},
    {kHkeyLocalMachine, kRunServices, "iamapp", "Norton Personal Firewall = "},
    {kHkeyLocalMachine, kRun, "MPFTray", "McAfee Personal Firewall = "},
    {kHkeyLocalMachine, kRunServices, "PAVFIRES", "Panda Internet Security = "},
    {kHkeyLocalMachine, kRun, "Outpost Firewall", "Agnitum Outpost Firewall = "},
    {kHkeyLocalMachine, kRunServices, "KPF4", "Kerio Personal Firewall = "},
};
constexpr RegistryLocation kDefCompany{kHkeyCurrentUser, kSetupUserInfo, "DefCompany", nullptr};
constexpr RegistryLocation kDefName{kHkeyCurrentUser, kSetupUserInfo, "DefName", nullptr};

const RegistryLocation* const kLocations[] = {&kInternetExplorer, &kNetscape,     &kJavaWebStart,
                                              &kFirewalls[0],     &kFirewalls[1], &kFirewalls[2],
                                              &kFirewalls[3],     &kFirewalls[4], &kFirewalls[5],
                                              &kDefCompany,       &kDefName};
constexpr size_t kLocationCount = sizeof kLocations / sizeof kLocations[0];

const char* const kEntryPoints[] = {"CloseClipboard",
                                    "CloseHandle",
                                    "CoCreateGuid",
                                    "CreateFileA",
                                    "DeleteFileA",
                                    "EmptyClipboard",
                                    "FindClose",
                                    "FindExecutableA",
                                    "FindFirstFileA",
                                    "GetComputerNameA",
                                    "GetCurrentHwProfileA",
                                    "GetDC",
                                    "GetDeviceCaps",
                                    "GetExitCodeProcess",
                                    "GetFileAttributesA",
                                    "GetFileVersionInfoA",
                                    "GetFileVersionInfoSizeA",
                                    "GetLocaleInfoA",
                                    "GetModuleFileNameA",
                                    "GetSystemDirectoryA",
                                    "GetTempFileNameA",
                                    "GetTempPathA",
                                    "GetUserDefaultLCID",
                                    "GetUserNameA",
                                    "GetVersionExA",
                                    "GetWindowsDirectoryA",
                                    "GlobalAlloc",
                                    "GlobalFree",
                                    "GlobalLock",
                                    "GlobalUnlock",
                                    "MessageBoxA",
                                    "OpenClipboard",
                                    "RegCloseKey",
                                    "RegOpenKeyExA",
                                    "RegQueryValueExA",
                                    "ReleaseDC",
                                    "SetClipboardData",
                                    "SetComputerNameA",
                                    "ShellExecuteA",
                                    "ShellExecuteExA",
                                    "SystemParametersInfoA",
                                    "VerQueryValueA",
                                    "lstrcpyA"};
constexpr size_t kEntryPointCount = sizeof kEntryPoints / sizeof kEntryPoints[0];

// The procedures that trap their own errors and report them under their names.
const std::set<std::string> kProcedures = {"Beep",
                                           "ComputerName",
                                           "CurrentHardwareProfile",
                                           "DefaultCompanyName",
                                           "DefaultUserName",
                                           "DisplayColors",
                                           "Explore",
                                           "GUID",
                                           "GetFileVersion",
                                           "GetLongFileName",
                                           "GetWorkArea",
                                           "Language",
                                           "LargeFonts",
                                           "LaunchDocument",
                                           "LaunchEmail",
                                           "LaunchFolder",
                                           "LaunchProgram",
                                           "LaunchURL",
                                           "OSAdditional",
                                           "OSBuild",
                                           "OSMajorVersion",
                                           "OSMinorVersion",
                                           "PrintDocument",
                                           "RegistryGetKeyValue",
                                           "ScreenSaverActive",
                                           "ScreenSaverTimeout",
                                           "SetClipboardData",
                                           "StillExecuting",
                                           "SystemDirectory",
                                           "TempFile",
                                           "TempPath",
                                           "TrimNulls",
                                           "UserName",
                                           "WindowsDirectory",
                                           "WindowsType"};

sim::Machine& M() { return sim::machine(); }
bool Callable(const char* entry_point) { return M().uncallable.count(entry_point) == 0; }
template <typename... Names>
bool AllCallable(Names... names) {
  return (Callable(names) && ...);
}

// ---------------------------------------------------------------------------------------------
// What the code is expected to make of the machine, worked out from the model directly.

std::string BeforeNul(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string Parent(const std::string& path) {
  const size_t separator = path.rfind('\\');
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

const sim::File* FileAt(const std::string& path) {
  const std::optional<std::string> stored = sim::Resolve(path);
  return stored ? &M().files.at(*stored) : nullptr;
}

bool PlainFileAt(const std::string& path) {
  const sim::File* file = FileAt(path);
  constexpr uint32_t kNotPlain = platform::kFileAttributeDirectory |
                                 platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  return file != nullptr && file->attributes != platform::kInvalidFileAttributes &&
         (file->attributes & kNotPlain) == 0;
}

// The presence test of the report: a test that cannot be made counts as met.
bool PresentInReport(const std::string& path) {
  return !Callable("GetFileAttributesA") || PlainFileAt(path);
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
  return value;
}

// A version resource yields a version when the block the machine's family hands back, in a
// buffer of the size it reports, is sound in its layout: a 16-bit block's key is text where a
// 32-bit block has a wType that must be 0; the block is no longer than the buffer, its key ends
// inside it, and its value, after the key on a 4-byte boundary, is a whole fixed-information
// record with its signature.
std::string ExpectedFileVersion(const std::string& path) {
  if (!AllCallable("GetFileVersionInfoSizeA", "GetFileVersionInfoA", "VerQueryValueA")) return "";
  const sim::File* file = FileAt(path);
  if (file == nullptr || !file->version_resource) return "";
  const std::vector<uint8_t>& stored = *file->version_resource;
  const bool stored_16bit = stored.size() > 4 && stored[4] >= ' ';
  const sim::FamilyAnswers& answers = sim::Answers();
  const auto stored_size = static_cast<uint32_t>(stored.size());
  const uint32_t size = stored_16bit ? answers.version_info_size_16bit(stored_size)
                                     : answers.version_info_size(stored_size);
  std::vector<uint8_t> r = answers.version_blocks_in_16bit_layout && !stored_16bit
                               ? sim::SixteenBitLayout(stored)
                               : stored;
  r.resize(size, 0);
  if (r.size() < 6) return "";
  const uint32_t length = r[0] | r[1] << 8;
  const uint32_t value_length = r[2] | r[3] << 8;
  const bool narrow = r[4] >= ' ';
  if (length > r.size() || (!narrow && (r[4] != 0 || r[5] != 0))) return "";
  const size_t width = narrow ? 1 : 2;
  size_t key_end = narrow ? 4 : 6;
  while (key_end + width <= r.size() && (r[key_end] != 0 || r[key_end + width - 1] != 0)) {
    key_end += width;
  }
  if (key_end + width > r.size()) return "";
  const size_t value = (key_end + width + 3) & ~size_t{3};
  if (value_length < 52 || value > r.size() || r.size() - value < 52) return "";
  if (Le32(r, value) != 0xFEEF04BD) return "";
  const uint32_t ms = Le32(r, value + 8);
  const uint32_t ls = Le32(r, value + 12);
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
         std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
}

// The value the registry module reads, as the variant it returns.
modRegistry::RegistryValue ExpectedRegistryValue(RegistryKey root, const std::string& key_path,
                                                 const std::string& value_name) {
  if (!AllCallable("RegOpenKeyExA", "RegQueryValueExA")) return {};
  if (root != kHkeyCurrentUser && root != kHkeyLocalMachine) return {};
  const auto keys = M().registry.find(root);
  if (keys == M().registry.end()) return {};
  const auto key = keys->second.find(key_path.c_str());
  if (key == keys->second.end()) return {};
  const auto value = key->second.values.find(value_name.c_str());
  if (value == key->second.values.end()) return {};
  const sim::RegistryValue& stored = value->second;
  const std::vector<uint8_t>& data = stored.data;
  switch (stored.type) {
    case platform::kRegSz:
      // Windows 9x hands an empty value back as one NUL, which is read like any other.
      if (data.empty() && !sim::Answers().text_values_cut_after_first_nul) return std::string();
      if (stored.read_fails) return {};
      return BeforeNul(std::string(data.begin(), data.end()));
    case platform::kRegBinary:
      if (data.empty()) return std::vector<uint8_t>();
      if (stored.read_fails) return {};
      return data;
    case platform::kRegDword: {
      if (data.size() > 4 || stored.read_fails) return {};
      uint32_t number = 0;
      for (size_t i = 0; i < data.size(); ++i) number |= static_cast<uint32_t>(data[i]) << (8 * i);
      return static_cast<int32_t>(number);
    }
    default:
      return {};
  }
}

std::string ExpectedValueText(const modRegistry::RegistryValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<int32_t>(&value)) return std::to_string(*number);
  if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) {
    std::string text;
    for (size_t i = 0; i < bytes->size(); ++i) {
      char digits[4];
      std::snprintf(digits, sizeof digits, "%02X", (*bytes)[i]);
      text += (i == 0 ? "" : " ") + std::string(digits);
    }
    return text;
  }
  return "";
}

std::string ExpectedText(const RegistryLocation& at) {
  return ExpectedValueText(ExpectedRegistryValue(at.root, at.key_path, at.value_name));
}

struct VersionFacts {
  int32_t major = 0, minor = 0, build = 0, platform_id = 0;
  std::string csd;
};

VersionFacts ExpectedVersion() {
  const sim::VersionRecord& v = M().version;
  if (!Callable("GetVersionExA") || v.fails) return {};
  return {static_cast<int32_t>(v.major), static_cast<int32_t>(v.minor),
          static_cast<int32_t>(v.build & 0x7FFF), static_cast<int32_t>(v.platform_id),
          BeforeNul(v.csd.substr(0, 127))};
}

std::string TrimSpaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ExpectedFamily(const VersionFacts& v) {
  switch (v.platform_id) {
    case 0:
      return "Win32s";
    case 1:
      switch (v.minor) {
        case 0:
          return "Windows 95";
        case 10:
          return v.build == 2222 && TrimSpaces(v.csd) == "A" ? "Windows 98 Second Edition"
                                                             : "Windows 98";
        case 90:
          return "Windows Me";
        default:
          return "Windows 9x";
      }
    case 2:
      if (v.major == 3 || v.major == 4) return "Windows NT";
      if (v.major != 5) return "Windows NT o maggiore";
      if (v.minor == 0) return "Windows 2000";
      if (v.minor == 1) return "Windows XP";
      return "Windows NT o maggiore (?)";
    default:
      return std::to_string(v.platform_id) + " (?)";
  }
}

// A folder query into a 260-character buffer of NULs.
std::string ExpectedFolder(const char* entry_point, const std::optional<std::string>& folder) {
  if (!Callable(entry_point) || !folder || folder->size() + 1 > 260) return "";
  return BeforeNul(*folder);
}

std::string ExpectedLanguage() {
  if (!AllCallable("GetUserDefaultLCID", "GetLocaleInfoA")) return "";
  const auto name = M().english_language_names.find(M().user_lcid);
  if (name == M().english_language_names.end() || name->second.size() + 1 > 100) {
    return std::string(100, ' ');
  }
  return BeforeNul(name->second);
}

// The colour count and whether working it out overflows.
int32_t ExpectedDisplayColors(bool* overflows) {
  *overflows = false;
  if (!AllCallable("GetDC", "GetDeviceCaps")) return 0;
  const int64_t depth = int64_t{M().planes} * M().bits_per_pixel;
  if (depth < INT32_MIN || depth > INT32_MAX) {
    *overflows = true;
    return 0;
  }
  if (depth == 32) return -1;
  const double colours = std::nearbyint(std::pow(2.0, static_cast<double>(depth)));
  if (!(colours >= -2147483648.0 && colours <= 2147483647.0)) {
    *overflows = true;
    return 0;
  }
  return static_cast<int32_t>(colours);
}

// The program's path as the program reads it: a path longer than the largest buffer it offers
// comes back cut, with the terminating NUL in the last place.
std::optional<std::string> ExpectedExecutablePath() {
  if (!Callable("GetModuleFileNameA")) return std::nullopt;
  constexpr size_t kLastBuffer = 33280;
  const std::string& name = M().module_file_name;
  if (name.size() < kLastBuffer) return name;
  return name.substr(0, kLastBuffer - 1) + '\0';
}

std::optional<std::string> ExpectedProgramFolder() {
  const std::optional<std::string> executable = ExpectedExecutablePath();
  if (!executable) return std::nullopt;
  const size_t separator = executable->rfind('\\');
  if (separator == std::string::npos) return std::string();
  const bool drive_root = separator == 2 && (*executable)[1] == ':';
  return executable->substr(0, drive_root ? separator + 1 : separator);
}

// What the shell names for the probe file, or "Browser non trovato". Worked out before the
// pass, while any probe file the pass makes does not exist yet.
std::string ForecastBrowserPath() {
  const std::string not_found = "Browser non trovato";
  const std::optional<std::string> folder = ExpectedProgramFolder();
  if (!folder) return not_found;
  const std::string probe = InFolder(*folder, kProbeFile);
  // The shell is asked about the name in the folder, which is relative when the folder is empty.
  const std::string asked = folder->empty() ? std::string(kProbeFile) : probe;
  bool exists = sim::Resolve(asked).has_value();
  const std::optional<std::string> parent = sim::Resolve(Parent(probe));
  // "\\server\name" names a share, where no file can be made.
  const bool share_root =
      probe.rfind("\\\\", 0) == 0 && std::count(probe.begin(), probe.end(), '\\') < 4;
  if (Callable("CreateFileA") && parent && !share_root && !sim::Resolve(probe) &&
      probe.size() < 260 &&
      (M().files.at(*parent).attributes & platform::kFileAttributeReadOnly) == 0) {
    // The file the pass makes, put in place for the look-ups and then taken away again.
    auto& files = M().files;
    const std::string made = *parent + "\\" + kProbeFile;
    const auto had = files.find(made);
    const std::optional<sim::File> previous =
        had == files.end() ? std::nullopt : std::optional<sim::File>(had->second);
    files[made] = {platform::kFileAttributeNormal, "", std::nullopt};
    exists = sim::Resolve(asked).has_value();
    if (previous) {
      files[made] = *previous;
    } else {
      files.erase(made);
    }
  }
  const std::optional<std::string>& program = M().htm_program;
  if (exists && program && Callable("FindExecutableA")) {
    // Whatever the family writes after the path, the path ends at a control character and
    // loses the blanks at its end.
    std::string path = program->substr(0, 259);
    path.resize(std::find_if(path.begin(), path.end(),
                             [](char c) { return static_cast<unsigned char>(c) < ' '; }) -
                path.begin());
    return path.substr(0, path.find_last_not_of(' ') + 1);
  }
  return not_found;
}

// ---------------------------------------------------------------------------------------------
// The machine, built from the input.

enum class Action { Copy, Close, DownloadMicrosoft, DownloadSun, Resize, CloseBox, AnyControl };

struct Step {
  Action action = Action::Copy;
  double width = 0, height = 0;
  ControlId control = 0;
};

enum class Call { LongName, Version, Registry, TempFile, SetComputerName, Shell };

struct DirectCall {
  Call call = Call::LongName;
  std::string text, key, name;
  RegistryKey root = 0;
};

struct Plan {
  std::vector<Step> steps;
  std::vector<DirectCall> calls;
  std::set<int> failing_writes;  // ordinals of the control text writes that fail, from 1
};

std::string PathOf(Input& in, size_t longest) {
  const std::string system_folder = M().system_directory.value_or("");
  switch (in.Byte() % 7) {
    case 1:
      return M().htm_program.value_or("");
    case 2:
      return InFolder(system_folder, "msjava.dll");
    case 3:
      return InFolder(system_folder, "ZoneLabs\\VSMON.EXE");
    case 4:
      return InFolder(Parent(M().module_file_name), kProbeFile);
    case 5:
      return M().module_file_name;
    case 6:
      return InFolder(M().windows_directory.value_or(""), in.Text(longest));
    default:
      return in.Text(longest);
  }
}

uint32_t Attributes(Input& in) {
  static constexpr uint32_t kAttributes[] = {
      platform::kFileAttributeNormal, platform::kFileAttributeReadOnly,
      platform::kFileAttributeHidden, platform::kFileAttributeSystem,
      platform::kFileAttributeDirectory};
  const uint8_t how = in.Byte();
  if (how % 6 == 5) return in.U32();
  return kAttributes[how % 6];
}

uint32_t RegistryType(Input& in) {
  const uint8_t how = in.Byte();
  if (how % 10 == 9) return in.U32();
  if (how % 10 == 8) return 11;  // REG_QWORD
  return how % 10;
}

RegistryKey Root(Input& in) {
  switch (in.Byte() % 4) {
    case 0:
      return kHkeyLocalMachine;
    case 1:
      return kHkeyCurrentUser;
    case 2:
      return 0x80000000;  // HKEY_CLASSES_ROOT, which the machine has none of
    default:
      return in.U32();
  }
}

// Files whose paths the code builds itself stay below this length; the model adds the folders
// above a file one by one.
constexpr size_t kLongestFilePath = 600;
constexpr size_t kLongestText = 70000;

// The family of Windows that reports such a version: the version library, the shell and the
// registry answer as it does.
sim::WindowsFamily FamilyOf(const sim::VersionRecord& version) {
  if (version.platform_id == 1) return sim::WindowsFamily::k9x;
  if (version.platform_id == 2 && version.major == 4) return sim::WindowsFamily::kNt4;
  return sim::WindowsFamily::kNt;
}

void Decode(Input& in, Plan& plan) {
  sim::Machine& m = M();
  for (int op = 0; op < 256 && !in.Done(); ++op) {
    switch (in.Byte() % 26) {
      case 0: {  // a value where the program looks
        const RegistryLocation& at = *kLocations[in.Byte() % kLocationCount];
        const uint32_t type = RegistryType(in);
        const bool read_fails = in.Flag();
        sim::SetValue(at.root, at.key_path, at.value_name, {type, in.Blob(), read_fails});
        break;
      }
      case 1: {  // a value or an empty key anywhere
        const RegistryKey root = Root(in);
        const std::string key = in.Text(300);
        if (in.Flag()) {
          m.registry[root][key];
        } else {
          const std::string name = in.Text(300);
          const uint32_t type = RegistryType(in);
          const bool read_fails = in.Flag();
          sim::SetValue(root, key, name, {type, in.Blob(), read_fails});
        }
        break;
      }
      case 2: {  // a file or folder
        const std::string path = PathOf(in, kLongestFilePath);
        sim::File file;
        file.attributes = Attributes(in);
        file.short_name = in.Text(20);
        if (in.Flag()) file.version_resource = in.Blob();
        if (!path.empty() && path.size() <= kLongestFilePath) sim::AddFile(path, file);
        break;
      }
      case 3: {  // a short name for a file or one of the folders above it
        const std::optional<std::string> stored = sim::Resolve(PathOf(in, kLongestFilePath));
        int up = in.Byte() % 4;
        const std::string short_name = in.Text(20);
        if (!stored) break;
        std::string path = *stored;
        for (; up > 0 && path.find('\\') != std::string::npos; --up) path = Parent(path);
        m.files[path].short_name = short_name;
        break;
      }
      case 4:
        m.htm_program = in.OptionalText(2000);
        break;
      case 5:
        m.module_file_name = in.Text(kLongestText);
        break;
      case 6:
        m.system_directory = in.OptionalText(2000);
        break;
      case 7:
        m.windows_directory = in.OptionalText(2000);
        break;
      case 8:
        m.bits_per_pixel = in.Signed();
        m.planes = in.Signed();
        m.logical_pixels_x = in.Signed();
        break;
      case 9:
        m.version.fails = in.Flag();
        m.version.major = in.Number();
        m.version.minor = in.Number();
        m.version.build = in.Number();
        m.version.platform_id = in.Number();
        m.version.csd = in.Text(400);
        break;
      case 10:
        m.user_lcid = in.Number();
        break;
      case 11: {
        const uint32_t lcid = in.Number();
        m.english_language_names[lcid] = in.Text(300);
        break;
      }
      case 12:
        if (in.Flag()) {
          m.work_area.reset();
        } else {
          m.work_area = platform::RECT{in.Signed(), in.Signed(), in.Signed(), in.Signed()};
        }
        break;
      case 13:
        m.temp_path = in.OptionalText(600);
        break;
      case 14:
        m.computer_name = in.OptionalText(300);
        break;
      case 15:
        m.user_name = in.OptionalText(300);
        break;
      case 16:
        m.hardware_profile_name = in.OptionalText(300);
        break;
      case 17:
        m.uncallable.insert(kEntryPoints[in.Byte() % kEntryPointCount]);
        break;
      case 18: {
        static constexpr int32_t kAnswers[] = {platform::kIdOk, platform::kIdYes, platform::kIdNo,
                                               2 /* IDCANCEL */};
        const uint8_t how = in.Byte();
        m.message_box_answers.push_back(how % 5 == 4 ? in.Signed() : kAnswers[how % 5]);
        break;
      }
      case 19: {
        const uint8_t faults = in.Byte();
        m.global_alloc_fails = faults & 1;
        m.global_lock_fails = faults & 2;
        m.unlock_leaves_locked = faults & 4;
        m.clipboard_held_elsewhere = faults & 8;
        m.set_clipboard_fails = faults & 16;
        m.shell_starts_process = (faults & 32) == 0;
        // The shell's answer, as a 32-bit system hands it back.
        if (faults & 64) m.shell_result = in.Signed();
        break;
      }
      case 20:
        plan.failing_writes.insert(in.Byte() % 48 + 1);
        break;
      case 21: {  // the clipboard already holds a text
        const std::vector<uint8_t> bytes = in.Blob();
        const platform::GlobalHandle block = m.next_block++;
        if (m.clipboard_text) m.global_blocks.erase(*m.clipboard_text);
        m.global_blocks[block] = {bytes, 0};
        m.clipboard_text = block;
        break;
      }
      case 22: {
        const std::vector<uint8_t> bytes = in.Take(16);
        platform::GUID guid{};
        if (!bytes.empty()) std::memcpy(&guid, bytes.data(), bytes.size());
        m.next_guids.push_back(guid);
        break;
      }
      case 23: {
        const uint8_t which = in.Byte();
        std::optional<int32_t> setting;
        if (in.Flag()) setting = in.Signed();
        if (which % 3 == 0) m.beep = setting;
        if (which % 3 == 1) m.screen_saver_active = setting;
        if (which % 3 == 2) m.screen_saver_timeout = setting;
        break;
      }
      case 24: {  // what the user does once the window is shown
        Step step;
        step.action = static_cast<Action>(in.Byte() % 7);
        if (step.action == Action::Resize) {
          step.width = in.Signed() / 4.0;
          step.height = in.Signed() / 4.0;
        }
        if (step.action == Action::AnyControl) step.control = in.Byte() % 14;
        plan.steps.push_back(step);
        break;
      }
      default: {  // a support routine called directly
        DirectCall call;
        call.call = static_cast<Call>(in.Byte() % 6);
        if (call.call == Call::Registry) {
          call.root = Root(in);
          if (in.Flag()) {
            const RegistryLocation& at = *kLocations[in.Byte() % kLocationCount];
            call.key = at.key_path;
            call.name = at.value_name;
          } else {
            call.key = in.Text(300);
            call.name = in.Text(300);
          }
        } else {
          call.text = PathOf(in, kLongestText);
        }
        plan.calls.push_back(call);
        break;
      }
    }
  }
  m.family = FamilyOf(m.version);
}

// ---------------------------------------------------------------------------------------------
// The report pass and the commands.

struct WriteWatch {
  int writes = 0;
  std::set<ControlId> failed;  // controls one of whose writes failed
  bool last_report_write_failed = false;
};

const sim::SimControl& Native(const Control& control) {
  return M().form.controls.at(static_cast<size_t>(control.Id()));
}

bool Live() { return M().form.shown && !M().form.unloaded; }

std::string ExpectedRegistryLine(const RegistryLocation& at) {
  const std::string text = ExpectedText(at);
  return std::string("\r\n") + at.label + (text.empty() ? "Non trovato" : text);
}

// The whole report as the pass writes it when no write fails. The browser's long name and
// version come from the routines themselves; they are checked against the model on their own.
std::string ExpectedReport(const std::string& browser_path, bool* colours_overflow) {
  const VersionFacts v = ExpectedVersion();
  const std::string system_folder = ExpectedFolder("GetSystemDirectoryA", M().system_directory);
  const int32_t colours = ExpectedDisplayColors(colours_overflow);
  std::string r = std::string(kTitle) + "\r\n\r\n";
  r += "WindowsType = " + ExpectedFamily(v) + " (" + v.csd + ")\r\n";
  r += "Version = " + std::to_string(v.major) + "." + std::to_string(v.minor) + "\r\n";
  r += "OSBuild = " + std::to_string(v.build) + "\r\n";
  r += "Language = " + ExpectedLanguage() + "\r\n";
  r += "SystemDirectory = " + system_folder + "\r\n";
  r += "WindowsDirectory = " + ExpectedFolder("GetWindowsDirectoryA", M().windows_directory) +
       "\r\n";
  r += "DisplayColors = " + (colours == -1 ? "True Color" : std::to_string(colours)) + "\r\n";

  r += "\r\nBrowser predefinito = ";
  if (PresentInReport(browser_path)) {
    r += modAPIFilesAndPaths::GetLongFileName(browser_path) + " versione " +
         modAPIFilesAndPaths::GetFileVersion(browser_path);
  } else {
    r += "Non trovato";
  }
  r += ExpectedRegistryLine(kInternetExplorer);
  r += ExpectedRegistryLine(kNetscape);

  const std::string java_web_start = ExpectedText(kJavaWebStart);
  r += "\r\nJava Web Start (Sun) = " + (java_web_start.empty() ? "Non installata" : java_web_start);
  const std::string msjava = InFolder(system_folder, "msjava.dll");
  r += "\r\nJVM Microsoft = " +
       (PresentInReport(msjava) ? ExpectedFileVersion(msjava) : "Non installata") + "\r\n";

  const std::string vsmon = InFolder(system_folder, "ZoneLabs\\VSMON.EXE");
  r += "\r\nZone Alarm firewall = " +
       (PresentInReport(vsmon) ? ExpectedFileVersion(vsmon) : "Non trovato");
  for (const RegistryLocation& firewall : kFirewalls) r += ExpectedRegistryLine(firewall);
  return r + "\r\n";
}

bool IsSubsequence(const std::string& piece, const std::string& whole) {
  size_t at = 0;
  for (const char c : piece) {
    at = whole.find(c, at);
    if (at == std::string::npos) return false;
    ++at;
  }
  return true;
}

// Every message box is a procedure error report or the service pack question.
void CheckMessageBoxes(size_t from) {
  const sim::Machine& m = M();
  for (size_t i = from; i < m.message_boxes.size(); ++i) {
    const sim::MessageBoxCall& box = m.message_boxes[i];
    if (box.caption == "Sondrel") {
      Require(box.text == kServicePack4Question, "the program's own box asks the question");
      Require(box.type == (platform::kMbYesNo | platform::kMbIconInformation),
              "the question offers yes and no");
      continue;
    }
    Require(kProcedures.count(box.caption) == 1, "an error report is titled with its procedure");
    Require(box.type == (platform::kMbOk | platform::kMbTaskModal),
            "an error report is modal to the program and offers OK only, with no icon");
    const std::string entry_point_prefix = "Error: 453. Can't find DLL entry point ";
    if (box.text.rfind(entry_point_prefix, 0) == 0) {
      Require(m.uncallable.count(box.text.substr(entry_point_prefix.size())) == 1,
              "only an uncallable entry point is reported missing");
    } else {
      Require(box.text == "Error: 6. Overflow" || box.text == "Error: 7. Out of memory",
              "an error report is one of the errors the code raises");
    }
  }
}

size_t OverflowReports(size_t from) {
  const auto& boxes = M().message_boxes;
  return static_cast<size_t>(std::count_if(
      boxes.begin() + static_cast<std::ptrdiff_t>(from), boxes.end(),
      [](const sim::MessageBoxCall& box) { return box.text == "Error: 6. Overflow"; }));
}

bool CopyCanSucceed() {
  const sim::Machine& m = M();
  return AllCallable("GlobalAlloc", "GlobalLock", "lstrcpyA", "GlobalUnlock", "OpenClipboard",
                     "EmptyClipboard", "SetClipboardData") &&
         !m.global_alloc_fails && !m.global_lock_fails && !m.unlock_leaves_locked &&
         !m.clipboard_held_elsewhere && !m.clipboard_open && !m.set_clipboard_fails;
}

void CheckCopy(const std::string& report, bool can_succeed,
               const std::optional<std::vector<uint8_t>>& held_before) {
  const std::optional<std::vector<uint8_t>> held = sim::ClipboardBytes();
  if (can_succeed) {
    const std::string text = TrimSpaces(report);
    std::vector<uint8_t> expected(text.size() + 1, 0);
    const std::string copied = BeforeNul(text);
    std::copy(copied.begin(), copied.end(), expected.begin());
    Require(held == expected, "the clipboard holds the report without its outer spaces");
  } else if (M().clipboard_held_elsewhere || !Callable("OpenClipboard")) {
    Require(held == held_before, "a clipboard that cannot be opened keeps what it had");
  }
}

// Clicks a control as the window toolkit does: a run-time error that escapes the handler is
// shown by the toolkit and the window goes on.
void ClickAsToolkit(ControlId control) {
  try {
    sim::Click(control);
  } catch (const runtime::Error& error) {
    Require(error.Number() == runtime::kEntryPointNotFound && !Callable("MessageBoxA"),
            "only the question's own box can fail a click");
  }
}

void ClickDownload(frmMain& form, int index) {
  sim::Machine& m = M();
  if (!Live() || !Native(form.btnDownload[index]).enabled) return;
  const size_t requests = m.shell_requests.size();
  const size_t boxes = m.message_boxes.size();
  const bool asks = index == 0 && form.Text1.Text().find("Service Pack 4") != std::string::npos;
  const bool declines = asks && Callable("MessageBoxA") && !m.message_box_answers.empty() &&
                        m.message_box_answers.front() == platform::kIdNo;
  ClickAsToolkit(form.btnDownload[index].Id());
  if (asks && Callable("MessageBoxA")) {
    Require(m.message_boxes.size() > boxes && m.message_boxes[boxes].caption == "Sondrel",
            "the Microsoft download on Service Pack 4 asks first");
  } else {
    Require(m.message_boxes.size() == boxes ||
                (m.message_boxes[boxes].caption == "LaunchURL" && !Callable("ShellExecuteA")),
            "a download asks nothing else");
  }
  if (declines || (asks && !Callable("MessageBoxA"))) {
    Require(m.shell_requests.size() == requests && Live(), "a declined download does nothing");
    return;
  }
  Require(!Live(), "a download closes the window");
  if (!Callable("ShellExecuteA")) return;
  Require(m.shell_requests.size() == requests + 1, "a download opens one address");
  const sim::ShellRequest& request = m.shell_requests.back();
  Require(!request.extended && !request.verb && !request.parameters && !request.directory &&
              request.show == platform::kSwShowNormal && request.owner == kFormHandle,
          "the address is opened with the default verb, shown normally");
  Require(request.file == (index == 0 ? kMicrosoftVmAddress : kSunJavaAddress),
          "each download opens its own address");
}

void ClickCopy(frmMain& form) {
  if (!Live()) return;
  const bool can_succeed = CopyCanSucceed();
  const std::optional<std::vector<uint8_t>> held_before = sim::ClipboardBytes();
  ClickAsToolkit(form.btnCopy.Id());
  Require(Live(), "copying keeps the window");
  CheckCopy(form.Text1.Text(), can_succeed, held_before);
}

void CheckLayout(frmMain& form) {
  const sim::SimForm& f = M().form;
  const platform::toolkit::Bounds& bar = Native(form.Picture1).bounds;
  const platform::toolkit::Bounds& text = Native(form.Text1).bounds;
  Require(bar.top == f.client_height - bar.height && bar.width == f.client_width,
          "the bottom bar is docked to the bottom edge");
  Require(text.height >= 0 && text.top == 60 + 1095 + 100,
          "the report box starts below the panels and is never of negative height");
}

void RunSteps(frmMain& form, const Plan& plan) {
  for (const Step& step : plan.steps) {
    if (!Live()) return;
    switch (step.action) {
      case Action::Copy:
        ClickCopy(form);
        break;
      case Action::Close:
        ClickAsToolkit(form.btnClose.Id());
        Require(!Live(), "Chiudi closes the window");
        break;
      case Action::DownloadMicrosoft:
        ClickDownload(form, 0);
        break;
      case Action::DownloadSun:
        ClickDownload(form, 1);
        break;
      case Action::Resize:
        sim::ResizeClient(step.width, step.height);
        CheckLayout(form);
        break;
      case Action::CloseBox:
        sim::PressCloseBox();
        break;
      case Action::AnyControl:
        ClickAsToolkit(step.control);
        break;
    }
  }
}

// Shows the window with the plan's failing writes, checks the report and the panels against the
// model, then takes the plan's steps and presses every button.
void RunReport(const Plan& plan) {
  sim::Machine& m = M();
  WriteWatch watch;
  const frmMain* shown = nullptr;
  m.form.before_set_text = [&](ControlId control) {
    const bool fails = plan.failing_writes.count(++watch.writes) == 1;
    if (shown != nullptr && control == shown->Text1.Id()) watch.last_report_write_failed = fails;
    if (!fails) return;
    watch.failed.insert(control);
    throw std::runtime_error("the write fails");
  };
  const std::string browser_path = ForecastBrowserPath();
  const size_t boxes = m.message_boxes.size();

  frmMain form;
  shown = &form;
  form.Show();
  m.form.before_set_text = nullptr;
  Require(Live(), "the window is shown after the pass");
  CheckMessageBoxes(boxes);
  const size_t pass_boxes = m.message_boxes.size() - boxes;
  CheckLayout(form);

  const std::string report = form.Text1.Text();
  // For looking at an input by hand: REPORT_FUZZER_SHOW=1 report_fuzzer FILE
  if (std::getenv("REPORT_FUZZER_SHOW") != nullptr) {
    std::fprintf(stderr, "%s\n", report.c_str());
    for (const sim::MessageBoxCall& box : m.message_boxes) {
      std::fprintf(stderr, "[box] %s: %s\n", box.caption.c_str(), box.text.c_str());
    }
  }
  const bool any_failed = !watch.failed.empty();
  const bool report_failed = watch.failed.count(form.Text1.Id()) == 1;
  if (!watch.last_report_write_failed) {
    Require(report.size() >= 2 && report.compare(report.size() - 2, 2, "\r\n") == 0,
            "the report ends with a line break");
  }
  const size_t before_expected = m.message_boxes.size();
  bool colours_overflow = false;
  const std::string expected = ExpectedReport(browser_path, &colours_overflow);
  m.message_boxes.resize(before_expected);  // the routines called for it report nothing new
  if (!report_failed) {
    RequireEqual(report, expected, "the report");
  } else {
    Require(IsSubsequence(report, "Text1" + expected),
            "a report with failed writes lacks only the failed pieces");
  }
  if (m.uncallable.empty()) {
    Require(pass_boxes == (colours_overflow ? 2u : 0u),
            "on a machine with every entry point the pass reports only a colour overflow, twice");
  } else {
    Require(OverflowReports(boxes) <= 2, "the pass overflows at most in the colour count, twice");
  }

  // The two Java panels.
  const std::string java_web_start = ExpectedText(kJavaWebStart);
  const std::string system_folder = ExpectedFolder("GetSystemDirectoryA", m.system_directory);
  const std::string msjava = InFolder(system_folder, "msjava.dll");
  const bool panel_installed[2] = {PresentInReport(msjava), !java_web_start.empty()};
  const std::string label[2] = {
      panel_installed[0] ? "Versione " + ExpectedFileVersion(msjava) : "Non installata",
      panel_installed[1] ? "Versione " + java_web_start : "Non installata"};
  for (int panel : {0, 1}) {
    Require(Native(form.Pict[panel]).picture ==
                (panel_installed[panel] ? Picture::Tick : Picture::Cross),
            "a panel shows the tick exactly when its runtime is there");
    Require(Native(form.btnDownload[panel]).enabled == !panel_installed[panel],
            "a panel's Download is enabled exactly when its runtime is missing");
    const std::string& text = Native(form.lblVersion[panel]).text;
    if (!any_failed) {
      RequireEqual(text, label[panel], "a panel's version label");
    } else {
      Require(text == label[panel] || text == "lblVersion", "a panel's version label");
    }
  }

  RunSteps(form, plan);
  ClickCopy(form);
  ClickDownload(form, 0);
  ClickDownload(form, 1);
  if (Live()) {
    ClickAsToolkit(form.btnClose.Id());
    Require(!Live(), "Chiudi closes the window");
  }
  CheckMessageBoxes(boxes);
}

// ---------------------------------------------------------------------------------------------
// The support routines and the classes, called directly.

void CheckLongName(const std::string& path) {
  const std::string result = modAPIFilesAndPaths::GetLongFileName(path);
  if (!AllCallable("FindFirstFileA")) {
    Require(result.empty(), "a long name that cannot be searched for is empty");
    return;
  }
  const std::optional<std::string> stored = sim::Resolve(path);
  if (!stored || stored->find('\\') == std::string::npos) {
    Require(result.empty(), "a path that names no entry has no long name");
    return;
  }
  // "X:\a\b" with every component present gives the stored path, the drive as given.
  const bool drive_path = path.size() >= 4 && path[1] == ':' && path[2] == '\\' &&
                          path.find("\\\\") == std::string::npos && path.back() != '\\' &&
                          path.find('\0') == std::string::npos;
  if (drive_path && stored->size() < 260 && stored->find('\0') == std::string::npos) {
    Require(sim::SameName(result, *stored), "the long name is the stored path");
  }
}

void CheckRegistryRead(RegistryKey root, const std::string& key, const std::string& name) {
  const modRegistry::RegistryValue value = modRegistry::RegistryGetKeyValue(root, key, name);
  if (root == kHkeyCurrentUser || root == kHkeyLocalMachine || M().open_keys.empty()) {
    Require(value == ExpectedRegistryValue(root, key, name), "the value read is the value stored");
  }
  Require(modRegistry::ValueText(value) == ExpectedValueText(value), "the value's text");
}

void CheckShell(const std::string& text) {
  sim::Machine& m = M();
  const int32_t answer = static_cast<int32_t>(m.shell_result);
  const int32_t status = answer > 32 ? -1 : answer;
  {
    CShellExecute shell;
    Require(shell.LaunchURL(1, text) == (Callable("ShellExecuteA") ? status : 0),
            "a launch returns the shell's status");
    shell.LaunchProgram(1, text, text, text);
    const bool running = AllCallable("ShellExecuteExA", "GetExitCodeProcess") && answer > 32 &&
                         m.shell_starts_process;
    Require(shell.StillExecuting() == running, "a started program is still running");
    shell.LaunchDocument(1, text, text);
    shell.Explore(1, text);
    shell.LaunchEmail(1, text);
    shell.LaunchFolder(1, text);
    shell.LaunchProgram(1, text);
    shell.PrintDocument(1, text);
    shell.LaunchProgram(1, text);
  }
}

void CheckDirectCalls(const Plan& plan) {
  COSInfo os;
  for (const DirectCall& call : plan.calls) {
    switch (call.call) {
      case Call::LongName:
        CheckLongName(call.text);
        break;
      case Call::Version:
        RequireEqual(modAPIFilesAndPaths::GetFileVersion(call.text), ExpectedFileVersion(call.text),
                     "a file's version");
        break;
      case Call::Registry:
        CheckRegistryRead(call.root, call.key, call.name);
        break;
      case Call::TempFile: {
        const std::string name = os.TempFile(call.text);
        Require(name.find('\0') == std::string::npos && name.size() <= 260,
                "a temporary name is one text of at most MAX_PATH characters");
        break;
      }
      case Call::SetComputerName: {
        const std::string before = os.ComputerName();
        os.ComputerName(call.text);
        Require(os.ComputerName() == before, "the running system keeps its computer name");
        break;
      }
      case Call::Shell:
        CheckShell(call.text);
        break;
    }
  }
  // The paths and values the report uses, always.
  const std::string system_folder = M().system_directory.value_or("");
  for (const std::string& path :
       {M().htm_program.value_or(""), InFolder(system_folder, "msjava.dll"),
        InFolder(system_folder, "ZoneLabs\\VSMON.EXE"), M().module_file_name}) {
    CheckLongName(path);
    RequireEqual(modAPIFilesAndPaths::GetFileVersion(path), ExpectedFileVersion(path),
                 "a file's version");
  }
  for (const RegistryLocation* at : kLocations) {
    CheckRegistryRead(at->root, at->key_path, at->value_name);
  }
}

std::string ExpectedName(const char* entry_point, const std::optional<std::string>& name,
                         size_t buffer) {
  if (!Callable(entry_point) || !name || name->size() + 1 > buffer) return "";
  return BeforeNul(*name);
}

std::string GuidText(const platform::GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

void CheckEveryMember(Input& in) {
  sim::Machine& m = M();
  const COSInfo os;
  const VersionFacts v = ExpectedVersion();
  const bool settings = Callable("SystemParametersInfoA");

  RequireEqual(os.ComputerName(), ExpectedName("GetComputerNameA", m.computer_name, 100),
               "ComputerName");
  RequireEqual(os.UserName(), ExpectedName("GetUserNameA", m.user_name, 100), "UserName");
  std::string temp = ExpectedName("GetTempPathA", m.temp_path, 255);
  if (Callable("GetTempPathA") && (!m.temp_path || m.temp_path->size() + 1 > 255)) {
    temp = std::string(255, ' ');
  }
  RequireEqual(os.TempPath(), temp, "TempPath");
  const std::string temp_file = os.TempFile(in.Text(40));
  Require(temp_file.find('\0') == std::string::npos && temp_file.size() <= 260, "TempFile");
  std::string profile;
  if (Callable("GetCurrentHwProfileA") && m.hardware_profile_name) {
    profile = BeforeNul(m.hardware_profile_name->substr(0, 79));
  }
  RequireEqual(os.CurrentHardwareProfile(), profile, "CurrentHardwareProfile");
  std::string guid;
  if (Callable("CoCreateGuid")) {
    guid = GuidText(m.next_guids.empty() ? platform::GUID{} : m.next_guids.front());
  }
  RequireEqual(os.GUID(), guid, "GUID");
  RequireEqual(os.DefaultCompanyName(), ExpectedText(kDefCompany), "DefaultCompanyName");
  RequireEqual(os.DefaultUserName(), ExpectedText(kDefName), "DefaultUserName");

  bool overflows = false;
  Require(os.DisplayColors() == ExpectedDisplayColors(&overflows), "DisplayColors");
  Require(os.LargeFonts() == (AllCallable("GetDC", "GetDeviceCaps") && m.logical_pixels_x == 120),
          "LargeFonts");
  RequireEqual(os.Language(), ExpectedLanguage(), "Language");
  RequireEqual(os.OSAdditional(), v.csd, "OSAdditional");
  Require(os.OSBuild() == v.build, "OSBuild");
  Require(os.OSMajorVersion() == v.major, "OSMajorVersion");
  Require(os.OSMinorVersion() == v.minor, "OSMinorVersion");
  Require(os.WindowsType() == v.platform_id, "WindowsType");
  RequireEqual(os.SystemDirectory(), ExpectedFolder("GetSystemDirectoryA", m.system_directory),
               "SystemDirectory");
  RequireEqual(os.WindowsDirectory(), ExpectedFolder("GetWindowsDirectoryA", m.windows_directory),
               "WindowsDirectory");

  Require(os.Beep() == (settings && m.beep.value_or(0) != 0), "Beep");
  Require(os.ScreenSaverActive() == (settings && m.screen_saver_active.value_or(0) != 0),
          "ScreenSaverActive");
  Require(os.ScreenSaverTimeout() == (settings ? m.screen_saver_timeout.value_or(0) : 0),
          "ScreenSaverTimeout");
  const bool beep = in.Flag();
  const bool active = in.Flag();
  const int32_t timeout = in.Signed();
  os.Beep(beep);
  os.ScreenSaverActive(active);
  os.ScreenSaverTimeout(timeout);
  if (settings) {
    Require(
        os.Beep() == beep && os.ScreenSaverActive() == active && os.ScreenSaverTimeout() == timeout,
        "a desktop setting written is read back");
  }

  // The work area, into parameters that hold something else first.
  const int16_t start[4] = {static_cast<int16_t>(in.U16()), static_cast<int16_t>(in.U16()),
                            static_cast<int16_t>(in.U16()), static_cast<int16_t>(in.U16())};
  int16_t area[4] = {start[0], start[1], start[2], start[3]};
  os.GetWorkArea(area[0], area[1], area[2], area[3]);
  if (settings) {
    const platform::RECT r = m.work_area.value_or(platform::RECT{0, 0, 0, 0});
    const int64_t wanted[4] = {r.left, r.top, int64_t{r.right} - r.left, int64_t{r.bottom} - r.top};
    bool overflowed = false;
    for (int i = 0; i < 4; ++i) {
      overflowed = overflowed || wanted[i] < INT16_MIN || wanted[i] > INT16_MAX;
      Require(area[i] == (overflowed ? start[i] : wanted[i]),
              "the work area's values up to an overflow are set, the rest kept");
    }
  } else {
    Require(std::equal(area, area + 4, start), "a work area that cannot be read changes nothing");
  }
}

void CheckNothingHeld() {
  const sim::Machine& m = M();
  Require(m.open_keys.empty() || !Callable("RegCloseKey"), "every registry key is closed");
  Require(m.open_searches.empty() || !Callable("FindClose"), "every search is closed");
  Require(m.open_files.empty() || !Callable("CloseHandle"), "every file handle is closed");
  Require(m.open_processes.empty() || !Callable("CloseHandle"), "every process handle is closed");
  Require(m.open_device_contexts.empty() || !Callable("ReleaseDC"),
          "every device context is released");
  Require(!m.clipboard_open || !Callable("CloseClipboard"), "the clipboard is closed");
  if (Callable("GlobalFree")) {
    Require(m.global_blocks.size() <= 1, "at most one global block, the clipboard's, is held");
    if (m.global_blocks.size() == 1) {
      Require(m.clipboard_text && m.global_blocks.count(*m.clipboard_text) == 1,
              "the one global block held is the clipboard's");
    }
  }
  // A copy that fails between lock and unlock leaves its block locked; it is freed at once, so
  // only a block that cannot be freed stays locked.
  if (!m.unlock_leaves_locked && Callable("GlobalUnlock") &&
      (Callable("lstrcpyA") || Callable("GlobalFree"))) {
    for (const auto& [handle, block] : m.global_blocks) {
      (void)handle;
      Require(block.locks == 0, "no global block stays locked");
    }
  }
}

bool SameFile(const sim::File& a, const sim::File& b) {
  return a.attributes == b.attributes && a.short_name == b.short_name &&
         a.version_resource == b.version_resource;
}

// The report makes no lasting file: one it made it deletes, one the user had it leaves alone.
void CheckFilesUnchanged(const std::map<std::string, sim::File, sim::NoCaseLess>& before) {
  const auto& after = M().files;
  for (const auto& [path, file] : before) {
    const auto now = after.find(path);
    Require(now != after.end() && now->first == path && SameFile(now->second, file),
            "every file the machine had is left as it was");
  }
  for (const auto& [path, file] : after) {
    if (before.count(path) == 1) continue;
    (void)file;
    const std::string name = path.substr(path.rfind('\\') + 1);
    Require(!Callable("DeleteFileA") && sim::SameName(name, kProbeFile),
            "only a probe file that could not be deleted is left behind");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Reset();
  Input in(data, size);
  Plan plan;
  Decode(in, plan);
  const auto files_before = M().files;

  RunReport(plan);
  CheckNothingHeld();
  CheckFilesUnchanged(files_before);

  const size_t boxes = M().message_boxes.size();
  CheckDirectCalls(plan);
  CheckEveryMember(in);
  CheckMessageBoxes(boxes);
  CheckNothingHeld();
  CheckFilesUnchanged(files_before);
  return 0;
}
