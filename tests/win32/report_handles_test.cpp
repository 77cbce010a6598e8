// The report pass and the copy command in the real window under Wine hold no handle afterwards:
// the process's kernel handles (registry keys, files, searches, processes, threads) are
// counted through the system's handle list before and after.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/scoped_win.h"
#include "report_window/frmMain.h"

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
