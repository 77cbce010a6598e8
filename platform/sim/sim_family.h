// The answers in which the Windows families differ, for the calls the program makes. Wine answers
// the NT way whatever version it reports, so these are what the simulated machine is for.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

enum class WindowsFamily {
  kNt,   // Windows 2000, XP and later: the default
  kNt4,  // Windows NT 4.0, where it differs from later NT
  k9x,   // Windows 95, 98 and Me
};

struct FamilyAnswers {
  // GetFileVersionInfoA hands back a 32-bit module's version block in the 16-bit layout.
  bool version_blocks_in_16bit_layout;
  // What GetFileVersionInfoSizeA reports for a version resource of n bytes, of a 32-bit module
  // and of a 16-bit one.
  uint32_t (*version_info_size)(uint32_t n);
  uint32_t (*version_info_size_16bit)(uint32_t n);
  // What FindExecutableA writes after the path it found; the rest of the buffer stays as it was.
  std::string find_executable_ending;
  // RegQueryValueExA hands back a REG_SZ value up to its first NUL and that NUL, adding one to
  // a value stored without; an empty value comes back as a single NUL.
  bool text_values_cut_after_first_nul;
  // A query of a value that does not exist sets the type to 0, or, asked without a buffer, the
  // size to 0.
  bool missing_value_clears_type;
  bool missing_value_clears_size;
  // Opening a key that is already open gives the same handle, so closing either closes both.
  bool reopened_key_is_the_same_handle;
  // Users have rights: one who is not an administrator opens keys under HKEY_LOCAL_MACHINE only
  // to read them, and cannot rename the computer.
  bool user_rights_checked;
  // Everyone may also set values and create subkeys under the start-up keys (Run, RunOnce)
  // and the uninstall key of HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion.
  bool start_up_keys_open_to_everyone;
  // SetComputerNameA changes characters outside the standard set into standard ones, where
  // otherwise it refuses the name.
  bool computer_name_characters_coerced;
};

const FamilyAnswers& AnswersOf(WindowsFamily family);

}  // namespace sim
