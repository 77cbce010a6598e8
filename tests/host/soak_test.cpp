// Runs everything the program can do many times over and checks that every key, device
// context, file handle, search, process handle and global block handed out came back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "osinfo/COSInfo.h"
#include "platform/sim/sim_machine.h"
#include "report_window/frmMain.h"
#include "shell/CShellExecute.h"

namespace {

// A few rounds show that each one gives back all it takes; the stress run (tests/stress/run.sh)
// asks for many more through SONDREL_SOAK_ROUNDS.
int Rounds() {
  const char* asked = std::getenv("SONDREL_SOAK_ROUNDS");
  const long rounds = asked != nullptr ? std::strtol(asked, nullptr, 10) : 0;
  return rounds > 0 && rounds <= 1000000 ? static_cast<int>(rounds) : 3;
}

void FurnishMachine() {
  sim::Machine& m = sim::machine();
  sim::AddFile("C:\\Program Files\\Sondrel\\Sondrel.exe");
  sim::AddFile("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
               {platform::kFileAttributeNormal, "", sim::VersionResource(0x60000, 0)});
  m.files["C:\\Program Files"].short_name = "PROGRA~1";
  m.htm_program = "C:\\PROGRA~1\\Internet Explorer\\IEXPLORE.EXE";
  sim::AddFile("C:\\WINDOWS\\System32\\msjava.dll",
               {platform::kFileAttributeNormal, "", sim::VersionResource(0x50000, 0)});
  sim::AddFile("C:\\WINDOWS\\System32\\ZoneLabs\\VSMON.EXE");
  sim::SetString(platform::kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version",
                 "6.0");
  sim::SetDword(platform::kHkeyLocalMachine, "Software\\JavaSoft\\Java Web Start", "CurrentVersion",
                5);
  sim::SetString(platform::kHkeyCurrentUser, "Software\\Microsoft\\MS Setup (ACME)\\User Info",
                 "DefName", "Giulia");
}

void EveryMember(const COSInfo& os) {
  os.Beep(os.Beep());
  os.ComputerName(os.ComputerName());
  os.CurrentHardwareProfile();
  os.DefaultCompanyName();
  os.DefaultUserName();
  os.DisplayColors();
  os.GUID();
  os.Language();
  os.LargeFonts();
  os.OSAdditional();
  os.OSBuild();
  os.OSMajorVersion();
  os.OSMinorVersion();
  os.ScreenSaverActive(os.ScreenSaverActive());
  os.ScreenSaverTimeout(os.ScreenSaverTimeout());
  os.SystemDirectory();
  os.TempFile("snd");
  os.TempPath();
  os.UserName();
  os.WindowsDirectory();
  os.WindowsType();
  int16_t left = 0, top = 0, width = 0, height = 0;
  os.GetWorkArea(left, top, width, height);
}

void EveryLaunch(CShellExecute& shell) {
  shell.LaunchProgram(1, "wait.exe");
  shell.StillExecuting();
  shell.LaunchDocument(1, "a.txt", "C:\\");
  shell.Explore(1, "C:\\");
  shell.LaunchProgram(1, "wait.exe");
  shell.LaunchEmail(1, "");
  shell.LaunchFolder(1, "C:\\");
  shell.LaunchProgram(1, "wait.exe");
  shell.LaunchURL(1, "http://h/");
  shell.PrintDocument(1, "a.txt");
  shell.LaunchProgram(1, "wait.exe");
}

TEST(Soak, EveryResourceHandedOutComesBack) {
  sim::Reset();
  FurnishMachine();
  sim::Machine& m = sim::machine();
  std::string first_report;
  const int rounds = Rounds();
  for (int round = 0; round < rounds; ++round) {
    m.form = {};
    {
      frmMain form;
      form.Show();
      if (round == 0) first_report = form.Text1.Text();
      ASSERT_EQ(form.Text1.Text(), first_report) << "round " << round;
      sim::Click(form.btnCopy.Id());
      sim::Click(form.btnDownload[0].Id());
    }
    EveryMember(COSInfo());
    {
      CShellExecute shell;
      EveryLaunch(shell);
    }
    m.calls.clear();
    m.shell_requests.clear();
    m.system_parameters_calls.clear();
    m.processes.clear();
  }
  EXPECT_TRUE(m.message_boxes.empty());
  EXPECT_TRUE(m.open_keys.empty());
  EXPECT_TRUE(m.open_device_contexts.empty());
  EXPECT_TRUE(m.open_files.empty());
  EXPECT_TRUE(m.open_searches.empty());
  EXPECT_TRUE(m.open_processes.empty());
  ASSERT_TRUE(m.clipboard_text);
  EXPECT_EQ(m.global_blocks.size(), 1u) << "only the block the clipboard owns";
  EXPECT_FALSE(sim::Resolve("C:\\Program Files\\Sondrel\\kelvoran.htm"));
}

}  // namespace
