// The simulated Windows machine behind the platform seam in host tests. A test builds the
// machine up, runs the portable code against it and then inspects what the code did.
#pragma once

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_family.h"
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

// The native handle the simulated form hands out.
constexpr platform::WindowHandle kFormHandle = 0x5E1D;

// The form takes input once it has loaded and shown, until it is unloaded; after that, as in the
// win32 backend, every toolkit call raises "The form is not loaded".
struct SimForm {
  bool created = false;
  bool shown = false;
  bool unloaded = false;
  // A modal message box disables the form while it shows; a disabled form takes no input.
  bool enabled = true;
  std::string caption;
  double client_width = 0, client_height = 0;
  platform::toolkit::FormEvents* events = nullptr;
  std::vector<SimControl> controls;
  // Called before a control's text is replaced; a test throws from it to make the write fail.
  std::function<void(platform::toolkit::ControlId)> before_set_text;
};

// What GetVersionExA fills in; a failing query leaves the record as it was handed in.
struct VersionRecord {
  bool fails = false;
  uint32_t major = 5, minor = 1, build = 2600, platform_id = 2;
  std::string csd = "Service Pack 3";
};

// Names of keys, values and files compare as Windows compares them: without regard to case.
struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
bool SameName(const std::string& a, const std::string& b);

struct RegistryValue {
  uint32_t type;
  std::vector<uint8_t> data;
  bool read_fails = false;  // the read with a data buffer fails, the size query does not
};

struct RegistryKey {
  std::map<std::string, RegistryValue, NoCaseLess> values;
};

// A file or folder, kept under its full stored path ("C:\Program Files\Sondrel"); a root folder
// is kept as "C:" or "\\server\share".
struct File {
  uint32_t attributes = platform::kFileAttributeNormal;
  std::string short_name;  // the 8.3 alias; empty when the stored name is already short
  std::optional<std::vector<uint8_t>> version_resource;
  // A folder the user may not make files in (its access list, or a read-only medium). Windows
  // ignores the read-only attribute of a folder.
  bool refuses_new_files = false;
};

// What the shell was asked to do; null texts are absent.
struct ShellRequest {
  bool extended;
  platform::WindowHandle owner;
  std::optional<std::string> verb;
  std::string file;
  std::optional<std::string> parameters;
  std::optional<std::string> directory;
  int32_t show;
  uint32_t mask;  // of an extended request
};

struct Process {
  bool running = true;
  uint32_t exit_code = 0;
};

struct GlobalBlock {
  std::vector<uint8_t> bytes;
  int32_t locks = 0;
};

struct SystemParametersCall {
  uint32_t action;
  uint32_t ui_param;
  int32_t pv_value;  // what the 32-bit pvParam target held when the call was made
  uint32_t win_ini;
};

struct Machine {
  // The answers of calls in which the families differ follow it; the version record does not.
  WindowsFamily family = WindowsFamily::kNt;
  VersionRecord version;
  // A folder the platform does not write leaves the caller's buffer untouched.
  std::optional<std::string> system_directory = std::string("C:\\WINDOWS\\System32");
  std::optional<std::string> windows_directory = std::string("C:\\WINDOWS");
  uint32_t user_lcid = 0x0410;
  // The ANSI code page, Western by default; 932, 936, 949 and 950 are double-byte.
  uint32_t code_page = 1252;
  std::map<uint32_t, std::string> english_language_names{{0x0409, "English"}, {0x0410, "Italian"}};
  int32_t bits_per_pixel = 24;
  int32_t planes = 1;
  int32_t logical_pixels_x = 96;
  // Device contexts handed out and not yet released.
  std::set<platform::DeviceContext> open_device_contexts;
  platform::DeviceContext next_device_context = 0x100;
  bool device_context_refused = false;  // GetDC gives no context

  // Registry keys by root and path below it.
  std::map<platform::RegistryKey, std::map<std::string, RegistryKey, NoCaseLess>> registry;
  std::map<platform::RegistryKey, std::string> open_keys;  // handle -> full key path
  platform::RegistryKey next_key = 0x1000;

  // Folders are files with kFileAttributeDirectory; the temporary folder is there.
  std::map<std::string, File, NoCaseLess> files{
      {"C:", {platform::kFileAttributeDirectory, "", {}}},
      {"C:\\WINDOWS", {platform::kFileAttributeDirectory, "", {}}},
      {"C:\\WINDOWS\\TEMP", {platform::kFileAttributeDirectory, "", {}}}};
  std::string current_directory = "C:\\";
  std::string module_file_name = "C:\\Program Files\\Sondrel\\Sondrel.exe";
  std::set<platform::FileHandle> open_files;
  std::set<platform::SearchHandle> open_searches;
  uintptr_t next_handle = 0x2000;
  // Version buffers filled by GetFileVersionInfoA, so the query can stay inside them.
  std::map<const void*, uint32_t> version_buffers;
  // The program the shell associates with ".htm"; none when unset.
  std::optional<std::string> htm_program;
  // Each file FindExecutableA was asked about, as the path it looked for.
  std::vector<std::string> executable_look_ups;

  // The shell answers a request with shell_result, except that a full path naming nothing is
  // not found; an extended request that succeeds starts a process when shell_starts_process
  // is set.
  std::vector<ShellRequest> shell_requests;
  intptr_t shell_result = 42;
  bool shell_starts_process = true;
  std::map<platform::ProcessHandle, Process> processes;  // by the handle handed out
  std::set<platform::ProcessHandle> open_processes;

  // Global memory blocks not yet freed, the clipboard's own included.
  std::map<platform::GlobalHandle, GlobalBlock> global_blocks;
  platform::GlobalHandle next_block = 0x3000;
  bool global_alloc_fails = false;
  bool global_lock_fails = false;
  bool unlock_leaves_locked = false;
  // Another program has the clipboard open; OpenClipboard fails.
  bool clipboard_held_elsewhere = false;
  bool clipboard_open = false;
  platform::WindowHandle clipboard_opened_by = platform::kNoWindow;
  bool set_clipboard_fails = false;
  // The CF_TEXT block the clipboard owns, if any.
  std::optional<platform::GlobalHandle> clipboard_text;

  // The user is no administrator, as most are; it matters where the family checks rights.
  bool administrator = false;

  // Names and identifiers; a name that is unset is not written.
  std::optional<std::string> computer_name = std::string("UFFICIO-01");
  // The name SetComputerNameA last accepted, which the computer takes at its next start.
  std::optional<std::string> computer_name_at_next_start;
  std::optional<std::string> user_name = std::string("Giulia");
  std::optional<std::string> temp_path = std::string("C:\\WINDOWS\\TEMP\\");
  std::optional<std::string> hardware_profile_name = std::string("Profilo 1");
  std::deque<platform::GUID> next_guids;  // zero GUIDs once these run out
  int32_t co_initialize_result = 0;

  // Desktop settings; a setting that is unset makes its query fail.
  std::optional<int32_t> beep = 1;
  std::optional<int32_t> screen_saver_active = 0;
  std::optional<int32_t> screen_saver_timeout = 900;
  std::optional<platform::RECT> work_area = platform::RECT{0, 0, 1024, 738};
  std::vector<SystemParametersCall> system_parameters_calls;

  // Entry points that do not exist on this machine: calling one raises error 453.
  std::set<std::string> uncallable;
  // Entry points that throw, as the program's own code would when a size the system reported
  // is beyond what it can allocate.
  std::map<std::string, std::exception_ptr> raises;
  // Every platform call received, by name, in order.
  std::vector<std::string> calls;

  // Answers the message box gives, in order. A box with only an OK button is answered OK when
  // the script has run out; a question then throws std::logic_error, since only the test can
  // know what the user answers.
  std::deque<int32_t> message_box_answers;
  std::vector<MessageBoxCall> message_boxes;
  // What the user does while the next message box shows, before answering it; used once.
  std::function<void()> while_message_box_shows;

  SimForm form;
  // What making the form's window throws: the window system refusing it, or anything else.
  std::exception_ptr form_creation_raises;
};

// Building the machine up.
void SetValue(platform::RegistryKey root, const std::string& key_path, const std::string& name,
              RegistryValue value);
void SetString(platform::RegistryKey root, const std::string& key_path, const std::string& name,
               const std::string& text);  // REG_SZ with its terminating NUL
void SetDword(platform::RegistryKey root, const std::string& key_path, const std::string& name,
              uint32_t number);
// Adds a file or folder and any missing folders above it.
void AddFile(const std::string& path, File file = {});
void AddFolder(const std::string& path, uint32_t extra_attributes = 0);
// A version resource as the resource compiler lays it out, with the given file version.
std::vector<uint8_t> VersionResource(uint32_t version_ms, uint32_t version_ls);
// A 32-bit layout block in the 16-bit layout, as a 16-bit module stores it and as Windows 9x
// hands back every block; one whose key cannot be read comes back as it is.
std::vector<uint8_t> SixteenBitLayout(const std::vector<uint8_t>& block);

// The bytes of the clipboard's CF_TEXT block; nothing when it holds none.
std::optional<std::vector<uint8_t>> ClipboardBytes();

// The stored path of an existing file or folder that the path names, with short or long
// components in any case; relative paths start at the current folder.
std::optional<std::string> Resolve(const std::string& path);
// The file or folder the path names, as Resolve finds it; null when there is none.
const File* FindFile(const std::string& path);
// The same, for a path as the file functions take it: with a trailing backslash it names only a
// folder.
const File* FindNamed(const std::string& path);
// Whether a byte opens a two-byte character in the machine's code page, and the backslashes of
// a path found by stepping through it by character, as Windows reads an ANSI path.
bool IsLeadByte(uint8_t byte);
std::vector<size_t> Separators(const std::string& path);
size_t LastSeparator(const std::string& path);  // npos when the path has none
bool EndsWithSeparator(const std::string& path);
// The folder and a name below it, with one backslash between them; the name alone where the
// folder is empty.
std::string InFolder(const std::string& folder, const std::string& name);
// Whether the path starts at a drive's root or a network share: "C:\...", "\\server\...".
bool IsFullPath(const std::string& path);

// The one simulated machine; Reset() gives a fresh one.
Machine& machine();
void Reset();

// Every message box shown since the test began, kept apart from the machine, which a test may
// reset on the way. A box shown in a test that does not say it expects boxes fails the test.
// Kept only while a test runner records them (the fuzzers do not).
struct ShownMessageBoxes {
  bool recording = false;
  std::vector<MessageBoxCall> boxes;
  bool expected = false;
};
ShownMessageBoxes& MessageBoxesOfThisTest();
inline void ExpectMessageBoxes() { MessageBoxesOfThisTest().expected = true; }

// How the machine's Windows family answers.
const FamilyAnswers& Answers();

// Records a call of an entry point, raising error 453 where it is uncallable.
void Enter(const char* entry_point);

// What the user does to the form. Nothing reaches it while it loads or a modal box shows, and a
// click reaches only a command button that shows and is enabled, as in the win32 backend. A form
// that was never made or is unloaded has no window to act on: std::logic_error.
void ResizeClient(double width, double height);
void Click(platform::toolkit::ControlId control);
void PressCloseBox();

}  // namespace sim
