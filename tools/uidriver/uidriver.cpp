// Drives the Sondrel main window from another process, for end-to-end tests.
// Usage: uidriver [--timeout S] COMMAND [ARGS...]
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "commands.h"
#include "target.h"

namespace uidriver {
namespace {

constexpr DWORD kDefaultTimeoutMs = 20000;

using Handler = int (*)(const Context&);

const std::map<std::string, Handler>& Commands() {
  static const std::map<std::string, Handler> commands = {
      {"list", ListCommand},     {"text", TextCommand},          {"settext", SetTextCommand},
      {"resize", ResizeCommand}, {"click", ClickCommand},        {"focus", FocusCommand},
      {"key", KeyCommand},       {"tab-order", TabOrderCommand}, {"msgbox", MsgBoxCommand},
      {"answer", AnswerCommand}, {"nomsgbox", NoMsgBoxCommand},  {"clipboard", ClipboardCommand},
      {"close", CloseCommand},   {"waitgone", WaitGoneCommand},  {"dpi", DpiCommand},
      {"pid", PidCommand},       {"pixels", PixelsCommand},      {"msgicon", MsgIconCommand},
  };
  return commands;
}

DWORD ParseTimeout(const std::string& text) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || seconds < 0) throw Failure{kFailed, "bad timeout: " + text};
  return static_cast<DWORD>(seconds * 1000);
}

int Run(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  DWORD timeout_ms = kDefaultTimeoutMs;
  if (words.size() >= 2 && words[0] == "--timeout") {
    timeout_ms = ParseTimeout(words[1]);
    words.erase(words.begin(), words.begin() + 2);
  }
  if (words.empty()) throw Failure{kFailed, "usage: uidriver [--timeout S] COMMAND [ARGS...]"};
  const auto command = Commands().find(words[0]);
  if (command == Commands().end()) throw Failure{kFailed, "unknown command: " + words[0]};
  Context ctx{nullptr, timeout_ms, std::vector<std::string>(words.begin() + 1, words.end())};
  if (words[0] == "waitgone") {
    // A window that is already gone needs no waiting for.
    ctx.main = FindMainWindow();
    if (!ctx.main) return kOk;
  } else {
    ctx.main = WaitForMainWindow(timeout_ms);
  }
  return command->second(ctx);
}

}  // namespace

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

int ParseInt(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0') throw Failure{kFailed, "not a number: " + text};
  return static_cast<int>(value);
}

}  // namespace uidriver

int main(int argc, char** argv) {
  // Text mode would turn every LF into CR LF, which the Linux-side tests do not expect.
  _setmode(_fileno(stdout), _O_BINARY);
  // Without this, a DPI-aware target's coordinates and the screen DPI would be virtualised.
  SetProcessDPIAware();
  try {
    return uidriver::Run(argc, argv);
  } catch (const uidriver::Failure& failure) {
    std::fprintf(stderr, "uidriver: %s\n", failure.message.c_str());
    return failure.code;
  }
}
