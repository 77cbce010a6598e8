#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"
#include "report_window/frmMain.h"

namespace {

std::string Report() {
  frmMain form;
  form.Show();
  return form.Text1.Text();
}

// The first line of the Windows section, and the rest, for a version record.
struct FamilyCase {
  uint32_t major, minor, build, platform_id;
  const char* csd;
  const char* line;
};

class WindowsFamilyTest : public ::testing::TestWithParam<FamilyCase> {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_P(WindowsFamilyTest, FirstLineOfTheSection) {
  const FamilyCase c = GetParam();
  sim::machine().version = {false, c.major, c.minor, c.build, c.platform_id, c.csd};
  const std::string report = Report();
  const size_t start = report.find("\r\n\r\n") + 4;
  EXPECT_EQ(report.substr(start, report.find("\r\n", start) - start), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsFamilyTest,
    ::testing::Values(
        FamilyCase{3, 1, 0, 0, "", "WindowsType = Win32s ()"},
        FamilyCase{4, 0, 950, 1, "", "WindowsType = Windows 95 ()"},
        // Second Edition: build 2222 and the service-pack text "A" once its blanks are gone.
        FamilyCase{4, 10, 0x040A08AE, 1, " A ", "WindowsType = Windows 98 Second Edition ( A )"},
        FamilyCase{4, 10, 0x040A08AE, 1, "A", "WindowsType = Windows 98 Second Edition (A)"},
        FamilyCase{4, 10, 0x040A08AE, 1, " A", "WindowsType = Windows 98 Second Edition ( A)"},
        FamilyCase{4, 10, 0x040A08AE, 1, " B", "WindowsType = Windows 98 ( B)"},
        FamilyCase{4, 10, 0x040A08AE, 1, " C", "WindowsType = Windows 98 ( C)"},
        FamilyCase{4, 10, 0x040A08AE, 1, "", "WindowsType = Windows 98 ()"},
        FamilyCase{4, 10, 0x040A08AE, 1, "a", "WindowsType = Windows 98 (a)"},
        FamilyCase{4, 10, 1998, 1, "A", "WindowsType = Windows 98 (A)"},
        FamilyCase{4, 10, 0x040A07CE, 1, " A ", "WindowsType = Windows 98 ( A )"},
        FamilyCase{4, 10, 0x040A07CE, 1, " A", "WindowsType = Windows 98 ( A)"},
        FamilyCase{4, 10, 0x040A07CE, 1, " B", "WindowsType = Windows 98 ( B)"},
        FamilyCase{4, 10, 0x040A07CE, 1, " C", "WindowsType = Windows 98 ( C)"},
        FamilyCase{4, 10, 0x040A07CE, 1, "", "WindowsType = Windows 98 ()"},
        FamilyCase{4, 90, 3000, 1, " ", "WindowsType = Windows Me ( )"},
        FamilyCase{4, 50, 1, 1, "", "WindowsType = Windows 9x ()"},
        FamilyCase{3, 51, 1057, 2, "", "WindowsType = Windows NT ()"},
        FamilyCase{4, 0, 1381, 2, "Service Pack 6", "WindowsType = Windows NT (Service Pack 6)"},
        FamilyCase{5, 0, 2195, 2, "Service Pack 4", "WindowsType = Windows 2000 (Service Pack 4)"},
        FamilyCase{5, 1, 2600, 2, "Service Pack 2", "WindowsType = Windows XP (Service Pack 2)"},
        FamilyCase{5, 1, 2600, 2, "", "WindowsType = Windows XP ()"},
        FamilyCase{5, 2, 3790, 2, "", "WindowsType = Windows NT o maggiore (?) ()"},
        FamilyCase{6, 1, 7601, 2, "Service Pack 1",
                   "WindowsType = Windows NT o maggiore (Service Pack 1)"},
        FamilyCase{2, 0, 1, 2, "", "WindowsType = Windows NT o maggiore ()"},
        FamilyCase{5, 1, 1, 3, "x", "WindowsType = 3 (?) (x)"}));

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  sim::Machine& m = sim::machine();
};

TEST_F(ReportTest, WholeWindowsSection) {
  m.version = {false, 5, 1, 2600, 2, "Service Pack 2"};
  m.bits_per_pixel = 32;
  const std::string report = Report();
  EXPECT_EQ(report.substr(0, report.find("\r\nBrowser predefinito")),
            "Informazioni sul sistema - a cura del team Sondrel\r\n\r\n"
            "WindowsType = Windows XP (Service Pack 2)\r\n"
            "Version = 5.1\r\n"
            "OSBuild = 2600\r\n"
            "Language = Italian\r\n"
            "SystemDirectory = C:\\WINDOWS\\System32\r\n"
            "WindowsDirectory = C:\\WINDOWS\r\n"
            "DisplayColors = True Color\r\n");
  EXPECT_TRUE(m.message_boxes.empty());
  EXPECT_TRUE(m.open_device_contexts.empty());
}

TEST_F(ReportTest, FailedVersionQueryReportsWin32s) {
  m.version.fails = true;
  const std::string report = Report();
  EXPECT_NE(report.find("\r\n\r\nWindowsType = Win32s ()\r\nVersion = 0.0\r\nOSBuild = 0\r\n"),
            std::string::npos);
}

TEST_F(ReportTest, FailingPropertyPrintsItsDefaultAfterItsReport) {
  sim::ExpectMessageBoxes();
  m.bits_per_pixel = 31;
  const std::string report = Report();
  EXPECT_NE(report.find("DisplayColors = 0\r\n"), std::string::npos);
  // The step reads the property twice, for the test and for the number.
  ASSERT_EQ(m.message_boxes.size(), 2u);
  EXPECT_EQ(m.message_boxes[0].caption, "DisplayColors");
  EXPECT_EQ(m.message_boxes[1].caption, "DisplayColors");
}

TEST_F(ReportTest, UntouchedLanguageBufferIsPrintedWhole) {
  m.user_lcid = 0x0407;
  EXPECT_NE(Report().find("Language = " + std::string(100, ' ') + "\r\n"), std::string::npos);
}

TEST_F(ReportTest, FailingStepLeavesOnlyItsOwnPieceOut) {
  // The text box itself fails once: the first write after the Version line, the OSBuild step's.
  frmMain form;
  bool failed = false;
  sim::machine().form.before_set_text = [&](platform::toolkit::ControlId control) {
    const std::string& shown = sim::machine().form.controls.at(control).text;
    const std::string after = "Version = 5.1\r\n";
    if (control == form.Text1.Id() && !failed && shown.size() >= after.size() &&
        shown.compare(shown.size() - after.size(), after.size(), after) == 0) {
      failed = true;
      throw std::runtime_error("write failed");
    }
  };
  form.Show();
  const std::string report = form.Text1.Text();
  EXPECT_EQ(report.find("OSBuild = "), std::string::npos);
  EXPECT_NE(report.find("Version = 5.1\r\nLanguage = Italian\r\n"), std::string::npos);
  EXPECT_NE(report.find("DisplayColors = 16777216\r\n"), std::string::npos);
}

}  // namespace
