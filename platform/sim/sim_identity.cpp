#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace platform {

namespace {

constexpr size_t kMaxPath = 260;
// GetTempFileNameA fails for a folder longer than MAX_PATH - 14 (its documentation).
constexpr size_t kLongestTempFolder = kMaxPath - 14;
constexpr size_t kMaxComputerNameLength = 15;  // MAX_COMPUTERNAME_LENGTH

// Letters, digits and the symbols SetComputerName's documentation names.
bool IsStandardNameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
         std::string_view("!@#$%^&')(.-_{}~").find(c) != std::string_view::npos;
}

bool AcceptsComputerName(const std::string& name) {
  const sim::FamilyAnswers& answers = sim::Answers();
  if (answers.user_rights_checked && !sim::machine().administrator) return false;
  if (name.empty() || name.size() > kMaxComputerNameLength) return false;
  return answers.computer_name_characters_coerced ||
         std::all_of(name.begin(), name.end(), IsStandardNameCharacter);
}

// Writes the name and its NUL when the buffer holds both, as the name queries do.
int32_t CopyName(const std::optional<std::string>& name, char* buffer, uint32_t* size) {
  if (!name || name->size() + 1 > *size) return 0;
  std::memcpy(buffer, name->c_str(), name->size() + 1);
  *size = static_cast<uint32_t>(name->size());
  return 1;
}

}  // namespace

int32_t GetComputerNameA(char* buffer, uint32_t* size) {
  sim::Enter("GetComputerNameA");
  return CopyName(sim::machine().computer_name, buffer, size);
}

// Takes effect at the next start: the running machine keeps reporting the old name. Which
// standard characters Windows 9x puts for the others is not documented; they are kept.
int32_t SetComputerNameA(const std::string& name) {
  sim::Enter("SetComputerNameA");
  const std::string given = name.c_str();
  if (!AcceptsComputerName(given)) return 0;
  sim::machine().computer_name_at_next_start = given;
  return 1;
}

int32_t GetUserNameA(char* buffer, uint32_t* size) {
  sim::Enter("GetUserNameA");
  return CopyName(sim::machine().user_name, buffer, size);
}

uint32_t GetTempPathA(uint32_t size, char* buffer) {
  sim::Enter("GetTempPathA");
  const std::optional<std::string>& path = sim::machine().temp_path;
  if (!path) return 0;
  if (path->size() + 1 > size) return static_cast<uint32_t>(path->size() + 1);
  std::memcpy(buffer, path->c_str(), path->size() + 1);
  return static_cast<uint32_t>(path->size());
}

// With a nonzero unique number only the name is formed: no file is made or looked for.
uint32_t GetTempFileNameA(const std::string& path, const std::string& prefix, uint32_t unique,
                          char* name) {
  sim::Enter("GetTempFileNameA");
  const std::string folder = path.c_str();
  // The folder must exist (Wine's GetTempFileNameW, kernelbase file.c, looks first: "ensure
  // that the provided directory exists").
  const sim::File* found = sim::FindNamed(folder);
  if (!found || (found->attributes & kFileAttributeDirectory) == 0) return 0;
  if (folder.size() > kLongestTempFolder) return 0;
  char number[16];
  std::snprintf(number, sizeof number, "%X", unique & 0xFFFF);
  const std::string formed = sim::InFolder(folder, prefix.substr(0, 3) + number + ".TMP");
  if (unique == 0) return 0;
  std::memcpy(name, formed.c_str(), formed.size() + 1);
  return unique;
}

int32_t CoCreateGuid(GUID* guid) {
  sim::Enter("CoCreateGuid");
  auto& guids = sim::machine().next_guids;
  if (guids.empty()) return 0;
  *guid = guids.front();
  guids.pop_front();
  return 0;
}

int32_t GetCurrentHwProfileA(HW_PROFILE_INFOA* profile) {
  sim::Enter("GetCurrentHwProfileA");
  const std::optional<std::string>& name = sim::machine().hardware_profile_name;
  if (!name) return 0;
  const size_t length = std::min(name->size(), sizeof profile->szHwProfileName - 1);
  std::memcpy(profile->szHwProfileName, name->data(), length);
  profile->szHwProfileName[length] = '\0';
  return 1;
}

int32_t SystemParametersInfoA(uint32_t action, uint32_t ui_param, void* pv_param,
                              uint32_t win_ini) {
  sim::Enter("SystemParametersInfoA");
  sim::Machine& m = sim::machine();
  int32_t target = 0;
  if (action != kSpiGetWorkArea) std::memcpy(&target, pv_param, sizeof target);
  m.system_parameters_calls.push_back({action, ui_param, target, win_ini});
  const auto read = [&](const std::optional<int32_t>& setting) {
    if (!setting) return 0;
    std::memcpy(pv_param, &*setting, sizeof *setting);
    return 1;
  };
  switch (action) {
    case kSpiGetBeep:
      return read(m.beep);
    case kSpiGetScreenSaveTimeout:
      return read(m.screen_saver_timeout);
    case kSpiGetScreenSaveActive:
      return read(m.screen_saver_active);
    case kSpiSetBeep:
      m.beep = ui_param != 0;
      return 1;
    case kSpiSetScreenSaveTimeout:
      m.screen_saver_timeout = static_cast<int32_t>(ui_param);
      return 1;
    case kSpiSetScreenSaveActive:
      m.screen_saver_active = ui_param != 0;
      return 1;
    case kSpiGetWorkArea:
      if (!m.work_area) return 0;
      *static_cast<RECT*>(pv_param) = *m.work_area;
      return 1;
    default:
      return 0;
  }
}

}  // namespace platform
