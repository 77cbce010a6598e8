// The routines, the report pass and the copy command under Wine hold no handle afterwards: the
// process's kernel handles (registry keys, files, searches, processes, threads) are counted
// through the system's handle list before and after.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "osinfo/COSInfo.h"
#include "platform/win32/scoped_win.h"
#include "report_window/frmMain.h"
#include "support/modAPIFilesAndPaths.h"
#include "support/modRegistry.h"
#include "win32_test_support.h"

namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct SystemHandleEntry {
  ULONG owner_process;
  UCHAR object_type;
  UCHAR flags;
  USHORT handle;
  void* object;
  ACCESS_MASK access;
};

struct SystemHandleList {
  ULONG count;
  SystemHandleEntry entries[1];
};

// The number of kernel handles this process holds, or -1 when the system cannot tell.
long OwnHandleCount() {
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<unsigned char> buffer(1 << 16);
  LONG status;
  ULONG needed = 0;
  while ((status = query(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()), &needed)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return -1;
  const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
  long own = 0;
  for (ULONG i = 0; i < list->count; ++i)
    if (list->entries[i].owner_process == GetCurrentProcessId()) ++own;
  return own;
}

TEST(ReportHandles, TheCounterSeesAnOpenKey) {
  const long before = OwnHandleCount();
  ASSERT_GE(before, 0) << "the system lists no handles";
  win32::ScopedRegKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, key.out()), ERROR_SUCCESS);
  EXPECT_EQ(OwnHandleCount(), before + 1);
  key.reset();
  EXPECT_EQ(OwnHandleCount(), before);
}

// Each routine's calls are made once, which may open what the system keeps for later, and then
// ten times more, after which the process holds as many handles as before.
class RoutineHandlesTest : public win32_test::NoDialogTest {};

TEST_F(RoutineHandlesTest, EveryRoutineGivesItsHandlesBack) {
  constexpr char kKey[] = "Software\\SondrelTestHandles";
  win32_test::CreatedTree tree(win32_test::TempFolder() + "SondrelHandles", true);
  const std::string file = tree.File("File Lungo.txt", "testo\r\n");
  ASSERT_FALSE(file.empty());
  const std::string short_file = win32_test::ShortPath(file);
  ASSERT_FALSE(short_file.empty());
  const win32_test::EnvironmentVariable tmp("TMP", tree.root());
  const win32_test::SavedKeyTree saved(HKEY_CURRENT_USER, kKey);
  const DWORD number = 1;
  const BYTE bytes[] = {1, 2, 3};
  ASSERT_TRUE(win32_test::WriteString(HKEY_CURRENT_USER, kKey, "Versione", "1.4.2"));
  ASSERT_TRUE(
      win32_test::WriteValue(HKEY_CURRENT_USER, kKey, "Numero", REG_DWORD, &number, sizeof number));
  ASSERT_TRUE(
      win32_test::WriteValue(HKEY_CURRENT_USER, kKey, "Binario", REG_BINARY, bytes, sizeof bytes));
  ASSERT_TRUE(
      win32_test::WriteValue(HKEY_CURRENT_USER, kKey, "Multipla", REG_MULTI_SZ, "a\0\0", 3));
  const auto root =
      static_cast<platform::RegistryKey>(reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER));
  const std::string beside = win32_test::ProgramFolder() + "\\";
  const COSInfo info;
  const std::pair<const char*, std::function<void()>> routines[] = {
      {"RegistryGetKeyValue",
       [&] {
         for (const char* name : {"Versione", "Numero", "Binario", "Multipla", "NonEsiste"}) {
           modRegistry::RegistryGetKeyValue(root, kKey, name);
         }
         modRegistry::RegistryGetKeyValue(root, std::string(kKey) + "\\NonEsiste", "Versione");
       }},
      {"GetFileVersion",
       [&] {
         for (const std::string& path : {beside + "version_5_0_38_0.dll", beside + "no_version.dll",
                                         file, tree.root() + "\\NonEsiste.dll"}) {
           modAPIFilesAndPaths::GetFileVersion(path);
         }
       }},
      {"GetLongFileName",
       [&] {
         for (const std::string& path : {short_file, file, tree.root() + "\\NonEsiste.txt",
                                         tree.root() + "\\Assente\\File Lungo.txt"}) {
           modAPIFilesAndPaths::GetLongFileName(path);
         }
       }},
      {"COSInfo",
       [&] {
         info.ComputerName();
         info.UserName();
         info.TempPath();
         info.TempFile("son");
         info.GUID();
         info.DefaultCompanyName();
         info.DefaultUserName();
         info.CurrentHardwareProfile();
       }},
  };
  for (const auto& [routine, calls] : routines) {
    SCOPED_TRACE(routine);
    calls();
    const long before = OwnHandleCount();
    ASSERT_GE(before, 0);
    for (int round = 0; round < 10; ++round) calls();
    EXPECT_EQ(OwnHandleCount(), before) << "handles were left open";
  }
}

TEST(ReportHandles, ReportPassesAndCopiesLeaveNoHandleOpen) {
  frmMain form;
  // The first pass loads the libraries it uses and fills the system's caches; those stay.
  form.Load();
  const long before = OwnHandleCount();
  ASSERT_GE(before, 0);
  for (int pass = 0; pass < 5; ++pass) {
    form.Load();
    form.btnCopy_Click();
  }
  EXPECT_EQ(OwnHandleCount(), before);
}

}  // namespace
