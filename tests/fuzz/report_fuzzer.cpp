// Decodes the input into a simulated machine, runs the whole report pass and the commands on it,
// calls the support routines and every COSInfo member, and aborts when anything the code
// promises does not hold: a handle left open, a stray file, a message box that is neither an
// error report nor the question, a report out of shape, or a value that is not the text it must
// give.
//
// The input plants values of two sorts. A known one comes with the text it must give, written
// here beside it: a REG_SZ holding T gives T, a version resource of a.b.c.d gives "a.b.c.d", the
// version record of Windows 98 Second Edition gives its WindowsType line. A damaged one (random
// bytes) has no answer known beforehand, so where it reaches, only the labels and the report's
// shape are checked; nothing here works out an answer the way the program does.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "osinfo/COSInfo.h"
#include "platform/base/runtime_error.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine.h"
#include "platform/toolkit.h"
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
using sim::WindowsFamily;

// ---------------------------------------------------------------------------------------------
// Failing an invariant ends the run where it is, so libFuzzer keeps the input.

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "report_fuzzer: invariant violated: %s\n", what);
  std::abort();
}

void RequireEqual(const std::string& actual, const std::string& expected, const char* what) {
  if (actual == expected) return;
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  const size_t from = at < 40 ? 0 : at - 40;
  std::fprintf(stderr, "report_fuzzer: %s differs at %zu\n  actual:   [%s]\n  expected: [%s]\n",
               what, at, actual.substr(from, 120).c_str(), expected.substr(from, 120).c_str());
  Require(false, what);
}

std::string Literal(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }
std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The words of a text, as they lie between the separators.
std::vector<std::string> Words(const std::string& text, char separator = ' ') {
  std::vector<std::string> words;
  for (size_t start = 0, end = 0; start <= text.size(); start = end + 1) {
    end = std::min(text.find(separator, start), text.size());
    words.push_back(text.substr(start, end - start));
  }
  return words;
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
  template <typename T, size_t N>
  const T& Pick(const T (&rows)[N]) {
    return rows[Byte() % N];
  }

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
    if (how % 4 == 0) return how >> 2;
    if (how % 4 == 1) return Pick(kTelling);
    if (how % 4 == 2) return U32();
    return static_cast<uint32_t>(-static_cast<int32_t>(how >> 2));
  }
  int32_t Signed() { return static_cast<int32_t>(Number()); }

  // Printable text of at most longest characters, for values whose text is known.
  std::string Plain(size_t longest) {
    std::string text(Byte() % (longest + 1), ' ');
    for (char& c : text) c = static_cast<char>(' ' + Byte() % 95);
    return text;
  }

  // A long run of one character.
  std::string Run() {
    const char c = static_cast<char>(Byte());
    return std::string(U16(), c);
  }

  // Text made of pieces: names the program looks for, separators, literal bytes and long runs.
  std::string Text(size_t longest) {
    static const std::vector<std::string> kWords = Words(
        "C:|\\|\\\\|D:|c:|Program Files|PROGRA~1|Sondrel|Sondrel.exe|WINDOWS|System32|SYSTEM~1|"
        "ZoneLabs|ZONELA~1|VSMON.EXE|msjava.dll|kelvoran.htm|KELVOR~1.HTM|Internet Explorer|"
        "INTERN~1|IEXPLORE.EXE|Browser non trovato|Service Pack 4| |A|server|share|.|..|:|\r\n|"
        "2222|%|\xE8|.htm|TEMP",
        '|');
    std::string text;
    const int pieces = Byte() % 17;
    for (int i = 0; i < pieces && text.size() < longest; ++i) {
      const uint8_t tag = Byte() % 5;
      if (tag == 0) text += kWords[Byte() % kWords.size()];
      if (tag == 1) text += Literal(Take(Byte()));
      if (tag == 2) text += Run();
      if (tag >= 3) text += tag == 3 ? '\\' : '\0';
    }
    if (text.size() > longest) text.resize(longest);
    return text;
  }

  std::optional<std::string> OptionalText(size_t longest) {
    return (Byte() & 3) == 0 ? std::nullopt : std::optional<std::string>(Text(longest));
  }

  // Bytes of a registry value or a version resource: literal, a long repeated pattern, a
  // well-formed version resource with some bytes changed and its length changed, or text.
  std::vector<uint8_t> Blob() {
    constexpr size_t kLargest = 64 * 1024;
    const uint8_t how = Byte() % 4;
    if (how == 0) return Take(U16());
    if (how == 1) {
      const size_t total = U32() % (kLargest + 1);
      std::vector<uint8_t> pattern = Take(Byte() % 16 + 1);
      if (pattern.empty()) pattern.push_back(0);
      std::vector<uint8_t> bytes(total);
      for (size_t i = 0; i < total; ++i) bytes[i] = pattern[i % pattern.size()];
      return bytes;
    }
    if (how == 2) {
      const uint32_t ms = U32();
      std::vector<uint8_t> bytes = sim::VersionResource(ms, U32());
      for (int pokes = Byte() % 8; pokes > 0; --pokes) {
        const size_t offset = U16() % (bytes.size() + 8);
        const uint8_t value = Byte();
        if (offset < bytes.size()) bytes[offset] = value;
      }
      if (Flag()) bytes.resize(U16() % (bytes.size() + 64), Byte());
      return bytes;
    }
    std::vector<uint8_t> bytes = Bytes(Text(kLargest));
    if (Flag()) bytes.push_back(0);
    return bytes;
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
// The download addresses, as they are published.
constexpr char kMicrosoftVmDownload[] = "http://www.sondrel.it/download/msjavx86.exe";
constexpr char kSunJavaDownload[] = "http://www.java.com/it/";
constexpr platform::WindowHandle kFormHandle = 0x5E1D;

struct RegistryLocation {
  RegistryKey root;
  const char* key_path;
  const char* value_name;
  const char* label;  // the report's label, for the lines the report shows
};

enum : size_t { kInternetExplorer, kNetscape, kJavaWebStart, kFirstFirewall };
constexpr size_t kFirewallCount = 6;
enum : size_t { kDefCompany = kFirstFirewall + kFirewallCount, kDefName, kLocationCount };

constexpr RegistryLocation kLocations[kLocationCount] = {
    {kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version",
     "Microsoft Internet Explorer = "},
    {kHkeyLocalMachine, "Software\\Netscape\\Netscape Navigator", "CurrentVersion",
     "Netscape Navigator = "},
    {kHkeyLocalMachine, "Software\\JavaSoft\\Java Web Start", "CurrentVersion",
     "Java Web Start (Sun) = "},
    {kHkeyLocalMachine, kRunServices, "SmcService", "Sygate Personal Firewall = "},
    {kHkeyLocalMachine, kRunServices, "iamapp", "Norton Personal Firewall = "},
    {kHkeyLocalMachine, kRun, "MPFTray", "McAfee Personal Firewall = "},
    {kHkeyLocalMachine, kRunServices, "PAVFIRES", "Panda Internet Security = "},
    {kHkeyLocalMachine, kRun, "Outpost Firewall", "Agnitum Outpost Firewall = "},
    {kHkeyLocalMachine, kRunServices, "KPF4", "Kerio Personal Firewall = "},
    {kHkeyCurrentUser, kSetupUserInfo, "DefCompany", nullptr},
    {kHkeyCurrentUser, kSetupUserInfo, "DefName", nullptr},
};

// The kinds of fact an entry point feeds. One that cannot be called makes what it feeds
// unknown, since the answer then depends on where the code meets the missing call.
constexpr uint32_t kVersionFacts = 1, kLanguageFacts = 2, kSystemFolderFacts = 4,
                   kWindowsFolderFacts = 8, kColourFacts = 16, kBrowserFacts = 32, kFileFacts = 64,
                   kRegistryFacts = 128, kNameFacts = 256, kSettingFacts = 512, kShellFacts = 1024;

struct EntryPoint {
  std::string name;
  uint32_t feeds;
};

// The entry points the program calls: those that feed no fact, then those that feed each kind in
// the order of the kinds' bits. The message box, in which every error is reported, feeds all.
const std::vector<EntryPoint> kEntryPoints = [] {
  const std::vector<std::string> groups = Words(
      "CloseClipboard DeleteFileA EmptyClipboard GetTempFileNameA GlobalAlloc GlobalFree "
      "GlobalLock GlobalUnlock MessageBoxA OpenClipboard SetClipboardData SetComputerNameA "
      "lstrcpyA|GetVersionExA|GetLocaleInfoA GetUserDefaultLCID|GetSystemDirectoryA|"
      "GetWindowsDirectoryA|GetDC GetDeviceCaps ReleaseDC|CloseHandle CreateFileA "
      "FindExecutableA GetModuleFileNameA|FindClose FindFirstFileA GetFileAttributesA "
      "GetFileVersionInfoA GetFileVersionInfoSizeA VerQueryValueA|RegCloseKey RegOpenKeyExA "
      "RegQueryValueExA|CoCreateGuid GetComputerNameA GetCurrentHwProfileA GetTempPathA "
      "GetUserNameA|SystemParametersInfoA|GetExitCodeProcess ShellExecuteA ShellExecuteExA",
      '|');
  std::vector<EntryPoint> points;
  for (size_t group = 0; group < groups.size(); ++group) {
    for (const std::string& name : Words(groups[group])) {
      const uint32_t feeds = group == 0 ? 0 : 1u << (group - 1);
      points.push_back({name, name == "MessageBoxA" ? ~0u : feeds});
    }
  }
  return points;
}();

// The procedures that trap their own errors and report them under their names.
const std::vector<std::string> kProcedures = Words(
    "Beep ComputerName CurrentHardwareProfile DefaultCompanyName DefaultUserName DisplayColors "
    "Explore GUID GetFileVersion GetLongFileName GetWorkArea Language LargeFonts LaunchDocument "
    "LaunchEmail LaunchFolder LaunchProgram LaunchURL OSAdditional OSBuild OSMajorVersion "
    "OSMinorVersion PrintDocument RegistryGetKeyValue ScreenSaverActive ScreenSaverTimeout "
    "SetClipboardData StillExecuting SystemDirectory TempFile TempPath TrimNulls UserName "
    "WindowsDirectory WindowsType");

sim::Machine& M() { return sim::machine(); }
bool Callable(const char* entry_point) { return M().uncallable.count(entry_point) == 0; }
template <typename... Names>
bool AllCallable(Names... names) {
  return (Callable(names) && ...);
}

// ---------------------------------------------------------------------------------------------
// Known machines: each planted value beside the text it must give.

sim::VersionRecord Record(uint32_t major, uint32_t minor, uint32_t build, uint32_t platform_id,
                          const char* csd) {
  return {false, major, minor, build, platform_id, csd};
}

// Versions of Windows people have, with what the report's first lines say of each.
struct KnownSystem {
  sim::VersionRecord record;
  WindowsFamily family;
  const char *windows_type, *version, *build;
};

constexpr WindowsFamily kNt = WindowsFamily::kNt, kNt4 = WindowsFamily::kNt4,
                        k9x = WindowsFamily::k9x;
const KnownSystem kSystems[] = {
    // The machine as it starts.
    {Record(5, 1, 2600, 2, "Service Pack 3"), kNt, "Windows XP (Service Pack 3)", "5.1", "2600"},
    // Windows 9x keeps the version in the build number's high word.
    {Record(4, 0, 0x040003B6, 1, ""), k9x, "Windows 95 ()", "4.0", "950"},
    {Record(4, 0, 0x04000457, 1, " C "), k9x, "Windows 95 ( C )", "4.0", "1111"},
    {Record(4, 10, 0x040A07CE, 1, " "), k9x, "Windows 98 ( )", "4.10", "1998"},
    {Record(4, 10, 0x040A08AE, 1, " A "), k9x, "Windows 98 Second Edition ( A )", "4.10", "2222"},
    {Record(4, 10, 2222, 1, "a"), k9x, "Windows 98 (a)", "4.10", "2222"},
    {Record(4, 90, 0x045A0BB8, 1, " "), k9x, "Windows Me ( )", "4.90", "3000"},
    {Record(4, 0, 1381, 2, "Service Pack 6"), kNt4, "Windows NT (Service Pack 6)", "4.0", "1381"},
    {Record(3, 51, 1057, 2, "Service Pack 5"), kNt4, "Windows NT (Service Pack 5)", "3.51", "1057"},
    {Record(5, 0, 2195, 2, "Service Pack 4"), kNt, "Windows 2000 (Service Pack 4)", "5.0", "2195"},
    {Record(5, 1, 2600, 2, ""), kNt, "Windows XP ()", "5.1", "2600"},
    {Record(5, 2, 3790, 2, "SP2"), kNt, "Windows NT o maggiore (?) (SP2)", "5.2", "3790"},
    {Record(6, 0, 6002, 2, "SP2"), kNt, "Windows NT o maggiore (SP2)", "6.0", "6002"},
    {Record(10, 0, 19045, 2, ""), kNt, "Windows NT o maggiore ()", "10.0", "19045"},
    {Record(3, 10, 0, 0, ""), kNt, "Win32s ()", "3.10", "0"},
    {Record(5, 1, 2600, 3, "x"), kNt, "3 (?) (x)", "5.1", "2600"},
    // A query that fails leaves the record as the program handed it in: all zero.
    {{true, 4, 10, 2222, 1, " A "}, k9x, "Win32s ()", "0.0", "0"},
};

struct KnownDisplay {
  int32_t bits, planes, dpi;
  const char* colours_line;
  int32_t colours;
  bool large_fonts;
  size_t overflow_reports;
};

const KnownDisplay kDisplays[] = {
    {24, 1, 96, "16777216", 16777216, false, 0},
    {8, 1, 96, "256", 256, false, 0},
    {4, 1, 120, "16", 16, true, 0},
    {1, 4, 96, "16", 16, false, 0},  // four planes of one bit
    {15, 1, 96, "32768", 32768, false, 0},
    {16, 1, 120, "65536", 65536, true, 0},
    {30, 1, 96, "1073741824", 1073741824, false, 0},
    {32, 1, 96, "True Color", -1, false, 0},
    {8, 4, 120, "True Color", -1, true, 0},
    // 2^31 colours do not fit the number: the property is read twice, each read reports.
    {31, 1, 96, "0", 0, false, 2},
    {64, 1, 120, "0", 0, true, 2},
};

struct KnownLanguage {
  uint32_t lcid;
  const char* english_name;  // planted; none: the system has no name for it
  std::string shown;
};

const KnownLanguage kLanguages[] = {
    {0x0410, "Italian", "Italian"},
    {0x0409, "English", "English"},
    {0x0407, "German", "German"},
    {0x0816, "Portuguese", "Portuguese"},
    // A query that fails leaves the buffer of blanks as it was.
    {0x1234, nullptr, std::string(100, ' ')},
};

const char* const kSystemFolders[4] = {"C:\\WINDOWS\\System32", "C:\\WINDOWS\\SYSTEM",
                                       "C:\\WINNT\\system32", "C:\\Sistema\\Windows NT"};
const char* const kWindowsFolders[4] = {"C:\\WINDOWS", "C:\\WINNT", "C:\\Windows", "D:\\W"};
const char* const kRuntimeFiles[] = {"\\msjava.dll", "\\ZoneLabs\\VSMON.EXE"};

// Where the program may be run from, and whether its folder can hold the probe file.
struct KnownProgram {
  std::string module;  // as GetModuleFileNameA gives it
  std::string folder;  // as stored
  sim::File folder_entry;
  bool probe_there;  // the user already has a file of the probe's name
  bool holds_probe;
};

constexpr uint32_t kFolder = platform::kFileAttributeDirectory;
const sim::File kWritable{kFolder, "", {}, false}, kUnwritable{kFolder, "", {}, true},
    kReadOnlyFolder{kFolder | platform::kFileAttributeReadOnly, "", {}, false};

const KnownProgram kPrograms[] = {
    {"C:\\Program Files\\Sondrel\\Sondrel.exe", "C:\\Program Files\\Sondrel", kWritable, false,
     true},
    {"C:\\Sondrel.exe", "C:", kWritable, false, true},
    {"\\\\server\\share\\Sondrel.exe", "\\\\server\\share", kWritable, false, true},
    // A server name alone is no folder a file can be made in.
    {"\\\\server\\Sondrel.exe", "\\\\server", kWritable, false, false},
    // Windows ignores a folder's read-only attribute.
    {"C:\\Sola lettura\\Sondrel.exe", "C:\\Sola lettura", kReadOnlyFolder, false, true},
    {"C:\\Protetta\\Sondrel.exe", "C:\\Protetta", kUnwritable, false, false},
    {"C:\\Condivisa\\Sondrel.exe", "C:\\Condivisa", kUnwritable, true, true},
    // The probe's path would be past MAX_PATH.
    {"C:\\" + std::string(250, 'd') + "\\Sondrel.exe", "C:\\" + std::string(250, 'd'), kWritable,
     false, false},
    // A run of separators names the folder one separator names.
    {"C:\\Programmi\\\\Sondrel\\Sondrel.exe", "C:\\Programmi\\Sondrel", kWritable, false, true},
};

// Browsers, each named to the shell in its long form, its short form or in other case.
struct KnownBrowser {
  const char* forms[3];       // the first is the long path
  const char* aliases[2][2];  // folder, its short name
};

const KnownBrowser kBrowsers[] = {
    {{"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE", "C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE",
      "C:\\progra~1\\intern~1\\iexplore.exe"},
     {{"C:\\Program Files", "PROGRA~1"}, {"C:\\Program Files\\Internet Explorer", "INTERN~1"}}},
    {{"C:\\Program Files\\Mozilla Firefox\\firefox.exe", "C:\\PROGRA~1\\MOZILL~1\\FIREFOX.EXE",
      "C:\\Program Files\\MOZILLA FIREFOX\\Firefox.exe"},
     {{"C:\\Program Files", "PROGRA~1"}, {"C:\\Program Files\\Mozilla Firefox", "MOZILL~1"}}},
    {{"D:\\Navigatori\\Opera Browser\\opera.exe", "D:\\NAVIGA~1\\OPERAB~1\\OPERA.EXE",
      "D:\\Navigatori\\OPERAB~1\\opera.exe"},
     {{"D:\\Navigatori", "NAVIGA~1"}, {"D:\\Navigatori\\Opera Browser", "OPERAB~1"}}},
};
constexpr size_t kBrowserCount = std::size(kBrowsers);

struct KnownWorkArea {
  std::optional<platform::RECT> area;
  std::optional<int16_t> shown[4];  // left, top, width, height; none: the caller's value kept
};

const KnownWorkArea kWorkAreas[] = {
    {platform::RECT{0, 0, 1024, 738}, {0, 0, 1024, 738}},
    {platform::RECT{-100, 20, 1180, 800}, {-100, 20, 1280, 780}},
    // Past a 16-bit number: what comes before the overflow is set, the rest kept.
    {platform::RECT{0, 0, 40000, 738}, {0, 0, std::nullopt, std::nullopt}},
    {platform::RECT{40000, 0, 40100, 10}, {}},
    {platform::RECT{0, -32768, 10, 32767}, {0, -32768, 10, std::nullopt}},
    // A query that fails leaves the zeros the record starts with.
    {std::nullopt, {0, 0, 0, 0}},
};

struct KnownGuid {
  const char *bytes, *text;
};

const KnownGuid kGuids[] = {
    {"\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F",
     "{03020100-0504-0706-0809-0A0B0C0D0E0F}"},
    {"\xB5\x9C\x6A\x2F\x1E\x4D\xD0\x11\x8A\x3C\x00\xC0\x4F\xB6\x87\x21",
     "{2F6A9CB5-4D1E-11D0-8A3C-00C04FB68721}"},
};

// The shell's answers, the status a launch gives for each, and whether the launch succeeds.
struct KnownShellAnswer {
  int32_t answer, status;
  bool succeeds;
};

const KnownShellAnswer kShellAnswers[] = {{42, -1, true},  {33, -1, true}, {32, 32, false},
                                          {31, 31, false}, {2, 2, false},  {0, 0, false}};

const char* const kTempPaths[] = {
    "C:\\WINDOWS\\TEMP\\", "C:\\TEMP\\",
    "C:\\Documents and Settings\\Giulia\\Impostazioni locali\\Temp\\"};

// A file planted at a known path, and what the report and the routines must make of it.
struct FileState {
  bool there = false;   // a file or a folder lies at the path
  bool shown = false;   // the report shows its version; otherwise it says the file is missing
  std::string version;  // what GetFileVersion gives
};

enum class Association { kNone, kBrowser, kUnknown };

// Everything known of the machine; an empty optional, or a null row, is a fact the input made
// unknowable.
struct Known {
  const KnownSystem* system = &kSystems[0];
  const KnownDisplay* display = &kDisplays[0];
  const KnownLanguage* language = &kLanguages[0];
  int system_folder = 0;  // row of kSystemFolders; -1 unknown
  std::optional<std::string> windows_folder = std::string(kWindowsFolders[0]);
  std::optional<std::string> registry[kLocationCount];
  bool registry_shown[kLocationCount] = {};  // the report shows the value, not that it is absent
  FileState runtime[std::size(kSystemFolders)][2];
  FileState browsers[kBrowserCount];
  Association association = Association::kNone;
  std::string browser_line;  // what the report says of the browser the shell names
  const KnownProgram* program = &kPrograms[0];
  bool files_certain = true;  // no damaged file or short name was planted
  // The computer's, the user's, the temporary folder's and the hardware profile's names, and
  // the GUID: the first planted, or the zero GUID when none is.
  std::optional<std::string> names[5] = {"UFFICIO-01", "Giulia", kTempPaths[0], "Profilo 1",
                                         "{00000000-0000-0000-0000-000000000000}"};
  const KnownWorkArea* work_area = &kWorkAreas[0];
  const KnownShellAnswer* shell = &kShellAnswers[0];
  uint32_t lost = 0;  // what an entry point that cannot be called feeds

  bool Knows(uint32_t facts) const { return (lost & facts) == 0; }
};

// A value of a kind whose text is known, that text, and whether the report shows it; no value
// for a missing one.
std::tuple<std::optional<sim::RegistryValue>, std::string, bool> KnownValue(Input& in) {
  const std::string t = in.Plain(200);
  const bool some = !t.empty();  // a REG_SZ of no characters is an empty value
  const std::string rest = in.Plain(20);
  const uint32_t n = in.U32();
  const std::string dword = {static_cast<char>(n), static_cast<char>(n >> 8),
                             static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
  using platform::kRegBinary, platform::kRegDword, platform::kRegSz;
  const struct {
    uint32_t type;
    std::string stored;
    bool read_fails;
    std::string text;
    bool shown;
  } kinds[] = {
      {kRegSz, t + '\0', false, t, some},
      {kRegSz, t, false, t, some},                // stored without its NUL
      {kRegSz, t + '\0' + rest, false, t, some},  // what follows the NUL is not its text
      {kRegSz, t + '\0', true, "", false},        // cannot be read
      {platform::kRegExpandSz, t + '\0', false, "", false},
      {platform::kRegMultiSz, t + '\0' + '\0', false, "", false},
      {kRegDword, dword, false, std::to_string(static_cast<int32_t>(n)), true},  // signed 32 bits
      {kRegDword, dword + '\1', false, "", false},  // too long for a DWORD
      {kRegDword, dword, true, "", false},
      {kRegBinary, "\x4B\x0F", false, "4B 0F", true},
      {kRegBinary, std::string(1, '\0'), false, "00", true},
      {kRegBinary, "\xFF\x10\x01\xA0", false, "FF 10 01 A0", true},
      {kRegBinary, "", false, "", false},
      {11 /* REG_QWORD */, dword + dword, false, "", false},
      {0 /* REG_NONE */, t + '\0', false, "", false},
  };
  const size_t kind = in.Byte() % (std::size(kinds) + 1);
  if (kind == std::size(kinds)) return {std::nullopt, "", false};
  return {sim::RegistryValue{kinds[kind].type, Bytes(kinds[kind].stored), kinds[kind].read_fails},
          kinds[kind].text, kinds[kind].shown};
}

// A version resource of a kind whose reading is known, and the version it gives.
std::optional<std::vector<uint8_t>> KnownVersion(Input& in, std::string* shown) {
  const uint8_t kind = in.Byte() % 7;
  if (kind == 0) return std::nullopt;
  const uint32_t ms = in.U32();
  const uint32_t ls = in.U32();
  std::vector<uint8_t> r = sim::VersionResource(ms, ls);
  const uint8_t signature[] = {0xBD, 0x04, 0xEF, 0xFE};
  const auto fixed_info = std::search(r.begin(), r.end(), signature, signature + 4) - r.begin();
  if (kind <= 2) {
    *shown = std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
             std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
  }
  if (kind == 2) r = sim::SixteenBitLayout(r);                // a 16-bit module's
  if (kind == 3) r[static_cast<size_t>(fixed_info)] ^= 0xFF;  // no signature
  if (kind == 4) r.resize(static_cast<size_t>(fixed_info));   // ends before the fixed information
  if (kind == 5) r[2] = r[3] = 0;                             // states no value
  if (kind == 6) r.clear();
  return r;
}

void PlantFile(Input& in, const std::string& path, FileState* state) {
  // What is planted, and whether the report shows it as the file it looks for.
  static constexpr struct {
    uint32_t attributes;
    bool shown;
  } kKinds[] = {{platform::kFileAttributeNormal, true},
                {platform::kFileAttributeReadOnly, true},
                {platform::kFileAttributeHidden, false},
                {platform::kFileAttributeSystem, false},
                {kFolder, false}};
  const size_t kind = in.Byte() % (std::size(kKinds) + 1);
  if (kind == std::size(kKinds)) {  // nothing at all
    *state = {};
    M().files.erase(path);
    return;
  }
  *state = {true, kKinds[kind].shown, ""};
  sim::File file{kKinds[kind].attributes, "", std::nullopt};
  if (kKinds[kind].attributes != kFolder) file.version_resource = KnownVersion(in, &state->version);
  sim::AddFile(path, file);
}

void PlantProgram(const KnownProgram& program) {
  M().module_file_name = program.module;
  if (program.folder != "C:") sim::AddFile(program.folder, program.folder_entry);
  sim::AddFile(program.folder + "\\Sondrel.exe");
  if (program.probe_there) {
    sim::AddFile(program.folder + "\\" + kProbeFile,
                 {platform::kFileAttributeReadOnly, "KELVOR~1.HTM", Bytes("<p>")});
  }
}

void PlantBrowser(Input& in, Known& known) {
  const size_t row = in.Byte() % kBrowserCount;
  const KnownBrowser& browser = kBrowsers[row];
  M().files.emplace(std::string(browser.forms[0], 2), kWritable);  // its drive
  for (const auto& alias : browser.aliases) sim::AddFile(alias[0], {kFolder, alias[1], {}});
  FileState& file = known.browsers[row];
  PlantFile(in, browser.forms[0], &file);
  M().htm_program = browser.forms[in.Byte() % 3];
  known.browser_line =
      file.shown ? std::string(browser.forms[0]) + " versione " + file.version : "Non trovato";
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

std::string Parent(const std::string& path) {
  const size_t separator = path.rfind('\\');
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

// A path for a damaged file or a direct call, often one the program looks at.
std::string PathOf(Input& in, size_t longest) {
  const sim::Machine& m = M();
  const std::string system_folder = m.system_directory.value_or("");
  const uint8_t how = in.Byte() % 7;
  const std::string text = how == 0 || how == 6 ? in.Text(longest) : "";
  const std::string paths[] = {text,
                               m.htm_program.value_or(""),
                               system_folder + kRuntimeFiles[0],
                               system_folder + kRuntimeFiles[1],
                               Parent(m.module_file_name) + "\\" + kProbeFile,
                               m.module_file_name,
                               m.windows_directory.value_or("") + "\\" + text};
  return paths[how];
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
  // HKEY_CLASSES_ROOT, which the machine has none of, or any number.
  static constexpr RegistryKey kRoots[] = {kHkeyLocalMachine, kHkeyCurrentUser, 0x80000000};
  const uint8_t how = in.Byte() % 4;
  return how < 3 ? kRoots[how] : in.U32();
}

sim::RegistryValue DamagedValue(Input& in) {
  const uint32_t type = RegistryType(in);
  const bool read_fails = in.Flag();
  return {type, in.Blob(), read_fails};
}

// Files whose paths the code builds itself stay below this length; the model adds the folders
// above a file one by one.
constexpr size_t kLongestFilePath = 600;
constexpr size_t kLongestText = 70000;

void Decode(Input& in, Plan& plan, Known& known) {
  sim::Machine& m = M();
  // The machine the known facts start from: the program in its folder, no value where the
  // program looks.
  PlantProgram(kPrograms[0]);
  for (std::optional<std::string>& text : known.registry) text = "";
  for (int op = 0; op < 256 && !in.Done(); ++op) {
    switch (in.Byte() % 23) {
      case 0: {  // a value where the program looks
        const size_t at = in.Byte() % kLocationCount;
        const RegistryLocation& where = kLocations[at];
        if (in.Flag()) {
          const auto [value, text, shown] = KnownValue(in);
          m.registry[where.root][where.key_path].values.erase(where.value_name);
          if (value) sim::SetValue(where.root, where.key_path, where.value_name, *value);
          known.registry[at] = text;
          known.registry_shown[at] = shown;
        } else {
          sim::SetValue(where.root, where.key_path, where.value_name, DamagedValue(in));
          known.registry[at].reset();
        }
        break;
      }
      case 1: {  // a value or an empty key anywhere
        const RegistryKey root = Root(in);
        const std::string key = in.Text(300);
        if (in.Flag()) {
          m.registry[root][key];
          break;
        }
        const std::string name = in.Text(300);
        sim::SetValue(root, key, name, DamagedValue(in));
        for (size_t at = 0; at < kLocationCount; ++at) {
          const RegistryLocation& where = kLocations[at];
          if (root == where.root && sim::SameName(key, where.key_path) &&
              sim::SameName(name, where.value_name)) {
            known.registry[at].reset();
          }
        }
        break;
      }
      case 2:  // the version record; a braced list is read from left to right
        known.system = in.Flag() ? &in.Pick(kSystems) : nullptr;
        if (known.system) m.family = known.system->family;
        m.version = known.system ? known.system->record
                                 : sim::VersionRecord{in.Flag(),   in.Number(), in.Number(),
                                                      in.Number(), in.Number(), in.Text(400)};
        break;
      case 3:  // the family, whatever the version record says: the known answers hold in each
        m.family = static_cast<WindowsFamily>(in.Byte() % 3);
        break;
      case 4:  // the display
        known.display = in.Flag() ? &in.Pick(kDisplays) : nullptr;
        m.bits_per_pixel = known.display ? known.display->bits : in.Signed();
        m.planes = known.display ? known.display->planes : in.Signed();
        m.logical_pixels_x = known.display ? known.display->dpi : in.Signed();
        break;
      case 5: {  // the system or the Windows folder
        const bool system = in.Flag();
        const bool known_folder = in.Flag();
        const uint8_t row = in.Byte() % 4;
        std::optional<std::string>& folder = system ? m.system_directory : m.windows_directory;
        folder =
            known_folder ? (system ? kSystemFolders : kWindowsFolders)[row] : in.OptionalText(2000);
        if (system) known.system_folder = known_folder ? row : -1;
        if (!system) known.windows_folder = known_folder ? folder : std::nullopt;
        break;
      }
      case 6: {  // a runtime below the system folder
        const int which = in.Byte() % 2;
        FileState unknown;
        // A damaged system folder may name any folder, a known one's too.
        if (known.system_folder < 0) known.files_certain = false;
        PlantFile(in, m.system_directory.value_or("") + kRuntimeFiles[which],
                  known.system_folder < 0 ? &unknown : &known.runtime[known.system_folder][which]);
        break;
      }
      case 7:  // the browser the shell names
        known.association = static_cast<Association>(in.Byte() % 3);
        if (known.association == Association::kBrowser) PlantBrowser(in, known);
        if (known.association == Association::kNone) m.htm_program.reset();
        if (known.association == Association::kUnknown) m.htm_program = in.OptionalText(2000);
        break;
      case 8:  // where the program runs from
        known.program = in.Flag() ? &in.Pick(kPrograms) : nullptr;
        if (known.program) PlantProgram(*known.program);
        if (!known.program) m.module_file_name = in.Text(kLongestText);
        break;
      case 9: {  // a damaged file or folder
        const std::string path = PathOf(in, kLongestFilePath);
        sim::File file;
        file.attributes = Attributes(in);
        file.short_name = in.Text(20);
        if (in.Flag()) file.version_resource = in.Blob();
        if (!path.empty() && path.size() <= kLongestFilePath) sim::AddFile(path, file);
        known.files_certain = false;
        break;
      }
      case 10: {  // a damaged short name for a file or one of the folders above it
        const std::optional<std::string> stored = sim::Resolve(PathOf(in, kLongestFilePath));
        int up = in.Byte() % 4;
        const std::string short_name = in.Text(20);
        if (!stored) break;
        std::string path = *stored;
        for (; up > 0 && path.find('\\') != std::string::npos; --up) path = Parent(path);
        m.files[path].short_name = short_name;
        known.files_certain = false;
        break;
      }
      case 11:  // the user's language
        if (in.Flag()) {
          known.language = &in.Pick(kLanguages);
          m.user_lcid = known.language->lcid;
          m.english_language_names.erase(m.user_lcid);
          if (known.language->english_name) {
            m.english_language_names[m.user_lcid] = known.language->english_name;
          }
        } else {
          const uint32_t lcid = in.Number();
          if (in.Flag()) m.english_language_names[lcid] = in.Text(300);
          if (in.Flag()) m.user_lcid = lcid;
          known.language = nullptr;
        }
        break;
      case 12: {  // the computer's, the user's, the temporary folder's or the profile's name
        const uint8_t which = in.Byte() % 4;
        std::optional<std::string>* names[] = {&m.computer_name, &m.user_name, &m.temp_path,
                                               &m.hardware_profile_name};
        const bool known_name = in.Flag();
        if (known_name) {
          *names[which] = which == 2 ? std::string(in.Pick(kTempPaths)) : in.Plain(15);
        } else {
          *names[which] = in.OptionalText(600);
        }
        known.names[which] = known_name ? *names[which] : std::nullopt;
        break;
      }
      case 13: {
        const EntryPoint& entry = kEntryPoints[in.Byte() % kEntryPoints.size()];
        m.uncallable.insert(entry.name);
        known.lost |= entry.feeds;
        break;
      }
      case 14: {
        static constexpr int32_t kAnswers[] = {platform::kIdOk, platform::kIdYes, platform::kIdNo,
                                               2 /* IDCANCEL */};
        const uint8_t how = in.Byte();
        m.message_box_answers.push_back(how % 5 == 4 ? in.Signed() : kAnswers[how % 5]);
        break;
      }
      case 15: {
        const uint8_t faults = in.Byte();
        m.global_alloc_fails = faults & 1;
        m.global_lock_fails = faults & 2;
        m.unlock_leaves_locked = faults & 4;
        m.clipboard_held_elsewhere = faults & 8;
        m.set_clipboard_fails = faults & 16;
        m.shell_starts_process = (faults & 32) == 0;
        // The shell's answer, as a 32-bit system hands it back.
        if (faults & 64) {
          known.shell = &in.Pick(kShellAnswers);
          m.shell_result = known.shell->answer;
        } else if (faults & 128) {
          m.shell_result = in.Signed();
          known.shell = nullptr;
        }
        break;
      }
      case 16:
        plan.failing_writes.insert(in.Byte() % 48 + 1);
        break;
      case 17: {  // the clipboard already holds a text
        const std::vector<uint8_t> bytes = in.Blob();
        const platform::GlobalHandle block = m.next_block++;
        if (m.clipboard_text) m.global_blocks.erase(*m.clipboard_text);
        m.global_blocks[block] = {bytes, 0};
        m.clipboard_text = block;
        break;
      }
      case 18: {  // a GUID CoCreateGuid gives in turn
        const bool known_guid = in.Flag();
        const KnownGuid& row = in.Pick(kGuids);
        const std::vector<uint8_t> bytes =
            known_guid ? std::vector<uint8_t>(row.bytes, row.bytes + 16) : in.Take(16);
        platform::GUID guid{};
        if (!bytes.empty()) std::memcpy(&guid, bytes.data(), bytes.size());
        m.next_guids.push_back(guid);
        if (m.next_guids.size() == 1) {
          known.names[4] = known_guid ? std::optional<std::string>(row.text) : std::nullopt;
        }
        break;
      }
      case 19: {
        const uint8_t which = in.Byte();
        std::optional<int32_t> setting;
        if (in.Flag()) setting = in.Signed();
        if (which % 3 == 0) m.beep = setting;
        if (which % 3 == 1) m.screen_saver_active = setting;
        if (which % 3 == 2) m.screen_saver_timeout = setting;
        break;
      }
      case 20:
        known.work_area = in.Flag() ? &in.Pick(kWorkAreas) : nullptr;
        m.work_area = known.work_area
                          ? known.work_area->area
                          : platform::RECT{in.Signed(), in.Signed(), in.Signed(), in.Signed()};
        break;
      case 21: {  // what the user does once the window is shown
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
            const RegistryLocation& where = kLocations[in.Byte() % kLocationCount];
            call.key = where.key_path;
            call.name = where.value_name;
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
}

// ---------------------------------------------------------------------------------------------
// The report as the known facts give it: literal pieces, with any text where a fact is unknown.

class Pattern {
 public:
  // A text, or any text where there is none.
  void Add(const std::optional<std::string>& text) {
    if (text) {
      pieces_.back() += *text;
    } else {
      pieces_.emplace_back();
    }
  }
  bool Exact() const { return pieces_.size() == 1; }
  const std::string& Text() const { return pieces_[0]; }

  // The text is the pieces in order with anything between them.
  bool Matches(const std::string& text) const {
    const std::string& first = pieces_.front();
    const std::string& last = pieces_.back();
    if (Exact()) return text == first;
    if (text.size() < first.size() + last.size() || text.compare(0, first.size(), first) != 0 ||
        text.compare(text.size() - last.size(), last.size(), last) != 0) {
      return false;
    }
    size_t at = first.size();
    for (size_t i = 1; i + 1 < pieces_.size() && at != std::string::npos; ++i) {
      at = text.find(pieces_[i], at);
      if (at != std::string::npos) at += pieces_[i].size();
    }
    return at <= text.size() - last.size();
  }

  // The text could be the pieces with some characters left out: once an unknown stretch is
  // reached, anything may follow.
  bool MayLackSome(const std::string& text) const {
    size_t at = 0;
    for (const char c : text) {
      at = pieces_[0].find(c, at);
      if (at++ == std::string::npos) return !Exact();
    }
    return true;
  }

  void Show() const {
    for (const std::string& piece : pieces_) std::fprintf(stderr, "[%s]...\n", piece.c_str());
  }

 private:
  std::vector<std::string> pieces_{std::string()};
};

template <typename Row, typename Field>
std::optional<std::string> Of(const Row* row, Field field, bool knows = true) {
  if (row == nullptr || !knows) return std::nullopt;
  return std::string(row->*field);
}

std::optional<std::string> RegistryText(const Known& k, size_t at) {
  return k.Knows(kRegistryFacts) ? k.registry[at] : std::nullopt;
}

std::optional<std::string> RegistryLine(const Known& k, size_t at, const char* absent) {
  const std::optional<std::string> text = RegistryText(k, at);
  if (!text) return std::nullopt;
  return k.registry_shown[at] ? *text : absent;
}

std::optional<std::string> SystemFolderText(const Known& k) {
  if (!k.Knows(kSystemFolderFacts) || k.system_folder < 0) return std::nullopt;
  return std::string(kSystemFolders[k.system_folder]);
}

// A file below the system folder; none when unknown.
const FileState* RuntimeFile(const Known& k, int which) {
  if (!k.Knows(kFileFacts | kSystemFolderFacts) || !k.files_certain || k.system_folder < 0) {
    return nullptr;
  }
  return &k.runtime[k.system_folder][which];
}

std::optional<std::string> RuntimeText(const Known& k, int which, const char* absent) {
  const FileState* file = RuntimeFile(k, which);
  if (file == nullptr) return std::nullopt;
  return file->shown ? file->version : absent;
}

// Where the program's folder cannot hold the probe file, the temporary folder or else the
// Windows folder's Temp may: of the folders the machine is given, only C:\WINDOWS\TEMP is there.
std::optional<bool> ElsewhereHoldsProbe(const Known& k) {
  const auto there = [](const std::string& folder) {
    return sim::SameName(folder, "C:\\WINDOWS\\TEMP\\");
  };
  if (!k.Knows(kNameFacts) || !k.names[2]) return std::nullopt;
  if (there(*k.names[2])) return true;
  if (!k.Knows(kWindowsFolderFacts) || !k.windows_folder) return std::nullopt;
  return there(*k.windows_folder + "\\Temp\\");
}

std::optional<std::string> BrowserText(const Known& k) {
  // Only a damaged file could be named "Browser non trovato", the path a failed look-up leaves.
  if (!k.Knows(kBrowserFacts | kFileFacts) || !k.files_certain) return std::nullopt;
  if (k.association == Association::kNone) return "Non trovato";
  if (k.association == Association::kUnknown || k.program == nullptr) return std::nullopt;
  if (k.program->holds_probe) return k.browser_line;
  const std::optional<bool> elsewhere = ElsewhereHoldsProbe(k);
  if (!elsewhere) return std::nullopt;
  return *elsewhere ? k.browser_line : "Non trovato";
}

Pattern ExpectedReport(const Known& k) {
  Pattern p;
  p.Add(std::string(kTitle) + "\r\n\r\n");
  const std::pair<const char*, std::optional<std::string>> windows_lines[] = {
      {"WindowsType = ", Of(k.system, &KnownSystem::windows_type, k.Knows(kVersionFacts))},
      {"Version = ", Of(k.system, &KnownSystem::version, k.Knows(kVersionFacts))},
      {"OSBuild = ", Of(k.system, &KnownSystem::build, k.Knows(kVersionFacts))},
      {"Language = ", Of(k.language, &KnownLanguage::shown, k.Knows(kLanguageFacts))},
      {"SystemDirectory = ", SystemFolderText(k)},
      {"WindowsDirectory = ", k.Knows(kWindowsFolderFacts) ? k.windows_folder : std::nullopt},
      {"DisplayColors = ", Of(k.display, &KnownDisplay::colours_line, k.Knows(kColourFacts))}};
  for (const auto& [label, value] : windows_lines) {
    p.Add(label);
    p.Add(value);
    p.Add("\r\n");
  }
  p.Add("\r\nBrowser predefinito = ");
  p.Add(BrowserText(k));
  for (const size_t at : {kInternetExplorer, kNetscape, kJavaWebStart}) {
    p.Add(std::string("\r\n") + kLocations[at].label);
    p.Add(RegistryLine(k, at, at == kJavaWebStart ? "Non installata" : "Non trovato"));
  }
  p.Add("\r\nJVM Microsoft = ");
  p.Add(RuntimeText(k, 0, "Non installata"));
  p.Add("\r\n\r\nZone Alarm firewall = ");
  p.Add(RuntimeText(k, 1, "Non trovato"));
  for (size_t at = kFirstFirewall; at < kFirstFirewall + kFirewallCount; ++at) {
    p.Add(std::string("\r\n") + kLocations[at].label);
    p.Add(RegistryLine(k, at, "Non trovato"));
  }
  p.Add("\r\n");
  return p;
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
    Require(std::count(kProcedures.begin(), kProcedures.end(), box.caption) == 1,
            "an error report is titled with its procedure");
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

size_t ColourOverflowReports(size_t from) {
  const auto& boxes = M().message_boxes;
  return static_cast<size_t>(std::count_if(boxes.begin() + static_cast<std::ptrdiff_t>(from),
                                           boxes.end(), [](const sim::MessageBoxCall& box) {
                                             return box.text == "Error: 6. Overflow" &&
                                                    box.caption == "DisplayColors";
                                           }));
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
    Require(held && !held->empty() && held->back() == 0, "the clipboard holds a text");
    const std::string copied(held->begin(), std::find(held->begin(), held->end(), 0));
    // The report starts with its title and ends with a line break, so it has no outer spaces.
    if (!report.empty() && report.find('\0') == std::string::npos && report.front() != ' ' &&
        report.back() != ' ') {
      RequireEqual(copied, report, "the clipboard's text");
    } else {
      Require(report.find(copied) != std::string::npos,
              "the clipboard holds a piece of the report");
    }
  } else if (M().clipboard_held_elsewhere || !Callable("OpenClipboard")) {
    Require(held == held_before, "a clipboard that cannot be opened keeps what it had");
  }
}

// Clicks a control as the window toolkit does: a run-time error that escapes the handler is
// shown by the toolkit and the window goes on.
void ClickAsToolkit(ControlId control) {
  // The user answers the question Yes where the input says nothing else.
  if (M().message_box_answers.empty()) M().message_box_answers.push_back(platform::kIdYes);
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
  Require(request.file == (index == 0 ? kMicrosoftVmDownload : kSunJavaDownload),
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
    if (step.action == Action::Copy) ClickCopy(form);
    if (step.action == Action::DownloadMicrosoft) ClickDownload(form, 0);
    if (step.action == Action::DownloadSun) ClickDownload(form, 1);
    if (step.action == Action::CloseBox) sim::PressCloseBox();
    if (step.action == Action::AnyControl) ClickAsToolkit(step.control);
    if (step.action == Action::Close) {
      ClickAsToolkit(form.btnClose.Id());
      Require(!Live(), "Chiudi closes the window");
    }
    if (step.action == Action::Resize) {
      sim::ResizeClient(step.width, step.height);
      CheckLayout(form);
    }
  }
}

// A Java panel: the tick, a disabled Download and "Versione" with the runtime's version when it
// is there, the cross, an enabled Download and "Non installata" when not.
void CheckPanel(frmMain& form, int panel, const std::optional<std::string>& label,
                bool any_failed) {
  const bool tick = Native(form.Pict[panel]).picture == Picture::Tick;
  const std::string& shown = Native(form.lblVersion[panel]).text;
  Require(tick || Native(form.Pict[panel]).picture == Picture::Cross, "a panel shows a picture");
  Require(Native(form.btnDownload[panel]).enabled == !tick,
          "a panel's Download is enabled exactly when its runtime is missing");
  if (label) Require(tick == (*label != "Non installata"), "a panel shows the tick when it should");
  if (any_failed && shown == "lblVersion") return;
  Require(tick ? shown.rfind("Versione ", 0) == 0 : shown == "Non installata",
          "a panel's version label");
  if (label) RequireEqual(shown, *label, "a panel's version label");
}

// Shows the window with the plan's failing writes, checks the report and the panels against the
// known facts, then takes the plan's steps and presses every button.
void RunReport(const Plan& plan, const Known& known) {
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
  const Pattern expected = ExpectedReport(known);
  // For looking at an input by hand: REPORT_FUZZER_SHOW=1 report_fuzzer FILE
  if (std::getenv("REPORT_FUZZER_SHOW") != nullptr) {
    std::fprintf(stderr, "%s\n", report.c_str());
    expected.Show();
    for (const sim::MessageBoxCall& box : m.message_boxes) {
      std::fprintf(stderr, "[box] %s: %s\n", box.caption.c_str(), box.text.c_str());
    }
  }
  const bool any_failed = !watch.failed.empty();
  if (!watch.last_report_write_failed) {
    Require(report.size() >= 2 && report.compare(report.size() - 2, 2, "\r\n") == 0,
            "the report ends with a line break");
  }
  if (watch.failed.count(form.Text1.Id()) == 1) {
    // The box's own text stays before the pieces when the title's write fails.
    Require(expected.MayLackSome(report.rfind("Text1", 0) == 0 ? report.substr(5) : report),
            "a report with failed writes lacks only the failed pieces");
  } else if (expected.Exact()) {
    RequireEqual(report, expected.Text(), "the report");
  } else {
    if (!expected.Matches(report)) expected.Show();
    Require(expected.Matches(report), "the report has every label, and the values known");
  }
  if (m.uncallable.empty()) {
    const size_t overflows = ColourOverflowReports(boxes);
    Require(pass_boxes == overflows && (overflows == 0 || overflows == 2),
            "on a machine with every entry point the pass reports only a colour overflow, twice");
    if (known.display) {
      Require(overflows == known.display->overflow_reports, "the colours overflow when they do");
    }
  }

  // The two Java panels.
  const FileState* msjava = RuntimeFile(known, 0);
  const std::optional<std::string> web_start = RegistryText(known, kJavaWebStart);
  const auto label = [](bool there, const std::string& version) {
    return there ? "Versione " + version : "Non installata";
  };
  CheckPanel(form, 0, msjava ? label(msjava->shown, msjava->version) : std::optional<std::string>(),
             any_failed);
  CheckPanel(form, 1,
             web_start ? label(known.registry_shown[kJavaWebStart], *web_start)
                       : std::optional<std::string>(),
             any_failed);

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

void CheckShell(const std::string& text, const Known& known) {
  // The shell's planted answer holds for what is not a full path: one that names nothing on
  // the machine is not found, whatever the answer.
  const KnownShellAnswer* answer =
      known.Knows(kShellFacts) && !sim::IsFullPath(text) ? known.shell : nullptr;
  CShellExecute shell;
  const int32_t status = shell.LaunchURL(1, text);
  if (answer) Require(status == answer->status, "a launch returns the shell's status");
  shell.LaunchProgram(1, text, text, text);
  if (answer) {
    Require(shell.StillExecuting() == (answer->succeeds && M().shell_starts_process),
            "a started program is still running");
  }
  shell.LaunchDocument(1, text, text);
  shell.Explore(1, text);
  shell.LaunchEmail(1, text);
  shell.LaunchFolder(1, text);
  shell.LaunchProgram(1, text);
  shell.PrintDocument(1, text);
  shell.LaunchProgram(1, text);
}

// Each known file under each of the names it can be given.
void CheckKnownFiles(const Known& k) {
  if (!k.files_certain || !k.Knows(kFileFacts)) return;
  const auto check = [](const std::string& asked, const std::string& stored,
                        const FileState& file) {
    RequireEqual(modAPIFilesAndPaths::GetLongFileName(asked), file.there ? stored : "",
                 "a known file's long name");
    RequireEqual(modAPIFilesAndPaths::GetFileVersion(asked), file.version,
                 "a known file's version");
  };
  for (size_t row = 0; row < kBrowserCount; ++row) {
    for (const char* form : kBrowsers[row].forms) {
      check(form, kBrowsers[row].forms[0], k.browsers[row]);
    }
  }
  for (size_t folder = 0; folder < std::size(kSystemFolders); ++folder) {
    for (int which : {0, 1}) {
      const std::string path = kSystemFolders[folder] + std::string(kRuntimeFiles[which]);
      check(path, path, k.runtime[folder][which]);
    }
  }
}

void CheckDirectCalls(const Plan& plan, const Known& known) {
  COSInfo os;
  for (const DirectCall& call : plan.calls) {
    if (call.call == Call::LongName) modAPIFilesAndPaths::GetLongFileName(call.text);
    if (call.call == Call::Version) modAPIFilesAndPaths::GetFileVersion(call.text);
    if (call.call == Call::Registry) {
      modRegistry::ValueText(modRegistry::RegistryGetKeyValue(call.root, call.key, call.name));
    }
    if (call.call == Call::TempFile) {
      const std::string name = os.TempFile(call.text);
      Require(name.find('\0') == std::string::npos && name.size() <= 260,
              "a temporary name is one text of at most MAX_PATH characters");
    }
    if (call.call == Call::SetComputerName) {
      const std::string before = os.ComputerName();
      os.ComputerName(call.text);
      Require(os.ComputerName() == before, "the running system keeps its computer name");
    }
    if (call.call == Call::Shell) CheckShell(call.text, known);
  }
  CheckKnownFiles(known);
  for (size_t at = 0; at < kLocationCount; ++at) {
    const std::optional<std::string> text = RegistryText(known, at);
    if (!text) continue;
    const RegistryLocation& where = kLocations[at];
    RequireEqual(modRegistry::ValueText(modRegistry::RegistryGetKeyValue(where.root, where.key_path,
                                                                         where.value_name)),
                 *text, "a known registry value's text");
  }
}

void CheckEveryMember(Input& in, const Known& k) {
  sim::Machine& m = M();
  const COSInfo os;
  const std::string temp_file = os.TempFile(in.Text(40));
  Require(temp_file.find('\0') == std::string::npos && temp_file.size() <= 260, "TempFile");
  const auto name = [&k](size_t which) {
    return k.Knows(kNameFacts) ? k.names[which] : std::nullopt;
  };
  const std::pair<std::string, std::optional<std::string>> texts[] = {
      {os.GUID(), name(4)},
      {os.ComputerName(), name(0)},
      {os.UserName(), name(1)},
      {os.TempPath(), name(2)},
      {os.CurrentHardwareProfile(), name(3)},
      {os.DefaultCompanyName(), RegistryText(k, kDefCompany)},
      {os.DefaultUserName(), RegistryText(k, kDefName)},
      {os.Language(), Of(k.language, &KnownLanguage::shown, k.Knows(kLanguageFacts))},
      {os.SystemDirectory(), SystemFolderText(k)},
      {os.WindowsDirectory(), k.Knows(kWindowsFolderFacts) ? k.windows_folder : std::nullopt}};
  for (const auto& [actual, known] : texts) {
    Require(actual.find('\0') == std::string::npos, "a COSInfo text ends at its NUL");
    if (known) RequireEqual(actual, *known, "a COSInfo text");
  }
  const std::string& guid = texts[0].first;
  Require(guid.empty() || (guid.size() == 38 && guid.front() == '{' && guid.back() == '}' &&
                           guid[9] == '-' && guid[14] == '-' && guid[19] == '-' && guid[24] == '-'),
          "a GUID is written in its registry form");
  const int32_t colours = os.DisplayColors();
  const bool large_fonts = os.LargeFonts();
  if (k.display && k.Knows(kColourFacts)) {
    Require(colours == k.display->colours && large_fonts == k.display->large_fonts,
            "DisplayColors and LargeFonts");
  }
  const std::string additional = os.OSAdditional();
  const std::string version =
      std::to_string(os.OSMajorVersion()) + "." + std::to_string(os.OSMinorVersion());
  const std::string build = std::to_string(os.OSBuild());
  const int32_t platform_id = os.WindowsType();
  if (k.system && k.Knows(kVersionFacts)) {
    const sim::VersionRecord& record = k.system->record;
    RequireEqual(additional, record.fails ? "" : record.csd, "OSAdditional");
    RequireEqual(version, k.system->version, "OSMajorVersion and OSMinorVersion");
    RequireEqual(build, k.system->build, "OSBuild");
    // A query that fails leaves the record all zero.
    Require(platform_id == (record.fails ? 0 : static_cast<int32_t>(record.platform_id)),
            "WindowsType");
  }

  const bool settings = k.Knows(kSettingFacts);
  if (settings) {
    Require(os.Beep() == (m.beep.value_or(0) != 0), "Beep");
    Require(os.ScreenSaverActive() == (m.screen_saver_active.value_or(0) != 0),
            "ScreenSaverActive");
    Require(os.ScreenSaverTimeout() == m.screen_saver_timeout.value_or(0), "ScreenSaverTimeout");
  }
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
  if (settings && k.work_area) {
    for (int i = 0; i < 4; ++i) {
      Require(area[i] == k.work_area->shown[i].value_or(start[i]),
              "the work area's values up to an overflow are set, the rest kept");
    }
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
  Known known;
  Decode(in, plan, known);
  const auto files_before = M().files;

  RunReport(plan, known);
  CheckNothingHeld();
  CheckFilesUnchanged(files_before);

  const size_t boxes = M().message_boxes.size();
  CheckDirectCalls(plan, known);
  CheckEveryMember(in, known);
  CheckMessageBoxes(boxes);
  CheckNothingHeld();
  CheckFilesUnchanged(files_before);
  return 0;
}
