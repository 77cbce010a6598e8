// A system that lacks an entry point (GetCurrentHwProfileA on Windows 95, say) raises error 453
// at the call; the procedure that made it reports it under its own name, returns its empty
// result and keeps nothing it took.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "osinfo/COSInfo.h"
#include "platform/sim/sim_machine.h"
#include "shell/CShellExecute.h"
#include "support/modAPIFilesAndPaths.h"
#include "support/modClipboard.h"
#include "support/modRegistry.h"

namespace {

constexpr platform::WindowHandle kOwner = 0x1234;
constexpr char kKey[] = "Software\\Sondrel Test";

struct MissingEntryPoint {
  const char* entry;                  // the entry point the system lacks
  const char* procedure;              // whose report names it
  std::function<std::string()> call;  // the procedure's result, as text
  std::string result;
};

std::string Text(bool value) { return value ? "true" : "false"; }

// A procedure without a result: its result is the empty text.
std::function<std::string()> Calling(std::function<void()> procedure) {
  return [procedure] {
    procedure();
    return std::string();
  };
}

// A machine on which every procedure below has something to work on.
void Furnish() {
  sim::AddFile("C:\\A.DLL", {platform::kFileAttributeNormal, "", sim::VersionResource(0x10000, 0)});
  sim::SetString(platform::kHkeyLocalMachine, kKey, "Version", "1");
  sim::SetString(platform::kHkeyCurrentUser, "Software\\Microsoft\\MS Setup (ACME)\\User Info",
                 "DefName", "Giulia");
}

template <typename Member>
std::function<std::string()> Shell(Member member) {
  return [member] {
    CShellExecute shell;
    return std::to_string(member(shell));
  };
}

const MissingEntryPoint kCases[] = {
    {"GetVersionExA", "OSMajorVersion", [] { return std::to_string(COSInfo().OSMajorVersion()); },
     "0"},
    {"GetComputerNameA", "ComputerName", [] { return COSInfo().ComputerName(); }, ""},
    {"SetComputerNameA", "ComputerName", Calling([] { COSInfo().ComputerName("NUOVO"); }), ""},
    {"GetUserNameA", "UserName", [] { return COSInfo().UserName(); }, ""},
    {"GetTempPathA", "TempPath", [] { return COSInfo().TempPath(); }, ""},
    {"IsDBCSLeadByte", "GetLongFileName",
     [] { return modAPIFilesAndPaths::GetLongFileName("C:\\A.DLL"); }, ""},
    {"GetTempFileNameA", "TempFile", [] { return COSInfo().TempFile("x"); }, ""},
    {"CoCreateGuid", "GUID", [] { return COSInfo().GUID(); }, ""},
    {"GetCurrentHwProfileA", "CurrentHardwareProfile",
     [] { return COSInfo().CurrentHardwareProfile(); }, ""},
    // The class reads the registry as the registry module does, failures reported alike.
    {"RegQueryValueExA", "RegistryGetKeyValue", [] { return COSInfo().DefaultUserName(); }, ""},
    {"SystemParametersInfoA", "Beep", [] { return Text(COSInfo().Beep()); }, "false"},
    {"SystemParametersInfoA", "ScreenSaverActive",
     Calling([] { COSInfo().ScreenSaverActive(true); }), ""},
    {"SystemParametersInfoA", "ScreenSaverTimeout",
     [] { return std::to_string(COSInfo().ScreenSaverTimeout()); }, "0"},
    {"GetDC", "LargeFonts", [] { return Text(COSInfo().LargeFonts()); }, "false"},
    {"RegOpenKeyExA", "RegistryGetKeyValue",
     [] {
       return modRegistry::ValueText(
           modRegistry::RegistryGetKeyValue(platform::kHkeyLocalMachine, kKey, "Version"));
     },
     ""},
    {"VerQueryValueA", "GetFileVersion",
     [] { return modAPIFilesAndPaths::GetFileVersion("C:\\A.DLL"); }, ""},
    {"FindFirstFileA", "GetLongFileName",
     [] { return modAPIFilesAndPaths::GetLongFileName("C:\\A.DLL"); }, ""},
    {"EmptyClipboard", "SetClipboardData", Calling([] { modClipboard::SetClipboardData("nuovo"); }),
     ""},
    {"ShellExecuteA", "Explore", Shell([](CShellExecute& s) { return s.Explore(kOwner, "x"); }),
     "0"},
    {"ShellExecuteA", "LaunchEmail",
     Shell([](CShellExecute& s) { return s.LaunchEmail(kOwner, "x"); }), "0"},
    {"ShellExecuteA", "LaunchFolder",
     Shell([](CShellExecute& s) { return s.LaunchFolder(kOwner, "x"); }), "0"},
    {"ShellExecuteA", "LaunchURL", Shell([](CShellExecute& s) { return s.LaunchURL(kOwner, "x"); }),
     "0"},
    {"ShellExecuteA", "PrintDocument",
     Shell([](CShellExecute& s) { return s.PrintDocument(kOwner, "x"); }), "0"},
    {"ShellExecuteExA", "LaunchDocument",
     Shell([](CShellExecute& s) { return s.LaunchDocument(kOwner, "x", ""); }), "0"},
    {"ShellExecuteExA", "LaunchProgram",
     Shell([](CShellExecute& s) { return s.LaunchProgram(kOwner, "x"); }), "0"},
    {"GetExitCodeProcess", "StillExecuting",
     [] {
       CShellExecute shell;
       shell.LaunchProgram(kOwner, "wait.exe");
       return Text(shell.StillExecuting());
     },
     "false"},
};

TEST(MissingEntryPoint, ReportedUnderTheProceduresNameWhichReturnsItsEmptyResult) {
  sim::ExpectMessageBoxes();
  for (const MissingEntryPoint& c : kCases) {
    SCOPED_TRACE(std::string(c.procedure) + " without " + c.entry);
    sim::Reset();
    Furnish();
    sim::Machine& m = sim::machine();
    m.uncallable.insert(c.entry);
    EXPECT_EQ(c.call(), c.result);
    ASSERT_EQ(m.message_boxes.size(), 1u);
    EXPECT_EQ(m.message_boxes[0].caption, c.procedure);
    EXPECT_EQ(m.message_boxes[0].text,
              std::string("Error: 453. Can't find DLL entry point ") + c.entry);
    EXPECT_EQ(m.message_boxes[0].type, platform::kMbOk | platform::kMbTaskModal);
    EXPECT_TRUE(m.open_keys.empty());
    EXPECT_TRUE(m.open_searches.empty());
    EXPECT_TRUE(m.open_device_contexts.empty());
    EXPECT_TRUE(m.open_processes.empty());
    EXPECT_FALSE(m.clipboard_open);
    EXPECT_TRUE(m.global_blocks.empty());
  }
}

}  // namespace
