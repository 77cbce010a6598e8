// The simulated Windows machine behind the platform seam in host tests. A test builds the
// machine up, runs the portable code against it and then inspects what the code did.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace sim {

struct MessageBoxCall {
  std::string text;
  std::string caption;
  uint32_t type;
};

struct SimControl {
  platform::toolkit::ControlSpec spec;
  platform::toolkit::Bounds bounds;
  std::string text;
  bool enabled = true;
  platform::toolkit::Picture picture;
};

struct SimForm {
  bool created = false;
  bool shown = false;
  bool unloaded = false;
  std::string caption;
  double client_width = 0, client_height = 0;
  platform::toolkit::FormEvents* events = nullptr;
  std::vector<SimControl> controls;
  std::vector<std::string> event_log;  // "Load", "Resize", "Click <id>" in order
  // Called before a control's text is replaced; a test throws from it to make the write fail.
  std::function<void(platform::toolkit::ControlId)> before_set_text;
};

// What GetVersionExA fills in; a failing query leaves the record as it was handed in.
struct VersionRecord {
  bool fails = false;
  uint32_t major = 5, minor = 1, build = 2600, platform_id = 2;
  std::string csd = "Service Pack 3";
};

struct Machine {
  VersionRecord version;
  // A folder the platform does not write leaves the caller's buffer untouched.
  std::optional<std::string> system_directory = std::string("C:\\WINDOWS\\System32");
  std::optional<std::string> windows_directory = std::string("C:\\WINDOWS");
  uint32_t user_lcid = 0x0410;
  std::map<uint32_t, std::string> english_language_names{{0x0409, "English"}, {0x0410, "Italian"}};
  int32_t bits_per_pixel = 24;
  int32_t planes = 1;
  // Device contexts handed out and not yet released.
  std::set<platform::DeviceContext> open_device_contexts;
  platform::DeviceContext next_device_context = 0x100;

  // Entry points that do not exist on this machine: calling one raises error 453.
  std::set<std::string> uncallable;
  // Every platform call received, by name, in order.
  std::vector<std::string> calls;

  // Answers the message box gives, in order; kIdOk when the script runs out.
  std::deque<int32_t> message_box_answers;
  std::vector<MessageBoxCall> message_boxes;

  SimForm form;
};

// The one simulated machine; Reset() gives a fresh one.
Machine& machine();
void Reset();

// Records a call of an entry point, raising error 453 where it is uncallable.
void Enter(const char* entry_point);

// What the user does to the form.
void ResizeClient(double width, double height);
void Click(platform::toolkit::ControlId control);
void PressCloseBox();

}  // namespace sim
