#include <stdexcept>
#include <utility>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace platform {

namespace {

constexpr uint32_t kMbTypeMask = 0xF;  // the buttons: MB_OK, MB_YESNO...

}  // namespace

int32_t MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption,
                    uint32_t type) {
  sim::Enter("MessageBoxA");
  sim::Machine& m = sim::machine();
  m.message_boxes.push_back({text, caption, type});
  if (sim::MessageBoxesOfThisTest().recording) {
    sim::MessageBoxesOfThisTest().boxes.push_back({text, caption, type});
  }
  // A box owned by the form, or modal to the whole task, disables the form while it shows; a
  // box without either leaves it usable.
  const bool disables_form = owner == sim::kFormHandle || (type & kMbTaskModal) != 0;
  const bool was_enabled = m.form.enabled;
  if (disables_form) m.form.enabled = false;
  if (const auto user_acts = std::exchange(m.while_message_box_shows, nullptr)) user_acts();
  m.form.enabled = was_enabled;
  if (m.message_box_answers.empty()) {
    if ((type & kMbTypeMask) == kMbOk) return kIdOk;
    throw std::logic_error("the test gave no answer to the question \"" + text + "\"");
  }
  const int32_t answer = m.message_box_answers.front();
  m.message_box_answers.pop_front();
  return answer;
}

}  // namespace platform
