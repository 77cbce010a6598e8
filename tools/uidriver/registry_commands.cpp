// Commands that set up and read back the registry values a test needs, in the driver's own
// process rather than one reg.exe each. Keys are written as reg.exe takes them
// ("HKLM\Software\..."); NAME "" is the key's default value.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commands.h"
#include "platform/win32/scoped_win.h"
#include "target.h"

namespace uidriver {
namespace {

struct Kind {
  const char* name;
  DWORD type;
};
constexpr Kind kKinds[] = {
    {"REG_SZ", REG_SZ},         {"REG_EXPAND_SZ", REG_EXPAND_SZ}, {"REG_DWORD", REG_DWORD},
    {"REG_BINARY", REG_BINARY}, {"REG_MULTI_SZ", REG_MULTI_SZ},   {"REG_NONE", REG_NONE}};

struct Root {
  const char* name;
  HKEY key;
};
const Root kRoots[] = {{"HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                       {"HKCU", HKEY_CURRENT_USER},  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                       {"HKCR", HKEY_CLASSES_ROOT},  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                       {"HKU", HKEY_USERS},          {"HKEY_USERS", HKEY_USERS}};

// The root and the path below it of "ROOT\path".
std::pair<HKEY, std::string> SplitKey(const std::string& key) {
  const size_t slash = key.find('\\');
  const std::string root = key.substr(0, slash);
  for (const Root& candidate : kRoots) {
    if (lstrcmpiA(candidate.name, root.c_str()) == 0) {
      return {candidate.key, slash == std::string::npos ? "" : key.substr(slash + 1)};
    }
  }
  throw Failure{kFailed, "not a registry root: " + root};
}

bool Open(const std::string& key, REGSAM access, win32::ScopedRegKey* opened) {
  const auto [root, path] = SplitKey(key);
  return RegOpenKeyExA(root, path.c_str(), 0, access, opened->out()) == ERROR_SUCCESS;
}

std::string KindName(DWORD type) {
  for (const Kind& kind : kKinds) {
    if (kind.type == type) return kind.name;
  }
  return "REG_" + std::to_string(type);
}

// The data as reg.exe lists it: strings as they are, a number in hex, other bytes as hex digits.
std::string Shown(DWORD type, const std::string& data) {
  char text[16];
  if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
    DWORD number = 0;
    std::memcpy(&number, data.data(), sizeof number);
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(number));
    return text;
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) return data.substr(0, data.find('\0'));
  std::string hex;
  for (const char byte : data) {
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(byte));
    hex += text;
  }
  return hex;
}

}  // namespace

int RegKeyCommand(const Context& ctx) {
  if (ctx.args.size() != 1) throw Failure{kFailed, "usage: regkey KEY"};
  win32::ScopedRegKey key;
  return Open(ctx.args[0], KEY_READ, &key) ? kOk : kNotFound;
}

int RegGetCommand(const Context& ctx) {
  if (ctx.args.size() != 2) throw Failure{kFailed, "usage: regget KEY NAME"};
  win32::ScopedRegKey key;
  if (!Open(ctx.args[0], KEY_READ, &key)) return kNotFound;
  const char* name = ctx.args[1].c_str();
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return kNotFound;
  }
  std::string data(size, '\0');
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
      ERROR_SUCCESS) {
    throw Failure{kFailed, "the value changed while it was read"};
  }
  data.resize(size);
  Print(KindName(type) + "\t" + Shown(type, data));
  return kOk;
}

int RegSetCommand(const Context& ctx) {
  if (ctx.args.size() != 4) throw Failure{kFailed, "usage: regset KEY NAME KIND DATA"};
  const std::string& kind = ctx.args[2];
  const std::string& text = ctx.args[3];
  std::string data;
  DWORD type = 0;
  if (kind == "REG_SZ" || kind == "REG_EXPAND_SZ") {
    type = kind == "REG_SZ" ? REG_SZ : REG_EXPAND_SZ;
    data = text + '\0';
  } else if (kind == "REG_DWORD") {
    type = REG_DWORD;
    char* end = nullptr;
    const DWORD number = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0') throw Failure{kFailed, "not a number: " + text};
    data.assign(reinterpret_cast<const char*>(&number), sizeof number);
  } else {
    throw Failure{kFailed, "kind not handled: " + kind};
  }
  const auto [root, path] = SplitKey(ctx.args[0]);
  win32::ScopedRegKey key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, key.out(), nullptr) != ERROR_SUCCESS ||
      RegSetValueExA(key.get(), ctx.args[1].c_str(), 0, type,
                     reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size())) != ERROR_SUCCESS) {
    throw Failure{kFailed, "cannot write " + ctx.args[0] + "\\" + ctx.args[1]};
  }
  return kOk;
}

int RegDeleteCommand(const Context& ctx) {
  if (ctx.args.size() == 1) {
    const auto [root, path] = SplitKey(ctx.args[0]);
    // With a subkey named, the key goes too, not only what it holds.
    const LONG status = RegDeleteTreeA(root, path.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return kNotFound;
    if (status != ERROR_SUCCESS) throw Failure{kFailed, "cannot delete " + ctx.args[0]};
    return kOk;
  }
  if (ctx.args.size() != 2) throw Failure{kFailed, "usage: regdelete KEY [NAME]"};
  win32::ScopedRegKey key;
  if (!Open(ctx.args[0], KEY_SET_VALUE, &key)) return kNotFound;
  const LONG status = RegDeleteValueA(key.get(), ctx.args[1].c_str());
  if (status == ERROR_FILE_NOT_FOUND) return kNotFound;
  if (status != ERROR_SUCCESS) throw Failure{kFailed, "cannot delete " + ctx.args[1]};
  return kOk;
}

}  // namespace uidriver
