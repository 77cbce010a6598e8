#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace platform {

namespace {

constexpr uintptr_t kFileNotFound = 2;
constexpr uintptr_t kNoAssociation = 31;
constexpr uintptr_t kFound = 42;
constexpr size_t kMaxPath = 260;

bool EndsWithHtm(const std::string& file) {
  return file.size() >= 4 && sim::SameName(file.substr(file.size() - 4), ".htm");
}

}  // namespace

uintptr_t FindExecutableA(const std::string& file, const std::string& directory, char* result) {
  sim::Enter("FindExecutableA");
  const std::string path =
      directory.empty() || directory.back() == '\\' ? directory + file : directory + "\\" + file;
  if (!sim::Resolve(path)) return kFileNotFound;
  const std::optional<std::string>& program = sim::machine().htm_program;
  if (!EndsWithHtm(file) || !program) return kNoAssociation;
  const size_t length = std::min(program->size(), kMaxPath - 1);
  std::memcpy(result, program->data(), length);
  result[length] = '\0';
  return kFound;
}

}  // namespace platform
