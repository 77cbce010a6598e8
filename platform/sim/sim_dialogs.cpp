#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace platform {

int32_t MessageBoxA(WindowHandle, const std::string& text, const std::string& caption,
                    uint32_t type) {
  sim::Enter("MessageBoxA");
  sim::Machine& m = sim::machine();
  m.message_boxes.push_back({text, caption, type});
  if (m.message_box_answers.empty()) return kIdOk;
  const int32_t answer = m.message_box_answers.front();
  m.message_box_answers.pop_front();
  return answer;
}

}  // namespace platform
