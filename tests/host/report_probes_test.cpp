#include <gtest/gtest.h>

#include <functional>

#include "platform/sim/sim_machine.h"
#include "report_window/frmMain.h"

namespace {

using platform::kHkeyLocalMachine;
using platform::toolkit::Picture;

constexpr char kProgramFolder[] = "C:\\Program Files\\Sondrel";
constexpr char kProbeFile[] = "C:\\Program Files\\Sondrel\\kelvoran.htm";
constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunServices[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";

// The window is made in a fresh machine, so the machine is reset before the members exist.
struct FreshMachine {
  FreshMachine() { sim::Reset(); }
};

class ProbesTest : public ::testing::Test, FreshMachine {
 protected:
  void SetUp() override { AddProgramAndSystemFolders(); }
  static void AddProgramAndSystemFolders() {
    sim::AddFolder("C:\\WINDOWS\\System32");
    sim::AddFile(std::string(kProgramFolder) + "\\Sondrel.exe");
  }
  void TearDown() override {
    EXPECT_TRUE(m.open_keys.empty());
    EXPECT_TRUE(m.open_files.empty());
    EXPECT_TRUE(m.open_searches.empty());
  }

  // The report from the empty line after the Windows section on.
  std::string ProbeSection() {
    form.Show();
    const std::string report = form.Text1.Text();
    return report.substr(report.find("\r\n\r\nBrowser") + 2);
  }
  const sim::SimControl& Native(const Control& control) { return m.form.controls.at(control.Id()); }

  void InstallBrowser() {
    sim::AddFolder("C:\\Program Files\\Internet Explorer");
    m.files["C:\\Program Files"].short_name = "PROGRA~1";
    m.files["C:\\Program Files\\Internet Explorer"].short_name = "INTERN~1";
    sim::AddFile("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
                 {platform::kFileAttributeNormal, "", sim::VersionResource(0x60000, 0xB540884)});
    m.htm_program = "C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE";
  }

  sim::Machine& m = sim::machine();
  frmMain form;
};

TEST_F(ProbesTest, EverythingPresent) {
  InstallBrowser();
  sim::SetString(kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version",
                 "6.0.2900.2180");
  sim::SetString(kHkeyLocalMachine, "Software\\Netscape\\Netscape Navigator", "CurrentVersion",
                 "7.2 (it)");
  sim::SetDword(kHkeyLocalMachine, "Software\\JavaSoft\\Java Web Start", "CurrentVersion", 5);
  sim::AddFile("C:\\WINDOWS\\System32\\msjava.dll",
               {platform::kFileAttributeNormal, "", sim::VersionResource(0x50000, 0x13BA0000)});
  sim::AddFile("C:\\WINDOWS\\System32\\ZoneLabs\\VSMON.EXE",
               {platform::kFileAttributeNormal, "", sim::VersionResource(0x50005, 0x00FA0000)});
  sim::SetString(kHkeyLocalMachine, kRunServices, "SmcService", "C:\\Sygate\\smc.exe -s");
  sim::SetString(kHkeyLocalMachine, kRunServices, "iamapp", "iamapp.exe");
  sim::SetString(kHkeyLocalMachine, kRun, "MPFTray", "mpftray.exe");
  sim::SetString(kHkeyLocalMachine, kRunServices, "PAVFIRES", "pavfires.exe");
  sim::SetString(kHkeyLocalMachine, kRun, "Outpost Firewall", "outpost.exe /waitservice");
  sim::SetValue(kHkeyLocalMachine, kRunServices, "KPF4", {platform::kRegBinary, {0x4B, 0x0F}});

  EXPECT_EQ(ProbeSection(),
            "\r\n"
            "Browser predefinito = C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"
            " versione 6.0.2900.2180\r\n"
            "Microsoft Internet Explorer = 6.0.2900.2180\r\n"
            "Netscape Navigator = 7.2 (it)\r\n"
            "Java Web Start (Sun) = 5\r\n"
            "JVM Microsoft = 5.0.5050.0\r\n"
            "\r\n"
            "Zone Alarm firewall = 5.5.250.0\r\n"
            "Sygate Personal Firewall = C:\\Sygate\\smc.exe -s\r\n"
            "Norton Personal Firewall = iamapp.exe\r\n"
            "McAfee Personal Firewall = mpftray.exe\r\n"
            "Panda Internet Security = pavfires.exe\r\n"
            "Agnitum Outpost Firewall = outpost.exe /waitservice\r\n"
            "Kerio Personal Firewall = 4B 0F\r\n");
  for (int panel : {0, 1}) {
    EXPECT_EQ(Native(form.Pict[panel]).picture, Picture::Tick) << panel;
    EXPECT_EQ(Native(form.Pict[panel]).text, "Installata") << panel;
    EXPECT_FALSE(Native(form.btnDownload[panel]).enabled) << panel;
  }
  EXPECT_EQ(Native(form.lblVersion[1]).text, "Versione 5");
  EXPECT_EQ(Native(form.lblVersion[0]).text, "Versione 5.0.5050.0");
  EXPECT_FALSE(sim::Resolve(kProbeFile)) << "the probe file is gone";
  EXPECT_TRUE(m.message_boxes.empty());
}

// A machine of each family with a browser that the shell names in short form, Internet
// Explorer, the Microsoft VM and Zone Alarm: the whole report and the panels.
struct FamilyMachine {
  const char* name;
  sim::WindowsFamily family;
  sim::VersionRecord version;
  const char* windows_folder;
  const char* system_folder;
  uint32_t browser_ls;  // Internet Explorer 6.0 on both
  std::string report;
};

class FamilyReportTest : public ProbesTest, public ::testing::WithParamInterface<FamilyMachine> {};

TEST_P(FamilyReportTest, WholeReportAndPanels) {
  const FamilyMachine& c = GetParam();
  m.family = c.family;
  m.version = c.version;
  m.windows_directory = c.windows_folder;
  m.system_directory = c.system_folder;
  m.bits_per_pixel = 16;
  InstallBrowser();
  m.files["C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"].version_resource =
      sim::VersionResource(0x60000, c.browser_ls);
  const std::string system = c.system_folder;
  sim::AddFile(system + "\\msjava.dll",
               {platform::kFileAttributeNormal, "", sim::VersionResource(0x50000, 0x0EE20000)});
  sim::AddFile(system + "\\ZoneLabs\\VSMON.EXE",
               {platform::kFileAttributeNormal, "", sim::VersionResource(0x20006, 0x016A0000)});
  // Stored without its NUL, as some installers wrote it.
  sim::SetValue(kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version",
                {platform::kRegSz, {'6', '.', '0'}});
  // The start-up keys hold one firewall's entry each beside others, so the reader meets both a
  // value and a missing one in an open key, as the family answers them.
  sim::SetString(kHkeyLocalMachine, kRun, "MPFTray", "C:\\McAfee\\mpftray.exe");
  sim::SetString(kHkeyLocalMachine, kRun, "SystemTray", "SysTray.Exe");
  sim::SetString(kHkeyLocalMachine, kRunServices, "KPF4", "kpf4ss.exe");
  sim::SetString(kHkeyLocalMachine, kRunServices, "LoadPowerProfile", "Rundll32.exe");
  sim::SetString(kHkeyLocalMachine, "Software\\Netscape\\Netscape Navigator", "CurrentVersion",
                 "4.79 (it)");
  form.Show();
  EXPECT_EQ(form.Text1.Text(), c.report);
  EXPECT_EQ(Native(form.Pict[0]).picture, Picture::Tick);
  EXPECT_FALSE(Native(form.btnDownload[0]).enabled);
  EXPECT_EQ(Native(form.lblVersion[0]).text, "Versione 5.0.3810.0");
  EXPECT_EQ(Native(form.Pict[1]).picture, Picture::Cross);
  EXPECT_TRUE(Native(form.btnDownload[1]).enabled);
  EXPECT_EQ(Native(form.lblVersion[1]).text, "Non installata");
  EXPECT_FALSE(sim::Resolve(kProbeFile));
  EXPECT_TRUE(m.message_boxes.empty());
}

const std::string kProbesAfterBrowser =
    "Microsoft Internet Explorer = 6.0\r\n"
    "Netscape Navigator = 4.79 (it)\r\n"
    "Java Web Start (Sun) = Non installata\r\n"
    "JVM Microsoft = 5.0.3810.0\r\n"
    "\r\n"
    "Zone Alarm firewall = 2.6.362.0\r\n"
    "Sygate Personal Firewall = Non trovato\r\n"
    "Norton Personal Firewall = Non trovato\r\n"
    "McAfee Personal Firewall = C:\\McAfee\\mpftray.exe\r\n"
    "Panda Internet Security = Non trovato\r\n"
    "Agnitum Outpost Firewall = Non trovato\r\n"
    "Kerio Personal Firewall = kpf4ss.exe\r\n";

INSTANTIATE_TEST_SUITE_P(
    Families, FamilyReportTest,
    ::testing::Values(
        FamilyMachine{"Windows98SecondEdition", sim::WindowsFamily::k9x,
                      sim::VersionRecord{false, 4, 10, 0x040A08AE, 1, " A "}, "C:\\WINDOWS",
                      "C:\\WINDOWS\\SYSTEM", 0x0A2804B0,
                      std::string("Informazioni sul sistema - a cura del team Sondrel\r\n\r\n") +
                          "WindowsType = Windows 98 Second Edition ( A )\r\n"
                          "Version = 4.10\r\n"
                          "OSBuild = 2222\r\n"
                          "Language = Italian\r\n"
                          "SystemDirectory = C:\\WINDOWS\\SYSTEM\r\n"
                          "WindowsDirectory = C:\\WINDOWS\r\n"
                          "DisplayColors = 65536\r\n"
                          "\r\n"
                          "Browser predefinito = C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"
                          " versione 6.0.2600.1200\r\n" +
                          kProbesAfterBrowser},
        FamilyMachine{"WindowsNT4ServicePack6a", sim::WindowsFamily::kNt4,
                      sim::VersionRecord{false, 4, 0, 1381, 2, "Service Pack 6"}, "C:\\WINNT",
                      "C:\\WINNT\\system32", 0x0AF00452,
                      std::string("Informazioni sul sistema - a cura del team Sondrel\r\n\r\n") +
                          "WindowsType = Windows NT (Service Pack 6)\r\n"
                          "Version = 4.0\r\n"
                          "OSBuild = 1381\r\n"
                          "Language = Italian\r\n"
                          "SystemDirectory = C:\\WINNT\\system32\r\n"
                          "WindowsDirectory = C:\\WINNT\r\n"
                          "DisplayColors = 65536\r\n"
                          "\r\n"
                          "Browser predefinito = C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"
                          " versione 6.0.2800.1106\r\n" +
                          kProbesAfterBrowser}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProbesTest, NothingPresent) {
  sim::SetString(kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version", "");
  sim::SetValue(kHkeyLocalMachine, kRun, "MPFTray", {platform::kRegExpandSz, {'%', 0}});
  EXPECT_EQ(ProbeSection(),
            "\r\n"
            "Browser predefinito = Non trovato\r\n"
            "Microsoft Internet Explorer = Non trovato\r\n"
            "Netscape Navigator = Non trovato\r\n"
            "Java Web Start (Sun) = Non installata\r\n"
            "JVM Microsoft = Non installata\r\n"
            "\r\n"
            "Zone Alarm firewall = Non trovato\r\n"
            "Sygate Personal Firewall = Non trovato\r\n"
            "Norton Personal Firewall = Non trovato\r\n"
            "McAfee Personal Firewall = Non trovato\r\n"
            "Panda Internet Security = Non trovato\r\n"
            "Agnitum Outpost Firewall = Non trovato\r\n"
            "Kerio Personal Firewall = Non trovato\r\n");
  for (int panel : {0, 1}) {
    EXPECT_EQ(Native(form.Pict[panel]).picture, Picture::Cross) << panel;
    EXPECT_EQ(Native(form.Pict[panel]).text, "Non installata") << panel;
    EXPECT_TRUE(Native(form.btnDownload[panel]).enabled) << panel;
    EXPECT_EQ(Native(form.lblVersion[panel]).text, "Non installata") << panel;
  }
  EXPECT_FALSE(sim::Resolve(kProbeFile));
}

TEST_F(ProbesTest, FilesWithoutVersionsAndFilesThatAreNotPlain) {
  InstallBrowser();
  m.files["C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"].version_resource.reset();
  sim::AddFile("C:\\WINDOWS\\System32\\msjava.dll");
  sim::AddFolder("C:\\WINDOWS\\System32\\ZoneLabs\\VSMON.EXE");
  const std::string section = ProbeSection();
  EXPECT_NE(section.find("Browser predefinito = C:\\Program Files\\Internet Explorer\\"
                         "IEXPLORE.EXE versione \r\n"),
            std::string::npos);
  EXPECT_NE(section.find("\r\nJVM Microsoft = \r\n"), std::string::npos);
  EXPECT_EQ(Native(form.lblVersion[0]).text, "Versione ");
  EXPECT_FALSE(Native(form.btnDownload[0]).enabled);
  EXPECT_NE(section.find("Zone Alarm firewall = Non trovato"), std::string::npos);

  for (const uint32_t attribute :
       {platform::kFileAttributeHidden, platform::kFileAttributeSystem}) {
    sim::Reset();
    AddProgramAndSystemFolders();
    sim::AddFile("C:\\WINDOWS\\System32\\msjava.dll", {attribute, "", std::nullopt});
    frmMain again;
    again.Show();
    EXPECT_NE(again.Text1.Text().find("JVM Microsoft = Non installata"), std::string::npos);
  }
}

TEST_F(ProbesTest, ExistingProbeFileIsUsedAndLeftAlone) {
  InstallBrowser();
  const std::vector<uint8_t> content{'<', 'p', '>'};
  sim::AddFile(kProbeFile, {platform::kFileAttributeReadOnly, "KELVOR~1.HTM", content});
  EXPECT_NE(ProbeSection().find("Browser predefinito = C:\\Program Files\\Internet Explorer\\"),
            std::string::npos);
  ASSERT_TRUE(sim::Resolve(kProbeFile));
  const sim::File& kept = m.files.at(kProbeFile);
  EXPECT_EQ(kept.attributes, platform::kFileAttributeReadOnly);
  EXPECT_EQ(kept.version_resource, content);
  EXPECT_EQ(std::count(m.calls.begin(), m.calls.end(), "DeleteFileA"), 0);
}

// Windows ignores a folder's read-only attribute: the probe file is made in the program's folder.
TEST_F(ProbesTest, ReadOnlyAttributeOfTheProgramFolderIsIgnored) {
  InstallBrowser();
  m.files[kProgramFolder].attributes |= platform::kFileAttributeReadOnly;
  EXPECT_NE(ProbeSection().find("Browser predefinito = C:\\Program Files\\Internet Explorer\\"),
            std::string::npos);
  EXPECT_EQ(m.executable_look_ups, std::vector<std::string>{kProbeFile});
  EXPECT_FALSE(sim::Resolve(kProbeFile));
}

// Where the program is run from, and the code page: the probe file goes where it can be made, the
// browser's line is whole, and nothing is left anywhere.
struct ProgramPlace {
  const char* place;
  std::function<void(sim::Machine&)> arrange;
  std::string looked_up;  // where the shell looked for the probe file; empty when it was not asked
  std::string browser;    // the browser's line after its label
};

const std::string kIe = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE versione 6.0.2900.2180";
constexpr char kTemp[] = "C:\\WINDOWS\\TEMP\\kelvoran.htm";
constexpr char kWindowsTemp[] = "C:\\WINDOWS\\Temp\\kelvoran.htm";

// Folders that refuse new files.
void Refusing(sim::Machine& m, std::initializer_list<std::string> folders) {
  for (const std::string& folder : folders) m.files[folder].refuses_new_files = true;
}

// A program and a browser below folders whose names end in a character whose second byte is a
// backslash's: "\x95\x5C" and "\x83\x5C" in code page 932, "\xA5\x5C" in 950.
void DoubleByte(sim::Machine& m, uint32_t code_page, const std::string& program,
                const std::string& browser) {
  m.code_page = code_page;
  m.module_file_name = program;
  sim::AddFile(program);
  sim::AddFile(browser,
               {platform::kFileAttributeNormal, "", sim::VersionResource(0x60000, 0xB540884)});
  m.htm_program = browser;
}

const ProgramPlace kPlaces[] = {
    {"read-only folder", [](sim::Machine& m) { Refusing(m, {kProgramFolder}); }, kTemp, kIe},
    // A "?" in a folder of the program's path names nothing.
    {"name outside the code page",
     [](sim::Machine& m) { m.module_file_name = "C:\\Users\\Giulia\\????????\\Sondrel.exe"; },
     kTemp, kIe},
    {"folder too long for the system",
     [](sim::Machine& m) { m.module_file_name = "C:\\" + std::string(400, 'd') + "\\Sondrel.exe"; },
     kTemp, kIe},
    {"temporary folder read-only too",
     [](sim::Machine& m) {
       sim::AddFolder("C:\\Users\\Giulia\\Temp");
       m.temp_path = "C:\\Users\\Giulia\\Temp\\";
       Refusing(m, {kProgramFolder, "C:\\Users\\Giulia\\Temp"});
     },
     kWindowsTemp, kIe},
    {"no temporary folder call",
     [](sim::Machine& m) {
       Refusing(m, {kProgramFolder});
       m.uncallable.insert("GetTempPathA");
     },
     kWindowsTemp, kIe},
    {"no folder takes a file",
     [](sim::Machine& m) {
       Refusing(m, {kProgramFolder, "C:\\WINDOWS\\TEMP"});
     },
     "", "Non trovato"},
    {"Japanese",
     [](sim::Machine& m) {
       DoubleByte(m, 932, "C:\\Sondrel\x95\x5C\\Sondrel.exe",
                  "C:\\\x83\x5C\x83t\x83g\\Browser\\browser.exe");
     },
     "C:\\Sondrel\x95\x5C\\kelvoran.htm",
     "C:\\\x83\x5C\x83t\x83g\\Browser\\browser.exe versione 6.0.2900.2180"},
    {"Traditional Chinese",
     [](sim::Machine& m) {
       DoubleByte(m, 950, "C:\\\xA5\x5C\\Sondrel.exe", "C:\\\xA5\x5C\\browser.exe");
     },
     "C:\\\xA5\x5C\\kelvoran.htm", "C:\\\xA5\x5C\\browser.exe versione 6.0.2900.2180"},
};

TEST_F(ProbesTest, WhereverTheProgramRunsFrom) {
  for (const ProgramPlace& row : kPlaces) {
    SCOPED_TRACE(row.place);
    sim::Reset();
    AddProgramAndSystemFolders();
    InstallBrowser();
    row.arrange(m);
    const size_t files = m.files.size();
    frmMain placed;
    placed.Show();
    const std::string report = placed.Text1.Text();
    EXPECT_NE(report.find("\r\nBrowser predefinito = " + row.browser + "\r\n"), std::string::npos)
        << report;
    EXPECT_EQ(m.executable_look_ups, row.looked_up.empty()
                                         ? std::vector<std::string>{}
                                         : std::vector<std::string>{row.looked_up});
    EXPECT_EQ(m.files.size(), files) << "nothing is left behind";
    EXPECT_TRUE(m.message_boxes.empty());
  }
}

// The probe file is looked for in the program's folder, the root, not in the drive's current
// folder, which "C:" would name.
TEST_F(ProbesTest, ProgramAtADriveRoot) {
  InstallBrowser();
  sim::AddFolder("C:\\Work");
  m.current_directory = "C:\\Work";
  m.module_file_name = "C:\\Sondrel.exe";
  EXPECT_NE(ProbeSection().find("Browser predefinito = C:\\Program Files\\"), std::string::npos);
  EXPECT_FALSE(sim::Resolve("C:\\kelvoran.htm"));
}

// A run of separators in the program's path names the same folder as one separator does, so
// the probe file is made, found and taken away again.
TEST_F(ProbesTest, ProgramPathWithDoubledSeparators) {
  InstallBrowser();
  const std::string folders[] = {"C:\\\\", "C:\\Program Files\\\\Sondrel"};
  for (const std::string& folder : folders) {
    m.module_file_name = folder + "\\Sondrel.exe";
    const size_t files = m.files.size();
    EXPECT_NE(ProbeSection().find("Browser predefinito = C:\\Program Files\\"), std::string::npos)
        << folder;
    EXPECT_EQ(m.files.size(), files) << folder;
    EXPECT_FALSE(sim::Resolve(folder + "\\kelvoran.htm")) << folder;
  }
}

TEST_F(ProbesTest, FailingPresenceTestTakesThePresentBranch) {
  InstallBrowser();
  m.uncallable.insert("GetFileAttributesA");
  const std::string section = ProbeSection();
  EXPECT_NE(section.find("Browser predefinito = C:\\Program Files\\Internet Explorer\\"
                         "IEXPLORE.EXE versione 6.0.2900.2180\r\n"),
            std::string::npos);
  // Neither msjava.dll nor VSMON.EXE exists: their versions are empty.
  EXPECT_NE(section.find("\r\nJVM Microsoft = \r\n\r\nZone Alarm firewall = \r\n"),
            std::string::npos);
  EXPECT_EQ(Native(form.Pict[0]).picture, Picture::Tick);
  EXPECT_FALSE(Native(form.btnDownload[0]).enabled);
  EXPECT_EQ(Native(form.lblVersion[0]).text, "Versione ");
  EXPECT_TRUE(m.message_boxes.empty());
}

// Every piece of a line is evaluated left to right, so when each one fails its report comes in
// the order the line names them.
TEST_F(ProbesTest, FailingPiecesAreReportedInTheOrderOfTheirLine) {
  sim::ExpectMessageBoxes();
  InstallBrowser();
  m.uncallable = {"GetVersionExA", "FindFirstFileA", "GetFileVersionInfoSizeA"};
  form.Show();
  const std::string report = form.Text1.Text();
  std::vector<std::string> captions;
  for (const sim::MessageBoxCall& box : m.message_boxes) captions.push_back(box.caption);
  const std::vector<std::string> expected{"WindowsType",    "OSAdditional", "OSMajorVersion",
                                          "OSMinorVersion", "OSBuild",      "GetLongFileName",
                                          "GetFileVersion"};
  EXPECT_EQ(captions, expected);
  EXPECT_NE(report.find("\r\nVersion = 0.0\r\n"), std::string::npos);
  EXPECT_NE(report.find("\r\nBrowser predefinito =  versione \r\n"), std::string::npos);
}

TEST_F(ProbesTest, UnreachableRegistryIsReportedAndThePassGoesOn) {
  sim::ExpectMessageBoxes();
  m.uncallable.insert("RegOpenKeyExA");
  const std::string section = ProbeSection();
  // Two browsers, Java Web Start and six firewalls.
  EXPECT_EQ(m.message_boxes.size(), 9u);
  for (const auto& box : m.message_boxes) EXPECT_EQ(box.caption, "RegistryGetKeyValue");
  EXPECT_NE(section.find("Java Web Start (Sun) = Non installata\r\n"), std::string::npos);
  EXPECT_TRUE(Native(form.btnDownload[1]).enabled);
  const std::string last_line = "\r\nKerio Personal Firewall = Non trovato\r\n";
  EXPECT_EQ(section.substr(section.size() - last_line.size()), last_line);
}

TEST_F(ProbesTest, FailingWriteInTheMiddleLeavesOnlyThatPieceOut) {
  // The write of the Netscape line's label, the first after the Internet Explorer line, fails.
  bool failed = false;
  m.form.before_set_text = [&](platform::toolkit::ControlId control) {
    const std::string& shown = m.form.controls.at(control).text;
    const std::string after = "Microsoft Internet Explorer = Non trovato";
    if (control == form.Text1.Id() && !failed && shown.size() >= after.size() &&
        shown.compare(shown.size() - after.size(), after.size(), after) == 0) {
      failed = true;
      throw std::runtime_error("write failed");
    }
  };
  const std::string section = ProbeSection();
  EXPECT_NE(section.find("Microsoft Internet Explorer = Non trovatoNon trovato\r\n"
                         "Java Web Start (Sun) = "),
            std::string::npos);
  EXPECT_NE(section.find("Kerio Personal Firewall = Non trovato\r\n"), std::string::npos);
}

// Java Web Start counts as installed when its version reads as a text that is not empty.
TEST_F(ProbesTest, JavaWebStartLineAndPanel) {
  const struct {
    sim::RegistryValue stored;
    const char* reported;  // null: not installed
  } cases[] = {
      {{platform::kRegSz, {'1', '.', '4', '.', '2', 0}}, "1.4.2"},
      {{platform::kRegSz, {'1', '.', '5', ' ', 'b', 'e', 't', 'a', 0}}, "1.5 beta"},
      {{platform::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}, "-1"},
      {{platform::kRegSz, {0}}, nullptr},
      {{platform::kRegExpandSz, {'1', '.', '4', 0}}, nullptr},
  };
  for (const auto& c : cases) {
    sim::Reset();
    AddProgramAndSystemFolders();
    sim::SetValue(kHkeyLocalMachine, "Software\\JavaSoft\\Java Web Start", "CurrentVersion",
                  c.stored);
    frmMain window;
    window.Show();
    const std::string shown = c.reported ? c.reported : "Non installata";
    SCOPED_TRACE(shown);
    EXPECT_NE(window.Text1.Text().find("\r\nJava Web Start (Sun) = " + shown + "\r\n"),
              std::string::npos);
    EXPECT_EQ(Native(window.lblVersion[1]).text, c.reported ? "Versione " + shown : shown);
    EXPECT_EQ(Native(window.Pict[1]).picture, c.reported ? Picture::Tick : Picture::Cross);
    EXPECT_EQ(Native(window.btnDownload[1]).enabled, c.reported == nullptr);
  }
}

}  // namespace
