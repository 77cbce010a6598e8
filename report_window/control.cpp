#include "report_window/control.h"

namespace toolkit = platform::toolkit;

Control::Control(const toolkit::ControlSpec& spec)
    : id_(toolkit::CreateControl(spec)), bounds_(spec.bounds), picture_(spec.picture) {}

void Control::Move(double left, double top, double width, double height) {
  bounds_ = {left, top, width, height};
  toolkit::MoveControl(id_, bounds_);
}

std::string Control::Text() const { return toolkit::ControlText(id_); }

void Control::Text(const std::string& text) { toolkit::SetControlText(id_, text); }

void Control::Enabled(bool enabled) { toolkit::SetControlEnabled(id_, enabled); }

void Control::Picture(toolkit::Picture picture) {
  picture_ = picture;
  toolkit::SetControlPicture(id_, picture);
}
