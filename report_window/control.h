// A control of the form as the window code sees it: its position is kept in twips, exactly as
// last set, so layout arithmetic never meets the rounding of the screen's pixels.
#pragma once

#include <string>

#include "platform/toolkit.h"

class Control {
 public:
  Control() = default;
  explicit Control(const platform::toolkit::ControlSpec& spec);

  platform::toolkit::ControlId Id() const { return id_; }
  double Left() const { return bounds_.left; }
  double Top() const { return bounds_.top; }
  double Width() const { return bounds_.width; }
  double Height() const { return bounds_.height; }
  void Move(double left, double top, double width, double height);

  std::string Text() const;
  void Text(const std::string& text);
  void Enabled(bool enabled);
  void Picture(platform::toolkit::Picture picture);
  platform::toolkit::Picture Picture() const { return picture_; }

 private:
  platform::toolkit::ControlId id_ = platform::toolkit::kForm;
  platform::toolkit::Bounds bounds_{};
  platform::toolkit::Picture picture_ = platform::toolkit::Picture::None;
};
