#include "platform/sim/sim_machine.h"

#include "platform/base/runtime_error.h"

namespace sim {

Machine& machine() {
  static Machine the_machine;
  return the_machine;
}

void Reset() { machine() = Machine{}; }

ShownMessageBoxes& MessageBoxesOfThisTest() {
  static ShownMessageBoxes shown;
  return shown;
}

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

// The form the user can act on: null while it loads or a modal box has it disabled.
SimForm* FormTakingInput() {
  SimForm& form = machine().form;
  if (!form.created || form.unloaded) throw std::logic_error("the form has no window");
  return form.shown && form.enabled ? &form : nullptr;
}

// A control shows and takes input only when its containers do too.
bool ShowsEnabled(const SimForm& form, platform::toolkit::ControlId control) {
  for (auto id = control; id != platform::toolkit::kForm;
       id = form.controls.at(id).spec.container) {
    const SimControl& native = form.controls.at(id);
    if (!native.spec.visible || !native.enabled) return false;
  }
  return true;
}

}  // namespace

void ResizeClient(double width, double height) {
  SimForm* form = FormTakingInput();
  if (form == nullptr) return;
  form->client_width = width;
  form->client_height = height;
  form->events->Resize();
}

void Click(platform::toolkit::ControlId control) {
  SimForm* form = FormTakingInput();
  if (form == nullptr) return;
  const bool button =
      form->controls.at(control).spec.kind == platform::toolkit::ControlKind::CommandButton;
  if (button && ShowsEnabled(*form, control)) form->events->Click(control);
}

void PressCloseBox() {
  if (SimForm* form = FormTakingInput()) form->unloaded = true;
}

}  // namespace sim
