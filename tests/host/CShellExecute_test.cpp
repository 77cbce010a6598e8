#include "shell/CShellExecute.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"

namespace {

constexpr platform::WindowHandle kOwner = 0x1234;

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  const sim::ShellRequest& LastRequest() { return m.shell_requests.back(); }
  int GetExitCodeCalls() {
    return static_cast<int>(std::count(m.calls.begin(), m.calls.end(), "GetExitCodeProcess"));
  }
  sim::Machine& m = sim::machine();
};

using Launch = int32_t (*)(CShellExecute&);

struct SimpleCase {
  const char* member;
  Launch launch;
  std::optional<std::string> verb;
  const char* file;
  int32_t show;
};

class SimpleLaunchTest : public ShellTest, public ::testing::WithParamInterface<SimpleCase> {};

TEST_P(SimpleLaunchTest, HandsTheShellItsVerbFileAndShowStyle) {
  const SimpleCase& c = GetParam();
  sim::AddFolder("C:\\Dati");
  sim::AddFile("C:\\a.txt");
  CShellExecute shell;
  EXPECT_EQ(c.launch(shell), -1);
  ASSERT_EQ(m.shell_requests.size(), 1u);
  const sim::ShellRequest& request = LastRequest();
  EXPECT_FALSE(request.extended);
  EXPECT_EQ(request.owner, kOwner);
  EXPECT_EQ(request.verb, c.verb);
  EXPECT_EQ(request.file, c.file);
  EXPECT_EQ(request.parameters, std::nullopt);
  EXPECT_EQ(request.directory, std::nullopt);
  EXPECT_EQ(request.show, c.show);
}

INSTANTIATE_TEST_SUITE_P(
    Members, SimpleLaunchTest,
    ::testing::Values(
        SimpleCase{"Explore", [](CShellExecute& s) { return s.Explore(kOwner, "C:\\Dati"); },
                   "explore", "C:\\Dati", 10},
        SimpleCase{"LaunchFolder",
                   [](CShellExecute& s) { return s.LaunchFolder(kOwner, "C:\\Dati", 3); }, "open",
                   "C:\\Dati", 3},
        SimpleCase{"LaunchEmail",
                   [](CShellExecute& s) { return s.LaunchEmail(kOwner, "a b@c?x=1"); },
                   std::nullopt, "mailto:a b@c?x=1", 10},
        SimpleCase{"LaunchEmailEmpty", [](CShellExecute& s) { return s.LaunchEmail(kOwner, ""); },
                   std::nullopt, "mailto:", 10},
        SimpleCase{"LaunchURL",
                   [](CShellExecute& s) { return s.LaunchURL(kOwner, " http://h/a b?c=%20 ", 1); },
                   std::nullopt, " http://h/a b?c=%20 ", 1},
        SimpleCase{"PrintDocument",
                   [](CShellExecute& s) { return s.PrintDocument(kOwner, "C:\\a.txt"); }, "print",
                   "C:\\a.txt", 0}),
    [](const auto& info) { return std::string(info.param.member); });

TEST_F(ShellTest, LaunchStatusIsMinusOneOnlyAbove32) {
  struct {
    intptr_t shell;
    int32_t status;
  } const cases[] = {{0, 0}, {2, 2}, {31, 31}, {32, 32}, {33, -1}, {42, -1}, {-5, -5}};
  for (const auto& c : cases) {
    m.shell_result = c.shell;
    CShellExecute shell;
    EXPECT_EQ(shell.LaunchURL(kOwner, "x"), c.status) << c.shell;
    EXPECT_EQ(shell.LaunchProgram(kOwner, "x"), c.status) << c.shell;
  }
}

TEST_F(ShellTest, ExtendedLaunchFillsTheRecord) {
  CShellExecute shell;
  EXPECT_EQ(shell.LaunchProgram(kOwner, "%WINDIR%\\notepad.exe"), -1);
  const sim::ShellRequest program = LastRequest();
  EXPECT_TRUE(program.extended);
  EXPECT_EQ(program.mask, 0x240u);
  EXPECT_EQ(program.owner, kOwner);
  EXPECT_EQ(program.verb, "Open");
  EXPECT_EQ(program.file, "%WINDIR%\\notepad.exe");
  EXPECT_EQ(program.parameters, "");
  EXPECT_EQ(program.directory, "");
  EXPECT_EQ(program.show, 10);

  shell.LaunchDocument(kOwner, "C:\\a.doc", "C:\\", 2);
  EXPECT_EQ(LastRequest().parameters, "");
  EXPECT_EQ(LastRequest().directory, "C:\\");
  EXPECT_EQ(LastRequest().show, 2);
  shell.LaunchProgram(kOwner, "p.exe", "-x \"y\"", "C:\\W", 7);
  EXPECT_EQ(LastRequest().parameters, "-x \"y\"");
  EXPECT_EQ(LastRequest().directory, "C:\\W");
}

TEST_F(ShellTest, StillExecutingFollowsTheStartedProcess) {
  CShellExecute shell;
  EXPECT_FALSE(shell.StillExecuting());
  EXPECT_EQ(GetExitCodeCalls(), 0) << "nothing launched yet: the platform is not asked";
  shell.LaunchProgram(kOwner, "wait.exe");
  ASSERT_EQ(m.open_processes.size(), 1u);
  const platform::ProcessHandle process = *m.open_processes.begin();
  EXPECT_TRUE(shell.StillExecuting());
  for (const uint32_t ended_with : {0u, 1u, 0xC0000005u}) {
    m.processes[process] = {false, ended_with};
    EXPECT_FALSE(shell.StillExecuting()) << "ended with exit code " << ended_with;
  }
  m.processes[process] = {false, platform::kStillActive};
  EXPECT_TRUE(shell.StillExecuting()) << "an exit code of 259 reads as running";
}

TEST_F(ShellTest, AnyLaterLaunchForgetsAndClosesTheProcess) {
  CShellExecute shell;
  shell.LaunchProgram(kOwner, "wait.exe");
  shell.LaunchURL(kOwner, "http://h/");
  EXPECT_TRUE(m.open_processes.empty()) << "the earlier process handle is closed";
  const int asked = GetExitCodeCalls();
  EXPECT_FALSE(shell.StillExecuting());
  EXPECT_EQ(GetExitCodeCalls(), asked);

  shell.LaunchProgram(kOwner, "one.exe");
  shell.LaunchProgram(kOwner, "two.exe");
  EXPECT_EQ(m.open_processes.size(), 1u);
}

TEST_F(ShellTest, ObjectEndClosesTheProcess) {
  {
    CShellExecute shell;
    shell.LaunchDocument(kOwner, "a.txt", "");
    EXPECT_EQ(m.open_processes.size(), 1u);
  }
  EXPECT_TRUE(m.open_processes.empty());
}

TEST_F(ShellTest, SuccessWithoutAProcessAndFailureAreNotRunning) {
  CShellExecute shell;
  m.shell_starts_process = false;
  EXPECT_EQ(shell.LaunchDocument(kOwner, "a.htm", ""), -1);
  EXPECT_FALSE(shell.StillExecuting());
  m.shell_result = 2;
  EXPECT_EQ(shell.LaunchProgram(kOwner, "missing.exe"), 2);
  // The stored answer is not 0, so the platform is asked, and fails on the null handle.
  const int asked = GetExitCodeCalls();
  EXPECT_FALSE(shell.StillExecuting());
  EXPECT_EQ(GetExitCodeCalls(), asked + 1);
  EXPECT_TRUE(m.message_boxes.empty());
}

// A launch that raised an error started nothing, so nothing is asked about afterwards.
TEST_F(ShellTest, ALaunchThatRaisedLeavesNothingToAskAbout) {
  sim::ExpectMessageBoxes();
  m.uncallable = {"ShellExecuteExA", "GetExitCodeProcess"};
  CShellExecute shell;
  EXPECT_EQ(shell.LaunchProgram(kOwner, "x"), 0);
  EXPECT_FALSE(shell.StillExecuting());
  EXPECT_EQ(GetExitCodeCalls(), 0);
  ASSERT_EQ(m.message_boxes.size(), 1u);
  EXPECT_EQ(m.message_boxes[0].caption, "LaunchProgram");
}

}  // namespace
