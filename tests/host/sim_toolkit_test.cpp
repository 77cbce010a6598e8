// The simulated window refuses what the win32 toolkit refuses, so that no host test reaches the
// program in a way no user can.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/base/runtime_error.h"
#include "platform/sim/sim_machine.h"
#include "platform/toolkit.h"

namespace {

namespace toolkit = platform::toolkit;
using toolkit::ControlId;
using toolkit::ControlKind;

// Records what the toolkit hands the form.
class RecordingForm : public toolkit::FormEvents {
 public:
  void Load() override {
    if (on_load) on_load();
  }
  void Resize() override { ++resizes; }
  void Click(ControlId control) override { clicks.push_back(control); }

  std::function<void()> on_load;
  int resizes = 0;
  std::vector<ControlId> clicks;
};

class SimToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    toolkit::CreateForm({"Prova", 3000, 2000}, form_);
  }
  static ControlId Add(ControlKind kind, ControlId container = toolkit::kForm,
                       bool visible = true) {
    return toolkit::CreateControl({kind, container, "", {0, 0, 100, 100}, 0, visible});
  }
  static ControlId Disabled(ControlId control) {
    toolkit::SetControlEnabled(control, false);
    return control;
  }

  RecordingForm form_;
};

TEST_F(SimToolkitTest, ClicksReachOnlyCommandButtonsThatShowAndAreEnabled) {
  const ControlId frame = Add(ControlKind::Frame);
  const ControlId disabled_frame = Disabled(Add(ControlKind::Frame));
  const ControlId hidden_frame = Add(ControlKind::Frame, toolkit::kForm, false);
  const struct {
    const char* what;
    ControlId control;
    bool reaches;
  } cases[] = {
      {"a button in a frame", Add(ControlKind::CommandButton, frame), true},
      {"a frame", frame, false},
      {"a label", Add(ControlKind::Label, frame), false},
      {"a picture box", Add(ControlKind::PictureBox), false},
      {"a text box", Add(ControlKind::TextBox), false},
      {"a hidden button", Add(ControlKind::CommandButton, toolkit::kForm, false), false},
      {"a disabled button", Disabled(Add(ControlKind::CommandButton)), false},
      {"a button in a disabled frame", Add(ControlKind::CommandButton, disabled_frame), false},
      {"a button in a hidden frame", Add(ControlKind::CommandButton, hidden_frame), false},
  };
  toolkit::RunForm();
  for (const auto& c : cases) {
    form_.clicks.clear();
    sim::Click(c.control);
    EXPECT_EQ(form_.clicks,
              c.reaches ? std::vector<ControlId>{c.control} : std::vector<ControlId>{})
        << c.what;
  }
}

// The window shows only once it has loaded, so the user can do nothing to it before.
TEST_F(SimToolkitTest, NothingReachesTheFormWhileItLoads) {
  const ControlId button = Add(ControlKind::CommandButton);
  form_.on_load = [&] {
    sim::Click(button);
    sim::ResizeClient(5000, 5000);
    sim::PressCloseBox();
  };
  toolkit::RunForm();
  EXPECT_TRUE(form_.clicks.empty());
  EXPECT_EQ(form_.resizes, 1) << "only the first layout, once shown";
  EXPECT_EQ(toolkit::ClientWidth(), 3000);
  EXPECT_FALSE(sim::machine().form.unloaded);
}

TEST_F(SimToolkitTest, AFormUnloadedWhileItLoadsIsNeverShown) {
  form_.on_load = [] { toolkit::UnloadForm(); };
  toolkit::RunForm();
  EXPECT_EQ(form_.resizes, 0);
  EXPECT_FALSE(sim::machine().form.shown);
}

// Every call the program can make on the form, each expected to raise "The form is not loaded".
void ExpectEveryCallRefused() {
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"CreateControl",
       [] {
         toolkit::CreateControl({ControlKind::Label, toolkit::kForm, "", {0, 0, 1, 1}, 0});
       }},
      {"MoveControl",
       [] {
         toolkit::MoveControl(0, {0, 0, 1, 1});
       }},
      {"SetControlText", [] { toolkit::SetControlText(0, "x"); }},
      {"ControlText", [] { toolkit::ControlText(0); }},
      {"SetControlEnabled", [] { toolkit::SetControlEnabled(0, true); }},
      {"SetControlPicture", [] { toolkit::SetControlPicture(0, toolkit::Picture::Tick); }},
      {"ClientWidth", [] { toolkit::ClientWidth(); }},
      {"ClientHeight", [] { toolkit::ClientHeight(); }},
      {"RunForm", [] { toolkit::RunForm(); }},
  };
  for (const auto& [name, call] : calls) {
    try {
      call();
      ADD_FAILURE() << name << " worked";
    } catch (const runtime::Error& error) {
      EXPECT_EQ(error.Number(), -1) << name;
      EXPECT_EQ(error.Description(), "The form is not loaded") << name;
    }
  }
  EXPECT_EQ(toolkit::FormHandle(), platform::kNoWindow);
  EXPECT_NO_THROW(toolkit::UnloadForm());
}

TEST_F(SimToolkitTest, BeforeTheFormIsMadeAndOnceItIsUnloadedEveryCallIsRefused) {
  const ControlId button = Add(ControlKind::CommandButton);
  toolkit::RunForm();
  toolkit::UnloadForm();
  ExpectEveryCallRefused();
  EXPECT_THROW(sim::Click(button), std::logic_error) << "there is no window to click";
  sim::Reset();
  ExpectEveryCallRefused();
}

}  // namespace
