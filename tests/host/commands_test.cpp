#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"
#include "report_window/frmMain.h"

namespace {

struct FreshMachine {
  FreshMachine() { sim::Reset(); }
};

class CommandsTest : public ::testing::Test, FreshMachine {
 protected:
  void Show() { form.Show(); }
  bool Unloaded() const { return m.form.unloaded; }
  // What the user types into the report box.
  void TypeIntoReport(const std::string& text) { form.Text1.Text(text); }

  sim::Machine& m = sim::machine();
  frmMain form;
};

TEST_F(CommandsTest, CopyPutsTheReportWithoutOuterSpacesOnTheClipboard) {
  Show();
  TypeIntoReport("  \tRapporto\r\nriga \r\n  ");
  sim::Click(form.btnCopy.Id());
  const std::string copied = "\tRapporto\r\nriga \r\n";
  std::vector<uint8_t> expected(copied.begin(), copied.end());
  expected.push_back(0);
  EXPECT_EQ(sim::ClipboardBytes(), expected);
  EXPECT_FALSE(Unloaded());

  TypeIntoReport("    ");
  sim::Click(form.btnCopy.Id());
  EXPECT_EQ(sim::ClipboardBytes(), std::vector<uint8_t>{0});
}

TEST_F(CommandsTest, CopyOfTheBuiltReportKeepsItsFinalLineBreak) {
  Show();
  sim::Click(form.btnCopy.Id());
  const std::optional<std::vector<uint8_t>> copied = sim::ClipboardBytes();
  ASSERT_TRUE(copied);
  EXPECT_EQ(std::string(copied->begin(), copied->end() - 1), form.Text1.Text());
}

// While a failing copy reports its error, clicks and the close box reach nothing; afterwards the
// window takes them again. So is it while the service pack question waits for its answer.
TEST_F(CommandsTest, FormTakesNoInputWhileABoxShows) {
  sim::ExpectMessageBoxes();
  m.uncallable.insert("EmptyClipboard");
  m.version.csd = "Service Pack 4";
  m.message_box_answers = {platform::kIdOk, platform::kIdNo};
  Show();
  const auto click_everything = [&] {
    for (const Control* button : {&form.btnCopy, &form.btnDownload[1], &form.btnClose})
      sim::Click(button->Id());
    sim::PressCloseBox();
  };
  for (const Control* button : {&form.btnCopy, &form.btnDownload[0]}) {
    m.while_message_box_shows = click_everything;
    sim::Click(button->Id());
  }
  ASSERT_EQ(m.message_boxes.size(), 2u);
  EXPECT_EQ(m.message_boxes[0].caption, "SetClipboardData");
  EXPECT_EQ(m.message_boxes[0].type, platform::kMbOk | platform::kMbTaskModal);
  EXPECT_EQ(m.message_boxes[1].caption, "Sondrel");
  EXPECT_TRUE(m.shell_requests.empty());
  EXPECT_FALSE(Unloaded());
  sim::Click(form.btnClose.Id());
  EXPECT_TRUE(Unloaded());
}

TEST_F(CommandsTest, SunDownloadOpensItsPageAndCloses) {
  Show();
  sim::Click(form.btnDownload[1].Id());
  ASSERT_EQ(m.shell_requests.size(), 1u);
  const sim::ShellRequest& request = m.shell_requests[0];
  EXPECT_FALSE(request.extended);
  EXPECT_EQ(request.verb, std::nullopt);
  EXPECT_EQ(request.file, "http://www.java.com/it/");
  EXPECT_EQ(request.show, 1);
  EXPECT_EQ(request.owner, sim::kFormHandle);
  EXPECT_TRUE(Unloaded());
  EXPECT_TRUE(m.message_boxes.empty());
}

TEST_F(CommandsTest, WindowClosesWhateverTheShellAnswers) {
  sim::ExpectMessageBoxes();
  for (const intptr_t answer : {intptr_t{0}, intptr_t{2}, intptr_t{31}}) {
    sim::Reset();
    m.shell_result = answer;
    frmMain window;
    window.Show();
    sim::Click(window.btnDownload[0].Id());
    EXPECT_TRUE(m.form.unloaded) << answer;
  }
  sim::Reset();
  m.uncallable.insert("ShellExecuteA");
  frmMain window;
  window.Show();
  sim::Click(window.btnDownload[1].Id());
  EXPECT_TRUE(m.form.unloaded);
  ASSERT_EQ(m.message_boxes.size(), 1u);
  EXPECT_EQ(m.message_boxes[0].caption, "LaunchURL");
}

TEST_F(CommandsTest, MicrosoftDownloadWithoutServicePack4AsksNothing) {
  m.version.csd = "Service Pack 3";
  Show();
  sim::Click(form.btnDownload[0].Id());
  ASSERT_EQ(m.shell_requests.size(), 1u);
  EXPECT_EQ(m.shell_requests[0].file, "http://www.sondrel.it/download/msjavx86.exe");
  EXPECT_EQ(m.shell_requests[0].show, 1);
  EXPECT_TRUE(m.message_boxes.empty());
  EXPECT_TRUE(Unloaded());
}

// A question box that cannot be shown answers 0, which is not No: the download goes ahead.
TEST_F(CommandsTest, ServicePack4QuestionThatFailsDownloads) {
  sim::ExpectMessageBoxes();
  m.version = {false, 5, 0, 2195, 2, "Service Pack 4"};
  m.message_box_answers = {0};
  Show();
  sim::Click(form.btnDownload[0].Id());
  ASSERT_EQ(m.message_boxes.size(), 1u);
  EXPECT_EQ(m.shell_requests.size(), 1u);
  EXPECT_TRUE(Unloaded());
}

TEST_F(CommandsTest, ServicePack4QuestionNoKeepsTheWindowYesDownloads) {
  sim::ExpectMessageBoxes();
  m.version = {false, 5, 0, 2195, 2, "Service Pack 4"};
  m.message_box_answers = {platform::kIdNo, platform::kIdNo, platform::kIdYes};
  Show();
  for (int click = 1; click <= 2; ++click) {
    sim::Click(form.btnDownload[0].Id());
    EXPECT_TRUE(m.shell_requests.empty());
    EXPECT_FALSE(Unloaded());
    ASSERT_EQ(m.message_boxes.size(), static_cast<size_t>(click)) << "asked on every click";
  }
  sim::Click(form.btnDownload[0].Id());
  EXPECT_EQ(m.shell_requests.size(), 1u);
  EXPECT_TRUE(Unloaded());
  const sim::MessageBoxCall& question = m.message_boxes[0];
  EXPECT_EQ(question.text,
            "Win 2000 SP4 non consente\r\nl'installazione della VM Microsoft\r\n"
            "Procedo con il download?");
  EXPECT_EQ(question.caption, "Sondrel");
  EXPECT_EQ(question.type, 68u);
}

// Only the test can say what the user answers: a question it did not script fails it.
TEST_F(CommandsTest, AQuestionWithoutAnAnswerFailsTheTest) {
  sim::ExpectMessageBoxes();
  m.version.csd = "Service Pack 4";
  Show();
  EXPECT_THROW(sim::Click(form.btnDownload[0].Id()), std::logic_error);
  EXPECT_TRUE(m.shell_requests.empty());
}

TEST_F(CommandsTest, QuestionFollowsWhatTheBoxSaysNow) {
  sim::ExpectMessageBoxes();
  struct {
    const char* text;
    bool asks;
  } const cases[] = {{"Service Pack 4", true},  {"xService Pack 41", true},
                     {"service pack 4", false}, {"Service Pack  4", false},
                     {"Service Pack 3", false}, {"", false}};
  for (const auto& c : cases) {
    sim::Reset();
    m.message_box_answers = {platform::kIdNo};
    frmMain window;
    window.Show();
    window.Text1.Text(c.text);
    sim::Click(window.btnDownload[0].Id());
    EXPECT_EQ(m.message_boxes.size(), c.asks ? 1u : 0u) << c.text;
    EXPECT_EQ(m.form.unloaded, !c.asks) << c.text;
  }
}

TEST_F(CommandsTest, OnlyTheCloseAndDownloadButtonsCloseTheWindow) {
  Show();
  form.btnDownload_Click(2);
  form.btnDownload_Click(-1);
  sim::Click(form.btnCopy.Id());
  EXPECT_FALSE(Unloaded());
  EXPECT_TRUE(m.shell_requests.empty());
  sim::Click(form.btnClose.Id());
  EXPECT_TRUE(Unloaded());
}

}  // namespace
