// The window toolkit: one top-level form with framed, nested controls. Positions and sizes
// cross this seam in twips; the win32 backend converts them with the screen's logical pixels
// per inch, the simulated one keeps them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace platform::toolkit {

enum class ControlKind { Frame, CommandButton, Label, PictureBox, TextBox };

enum class Picture { None, Cross, Tick };

struct Font {
  std::string face;
  int32_t size;  // ten-thousandths of a point
  int16_t weight;
  uint8_t charset;
};

struct Bounds {
  double left, top, width, height;  // twips, in the container's client area
};

using ControlId = int32_t;
constexpr ControlId kForm = -1;  // the form itself, as a container

struct ControlSpec {
  ControlKind kind;
  ControlId container;
  std::string caption;
  Bounds bounds;
  int16_t tab_index;
  bool visible = true;
  std::optional<Font> font = std::nullopt;
  Picture picture = Picture::None;
};

// What the form tells its owner. Handlers run on the toolkit's one thread, one at a time.
class FormEvents {
 public:
  virtual void Load() = 0;
  virtual void Resize() = 0;
  virtual void Click(ControlId control) = 0;

 protected:
  ~FormEvents() = default;
};

struct FormSpec {
  std::string caption;
  double client_width, client_height;  // twips
};

// Creating the form makes it current; creating controls adds them to it, in creation order.
void CreateForm(const FormSpec& spec, FormEvents& events);
ControlId CreateControl(const ControlSpec& spec);

void MoveControl(ControlId control, const Bounds& bounds);
void SetControlText(ControlId control, const std::string& text);
std::string ControlText(ControlId control);
void SetControlEnabled(ControlId control, bool enabled);
void SetControlPicture(ControlId control, Picture picture);

double ClientWidth();   // twips
double ClientHeight();  // twips
WindowHandle FormHandle();

// Raises Load, shows the form (which raises Resize) and processes events until the form is
// unloaded, by UnloadForm or by the close box.
void RunForm();
void UnloadForm();

}  // namespace platform::toolkit
