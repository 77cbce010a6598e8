#include "report_window/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>

#include "platform/base/runtime_error.h"
#include "platform/sim/sim_machine.h"
#include "report_window/program.h"

namespace toolkit = platform::toolkit;
using toolkit::ControlKind;

namespace {

class frmMainTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  const sim::SimControl& Sim(const Control& control) {
    return sim::machine().form.controls.at(control.Id());
  }
  void ExpectBounds(const Control& control, toolkit::Bounds expected) {
    const toolkit::Bounds& b = Sim(control).bounds;
    EXPECT_DOUBLE_EQ(b.left, expected.left);
    EXPECT_DOUBLE_EQ(b.top, expected.top);
    EXPECT_DOUBLE_EQ(b.width, expected.width);
    EXPECT_DOUBLE_EQ(b.height, expected.height);
  }
};

TEST_F(frmMainTest, ControlTreeAsCreated) {
  frmMain form;
  EXPECT_EQ(sim::machine().form.caption, " Sondrel");
  EXPECT_EQ(sim::machine().form.client_width, 5310);
  EXPECT_EQ(sim::machine().form.client_height, 6015);

  struct Row {
    const Control* control;
    ControlKind kind;
    const Control* container;  // null: the form
    const char* caption;
    toolkit::Bounds bounds;
    int16_t tab_index;
    bool visible;
  } rows[] = {
      {&form.resPict[1], ControlKind::PictureBox, nullptr, "", {2220, 1500, 540, 540}, 11, false},
      {&form.resPict[0], ControlKind::PictureBox, nullptr, "", {1680, 1500, 540, 540}, 10, false},
      {&form.Frame1[1], ControlKind::Frame, nullptr, "Java Sun", {2700, 60, 2535, 1095}, 6, true},
      {&form.btnDownload[1],
       ControlKind::CommandButton,
       &form.Frame1[1],
       "Download",
       {1020, 660, 1215, 315},
       9,
       true},
      {&form.Pict[1], ControlKind::PictureBox, &form.Frame1[1], "", {180, 360, 540, 540}, 7, true},
      {&form.lblVersion[1],
       ControlKind::Label,
       &form.Frame1[1],
       "lblVersion",
       {900, 300, 1515, 255},
       13,
       true},
      {&form.Frame1[0],
       ControlKind::Frame,
       nullptr,
       "Java Microsoft",
       {60, 60, 2535, 1095},
       4,
       true},
      {&form.btnDownload[0],
       ControlKind::CommandButton,
       &form.Frame1[0],
       "Download",
       {1020, 660, 1215, 315},
       8,
       true},
      {&form.Pict[0], ControlKind::PictureBox, &form.Frame1[0], "", {180, 360, 540, 540}, 5, true},
      {&form.lblVersion[0],
       ControlKind::Label,
       &form.Frame1[0],
       "lblVersion",
       {900, 300, 1515, 255},
       12,
       true},
      {&form.Picture1, ControlKind::PictureBox, nullptr, "", {0, 5400, 5310, 615}, 1, true},
      {&form.btnCopy,
       ControlKind::CommandButton,
       &form.Picture1,
       "Copia rapporto",
       {1440, 120, 1815, 435},
       3,
       true},
      {&form.btnClose,
       ControlKind::CommandButton,
       &form.Picture1,
       "Chiudi",
       {3360, 120, 1815, 435},
       2,
       true},
      {&form.Text1, ControlKind::TextBox, nullptr, "Text1", {60, 1260, 5175, 2835}, 0, true},
  };
  ASSERT_EQ(sim::machine().form.controls.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.caption);
    EXPECT_EQ(row.control->Id(), static_cast<toolkit::ControlId>(i)) << "creation order";
    const toolkit::ControlSpec& spec = Sim(*row.control).spec;
    EXPECT_EQ(spec.kind, row.kind);
    EXPECT_EQ(spec.container, row.container ? row.container->Id() : toolkit::kForm);
    EXPECT_EQ(spec.caption, row.caption);
    EXPECT_EQ(spec.tab_index, row.tab_index);
    EXPECT_EQ(spec.visible, row.visible);
    ExpectBounds(*row.control, row.bounds);
  }
}

TEST_F(frmMainTest, FontsAndPictures) {
  frmMain form;
  for (const Control* frame : {&form.Frame1[0], &form.Frame1[1]}) {
    const auto& font = Sim(*frame).spec.font;
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->face, "MS Sans Serif");
    EXPECT_EQ(font->size, 82500);
    EXPECT_EQ(font->weight, 700);
    EXPECT_EQ(font->charset, 0);
  }
  const auto& report_font = Sim(form.Text1).spec.font;
  ASSERT_TRUE(report_font.has_value());
  EXPECT_EQ(report_font->size, 97500);
  EXPECT_EQ(report_font->weight, 400);
  EXPECT_FALSE(Sim(form.btnCopy).spec.font.has_value()) << "buttons use the window's font";
  EXPECT_FALSE(Sim(form.lblVersion[0]).spec.font.has_value());

  EXPECT_EQ(Sim(form.resPict[0]).picture, toolkit::Picture::Cross);
  EXPECT_EQ(Sim(form.resPict[1]).picture, toolkit::Picture::Tick);
  EXPECT_EQ(Sim(form.Pict[0]).picture, toolkit::Picture::Cross);
  EXPECT_EQ(Sim(form.Pict[1]).picture, toolkit::Picture::Cross);
}

// Client size in twips, and what the layout rule gives for it.
struct LayoutCase {
  double width, height;
  double text_height, copy_left, close_left;
};

class frmMainLayoutTest : public frmMainTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(frmMainLayoutTest, LayoutRule) {
  const LayoutCase c = GetParam();
  frmMain form;
  form.Show();
  sim::ResizeClient(c.width, c.height);
  ExpectBounds(form.Picture1, {0, c.height - 615, c.width, 615});
  ExpectBounds(form.Text1, {0, 1255, c.width, c.text_height});
  ExpectBounds(form.btnCopy, {c.copy_left, 120, 1815, 435});
  ExpectBounds(form.btnClose, {c.close_left, 120, 1815, 435});
  // The panels never move.
  ExpectBounds(form.Frame1[0], {60, 60, 2535, 1095});
  ExpectBounds(form.Frame1[1], {2700, 60, 2535, 1095});
  ExpectBounds(form.btnDownload[1], {1020, 660, 1215, 315});
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, frmMainLayoutTest,
    ::testing::Values(LayoutCase{5310, 6015, 4145, 740, 2755},   // initial size
                      LayoutCase{8000, 6015, 4145, 2085, 4100},  // wider
                      LayoutCase{5310, 9000, 7130, 740, 2755},   // taller only
                      LayoutCase{3000, 6015, 4145, -415, 1600},  // narrower than 3830: not clamped
                      LayoutCase{5311, 6015, 4145, 740.5, 2755.5},  // odd width: real numbers
                      LayoutCase{5310, 1870, 0, 740, 2755},         // exactly room for nothing
                      LayoutCase{5310, 1000, 0, 740, 2755}));  // too short: height clamped at 0

// What the user first sees: the report in place of the box's initial text, laid out.
TEST_F(frmMainTest, ShownWithItsReportAndLaidOut) {
  frmMain form;
  form.Show();
  EXPECT_EQ(form.Text1.Text().rfind("Informazioni sul sistema", 0), 0u);
  ExpectBounds(form.Text1, {0, 1255, 5310, 4145});
  ExpectBounds(form.btnCopy, {740, 120, 1815, 435});
  ExpectBounds(form.btnClose, {2755, 120, 1815, 435});
}

template <typename Exception>
void Raise(Exception exception) {
  sim::machine().form_creation_raises = std::make_exception_ptr(exception);
}

// The DLL search is narrowed first, COM entered next and left last, whenever it was entered; a
// start that fails before the window exists is shown as any procedure shows an error, not a
// silent exit, whatever was thrown.
TEST_F(frmMainTest, TheProgramRunsInsideComAndShowsAFailedStart) {
  sim::ExpectMessageBoxes();
  struct Case {
    const char* name;
    std::function<void()> arrange;
    int result;
    bool com_left;
    const char* box;  // the message box's text, or null for none
  } cases[] = {
      {"a normal run", [] {}, 0, true, nullptr},
      {"COM entered already", [] { sim::machine().co_initialize_result = 1; }, 0, true, nullptr},
      {"COM refused (another apartment model)",
       [] { sim::machine().co_initialize_result = static_cast<int32_t>(0x80010106); }, 0, false,
       nullptr},
      {"no COM on this system", [] { sim::machine().uncallable.insert("CoInitialize"); }, 0, false,
       nullptr},
      {"no window", [] { Raise(runtime::Error(-1, "The window could not be created")); }, 1, true,
       "Error: -1. The window could not be created"},
      {"no memory", [] { Raise(std::bad_alloc()); }, 1, true, "Error: 7. Out of memory"},
      {"a size beyond any allocation", [] { Raise(std::length_error("vector")); }, 1, true,
       "Error: 7. Out of memory"},
      {"another standard exception", [] { Raise(std::out_of_range("map::at")); }, 1, true,
       "Error: 51. Internal error"},
      {"an exception of no standard type", [] { Raise(42); }, 1, true, "Error: 51. Internal error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::Reset();
    c.arrange();
    EXPECT_EQ(RunProgram(), c.result);
    const std::vector<std::string>& calls = sim::machine().calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "LimitLibrarySearch") << "before anything can load a DLL by name";
    EXPECT_EQ(calls[1], "CoInitialize");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "CoUninitialize"), c.com_left ? 1 : 0);
    if (c.com_left) {
      EXPECT_EQ(calls.back(), "CoUninitialize");
    }
    EXPECT_EQ(sim::machine().form.shown, c.result == 0);
    const std::vector<sim::MessageBoxCall>& boxes = sim::machine().message_boxes;
    if (c.box == nullptr) {
      EXPECT_TRUE(boxes.empty());
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, c.box);
      EXPECT_EQ(boxes[0].caption, "Sondrel");
      EXPECT_EQ(boxes[0].type, platform::kMbOk | platform::kMbTaskModal);
    }
  }
}

}  // namespace
