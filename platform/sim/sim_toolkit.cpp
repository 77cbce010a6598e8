#include "platform/base/runtime_error.h"
#include "platform/sim/sim_machine.h"
#include "platform/toolkit.h"

namespace platform::toolkit {

namespace {

// The win32 backend's answer to any call before the form is made or after it is unloaded.
sim::SimForm& Form() {
  sim::SimForm& form = sim::machine().form;
  if (!form.created || form.unloaded) throw runtime::Error(-1, "The form is not loaded");
  return form;
}

sim::SimControl& At(ControlId control) { return Form().controls.at(control); }

}  // namespace

void CreateForm(const FormSpec& spec, FormEvents& events) {
  if (sim::machine().form_creation_raises) {
    std::rethrow_exception(sim::machine().form_creation_raises);
  }
  sim::SimForm& form = sim::machine().form;
  auto before_set_text = std::move(form.before_set_text);
  form = sim::SimForm{};
  form.before_set_text = std::move(before_set_text);
  form.created = true;
  form.caption = spec.caption;
  form.client_width = spec.client_width;
  form.client_height = spec.client_height;
  form.events = &events;
}

ControlId CreateControl(const ControlSpec& spec) {
  sim::SimForm& form = Form();
  if (spec.container != kForm) At(spec.container);  // the container must exist already
  form.controls.push_back({spec, spec.bounds, spec.caption, true, spec.picture});
  return static_cast<ControlId>(form.controls.size() - 1);
}

void MoveControl(ControlId control, const Bounds& bounds) { At(control).bounds = bounds; }
void SetControlText(ControlId control, const std::string& text) {
  if (Form().before_set_text) Form().before_set_text(control);
  At(control).text = text;
}
std::string ControlText(ControlId control) { return At(control).text; }
void SetControlEnabled(ControlId control, bool enabled) { At(control).enabled = enabled; }
void SetControlPicture(ControlId control, Picture picture) { At(control).picture = picture; }

double ClientWidth() { return Form().client_width; }
double ClientHeight() { return Form().client_height; }
WindowHandle FormHandle() {
  const sim::SimForm& form = sim::machine().form;
  return form.created && !form.unloaded ? sim::kFormHandle : kNoWindow;
}

// A form unloaded while it loads is never shown.
void RunForm() {
  sim::SimForm& form = Form();
  form.events->Load();
  if (form.unloaded) return;
  form.shown = true;
  form.events->Resize();
}

void UnloadForm() {
  sim::SimForm& form = sim::machine().form;
  if (form.created) form.unloaded = true;
}

}  // namespace platform::toolkit
