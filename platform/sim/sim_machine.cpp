#include "platform/sim/sim_machine.h"

#include "platform/base/runtime_error.h"

namespace sim {

Machine& machine() {
  static Machine the_machine;
  return the_machine;
}

void Reset() { machine() = Machine{}; }

const FamilyAnswers& Answers() { return AnswersOf(machine().family); }

void Enter(const char* entry_point) {
  Machine& m = machine();
  m.calls.emplace_back(entry_point);
  const auto raised = m.raises.find(entry_point);
  if (raised != m.raises.end()) std::rethrow_exception(raised->second);
  if (m.uncallable.count(entry_point) != 0) {
    throw runtime::Error(runtime::kEntryPointNotFound,
                         std::string("Can't find DLL entry point ") + entry_point);
  }
}

namespace {

SimForm& LiveForm() {
  SimForm& form = machine().form;
  if (!form.shown || form.unloaded) throw std::logic_error("the form is not shown");
  return form;
}

// The form the user can act on, or null while a modal box has it disabled.
SimForm* FormTakingInput() {
  SimForm& form = LiveForm();
  return form.enabled ? &form : nullptr;
}

}  // namespace

void ResizeClient(double width, double height) {
  SimForm* form = FormTakingInput();
  if (form == nullptr) return;
  form->client_width = width;
  form->client_height = height;
  form->event_log.emplace_back("Resize");
  form->events->Resize();
}

void Click(platform::toolkit::ControlId control) {
  SimForm* form = FormTakingInput();
  if (form == nullptr || !form->controls.at(control).enabled) return;
  form->event_log.push_back("Click " + std::to_string(control));
  form->events->Click(control);
}

void PressCloseBox() {
  if (SimForm* form = FormTakingInput()) form->unloaded = true;
}

}  // namespace sim
