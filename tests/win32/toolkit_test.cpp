// What the window toolkit lets reach the form's handlers under the real window system: no click
// while the form loads, no layout while it is minimised, the focus given back when the window is
// activated again, and no error escaping a handler into the system's code.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/base/runtime_error.h"
#include "platform/toolkit.h"
#include "win32_test_support.h"

namespace {

namespace toolkit = platform::toolkit;
using toolkit::ControlId;

constexpr int kFirstControlId = 100;  // the toolkit numbers its controls from here

class TestForm : public toolkit::FormEvents {
 public:
  TestForm() { toolkit::CreateForm({"Prova del toolkit", 4500, 3000}, *this); }

  void Load() override {
    if (on_load) on_load();
  }
  void Resize() override {
    ++resizes;
    if (on_resize) on_resize();
  }
  void Click(ControlId control) override {
    clicks.push_back(control);
    if (on_click) on_click();
  }

  static HWND Window() { return reinterpret_cast<HWND>(toolkit::FormHandle()); }
  static ControlId AddButton(double left) {
    return toolkit::CreateControl(
        {toolkit::ControlKind::CommandButton, toolkit::kForm, "Prova", {left, 120, 1200, 400}, 0});
  }
  static HWND ControlWindow(ControlId control) {
    return GetDlgItem(Window(), kFirstControlId + control);
  }
  // What a command button tells its form when it is clicked.
  static void ButtonSaysClicked(ControlId control) {
    SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(kFirstControlId + control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ControlWindow(control)));
  }

  // Loads and shows the form, runs `shown` from its message loop and then unloads it.
  void RunShown(std::function<void()> shown) {
    shown_ = std::move(shown);
    current_ = this;
    SetTimer(nullptr, 0, 1, &TestForm::OnTimer);
    toolkit::RunForm();
    current_ = nullptr;
  }

  std::function<void()> on_load;
  std::function<void()> on_resize;
  std::function<void()> on_click;
  int resizes = 0;
  std::vector<ControlId> clicks;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    // An error box before the show runs the timer from its own loop.
    if (!IsWindowVisible(Window())) return;
    KillTimer(nullptr, timer);
    current_->shown_();
    toolkit::UnloadForm();
  }

  static inline TestForm* current_ = nullptr;
  std::function<void()> shown_;
};

class ToolkitTest : public win32_test::NoDialogTest {};

TEST_F(ToolkitTest, AClickWhileTheFormLoadsReachesNothing) {
  TestForm form;
  const ControlId button = TestForm::AddButton(120);
  form.on_load = [&] { TestForm::ButtonSaysClicked(button); };
  form.RunShown([&] {
    EXPECT_TRUE(form.clicks.empty()) << "the click while it loaded";
    TestForm::ButtonSaysClicked(button);
  });
  EXPECT_EQ(form.clicks, std::vector<ControlId>{button}) << "the click once it showed";
}

TEST_F(ToolkitTest, AMinimisedWindowIsNotLaidOut) {
  TestForm form;
  TestForm::AddButton(120);
  form.RunShown([&] {
    const HWND window = TestForm::Window();
    const int before = form.resizes;
    EXPECT_EQ(before, 1) << "laid out once before it showed, and not again as it showed";
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    EXPECT_EQ(form.resizes, before) << "laid out while minimised";
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(form.resizes, before + 1) << "laid out again once restored";
  });
}

TEST_F(ToolkitTest, TheFocusComesBackWhenTheWindowIsActivatedAgain) {
  TestForm form;
  TestForm::AddButton(120);
  const ControlId second = TestForm::AddButton(1500);
  form.RunShown([&] {
    const HWND window = TestForm::Window();
    const HWND button = TestForm::ControlWindow(second);
    SetActiveWindow(window);
    SetFocus(button);
    ASSERT_EQ(GetFocus(), button);
    const win32::ScopedWindow other(CreateWindowExA(0, "STATIC", "Altra finestra",
                                                    WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 100,
                                                    nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(other.get(), nullptr);
    SetActiveWindow(other.get());
    ASSERT_EQ(GetActiveWindow(), other.get());
    SetActiveWindow(window);
    ASSERT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(GetFocus(), button);
  });
}

// The error is shown as a run-time error, as the procedures show theirs, titled with the
// program's name, and the window goes on taking clicks, whatever was thrown.
TEST(ToolkitErrors, AnErrorEscapingAHandlerIsShownAndTheWindowGoesOn) {
  const struct {
    const char* what;
    std::function<void()> raise;
    const char* text;
  } cases[] = {
      {"a run-time error", [] { throw runtime::Error(5, "Invalid procedure call or argument"); },
       "Error: 5. Invalid procedure call or argument"},
      {"a length beyond any allocation", [] { throw std::length_error("vector"); },
       "Error: 7. Out of memory"},
      {"another standard exception", [] { throw std::runtime_error("guasto"); },
       "Error: 51. Internal error"},
      {"an exception of no standard type", [] { throw 42; }, "Error: 51. Internal error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    win32_test::DialogWatch watch;
    TestForm form;
    const ControlId button = TestForm::AddButton(120);
    form.on_click = c.raise;
    form.RunShown([&] {
      TestForm::ButtonSaysClicked(button);
      TestForm::ButtonSaysClicked(button);
    });
    EXPECT_EQ(form.clicks.size(), 2u);
    const std::vector<win32_test::SeenDialog> seen = watch.Stop();
    ASSERT_EQ(seen.size(), 2u) << win32_test::Describe(seen);
    for (const win32_test::SeenDialog& dialog : seen) {
      EXPECT_EQ(dialog.title, "Sondrel");
      EXPECT_EQ(dialog.text, c.text);
      EXPECT_EQ(dialog.buttons, 1) << "OK only";
    }
  }
}

// The error is shown, and the window is not left half laid out.
TEST(ToolkitErrors, AFirstLayoutThatFailedIsDoneAgainAsTheWindowShows) {
  win32_test::DialogWatch watch;
  TestForm form;
  TestForm::AddButton(120);
  form.on_resize = [&] {
    if (form.resizes == 1) runtime::RaiseOverflow();
  };
  form.RunShown([&] { EXPECT_EQ(form.resizes, 2); });
  EXPECT_EQ(watch.Stop().size(), 1u);
}

}  // namespace
