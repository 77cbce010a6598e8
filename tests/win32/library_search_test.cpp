// Where the DLL search cannot be kept to the system folder (Vista, where it is left alone; XP
// and 7 without SetDefaultDllDirectories), every DLL that the program preloads and the system
// has is loaded from the system folder by the time the program's first window could be made.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/library_search.h"
#include "win32_test_support.h"

namespace {

using win32_test::CreatedTree;

// A list of fewer names than a size written beside it ends in null pointers, and the preload
// would crash at start.
constexpr bool EveryEntryNamesADll() {
  for (const char* dll : win32::kPreloadedLibraries) {
    if (dll == nullptr || *dll == '\0') return false;
  }
  return true;
}
static_assert(EveryEntryNamesADll());

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string SystemFolder() {
  char buffer[MAX_PATH];
  const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

// The paths of the modules loaded in the probe's process, by module name, all in lower case.
std::map<std::string, std::vector<std::string>> LoadedModules(const std::string& listing) {
  std::map<std::string, std::vector<std::string>> modules;
  std::istringstream lines(listing);
  std::string path;
  while (std::getline(lines, path)) {
    path = Lower(path);
    modules[path.substr(path.find_last_of('\\') + 1)].push_back(path);
  }
  return modules;
}

TEST(LibrarySearchTest, OnVistaEveryPreloadedLibraryComesFromTheSystemFolder) {
  const std::string app_defaults = "Software\\Wine\\AppDefaults\\library_search_probe.exe";
  const win32_test::SavedKeyTree saved(HKEY_CURRENT_USER, app_defaults);
  ASSERT_TRUE(win32_test::WriteString(HKEY_CURRENT_USER, app_defaults, "Version", "vista"));
  CreatedTree tree(win32_test::TempFolder() + "SondrelModuli", true);
  const std::string listing = tree.root() + "\\moduli.txt";
  tree.Adopt(listing);
  const win32_test::ChildProcess probe(
      win32_test::Quoted(win32_test::HelperProgram("library_search_probe.exe")) + " " +
      win32_test::Quoted(listing));
  ASSERT_TRUE(probe.started());
  ASSERT_TRUE(probe.WaitForEnd(120000));
  ASSERT_EQ(probe.ExitCode(), 0u);
  const auto modules = LoadedModules(win32_test::ReadWholeFile(listing));
  ASSERT_FALSE(modules.empty());

  const std::string system = Lower(SystemFolder());
  ASSERT_FALSE(system.empty());
  size_t present = 0;
  for (const char* dll : win32::kPreloadedLibraries) {
    const std::string path = system + "\\" + dll;
    const auto loaded = modules.find(dll);
    const std::vector<std::string> paths =
        loaded == modules.end() ? std::vector<std::string>() : loaded->second;
    if (win32_test::Exists(path)) {
      ++present;
      EXPECT_EQ(paths, std::vector<std::string>{path}) << dll;
    } else {
      EXPECT_TRUE(paths.empty()) << dll << " is loaded, but not from the system folder";
    }
  }
  // Wine has most of them; a list of DLLs no system has would prove nothing.
  EXPECT_GT(present, win32::kPreloadedLibraries.size() / 2);
}

}  // namespace
