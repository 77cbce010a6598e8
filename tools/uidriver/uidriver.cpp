// Drives the Sondrel main window from another process, for end-to-end tests.
// Usage: uidriver [--timeout S] COMMAND [ARGS...]
//        uidriver serve   (runs the commands that arrive on stdin; see serve.h)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "commands.h"
#include "serve.h"
#include "target.h"

namespace uidriver {
namespace {

constexpr DWORD kDefaultTimeoutMs = 20000;

using Handler = int (*)(const Context&);

// What a command needs of the Sondrel window before it runs.
enum class Window { kWaitFor, kIfThere, kNone };

struct Command {
  Handler run;
  Window window;
};

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"list", {ListCommand, Window::kWaitFor}},
      {"text", {TextCommand, Window::kWaitFor}},
      {"report", {ReportCommand, Window::kWaitFor}},
      {"lines", {LinesCommand, Window::kWaitFor}},
      {"type", {TypeCommand, Window::kWaitFor}},
      {"accessible", {AccessibleCommand, Window::kWaitFor}},
      {"settext", {SetTextCommand, Window::kWaitFor}},
      {"resize", {ResizeCommand, Window::kWaitFor}},
      {"click", {ClickCommand, Window::kWaitFor}},
      {"sync", {SyncCommand, Window::kWaitFor}},
      {"focus", {FocusCommand, Window::kWaitFor}},
      {"key", {KeyCommand, Window::kWaitFor}},
      {"tab-order", {TabOrderCommand, Window::kWaitFor}},
      {"msgbox", {MsgBoxCommand, Window::kWaitFor}},
      {"answer", {AnswerCommand, Window::kWaitFor}},
      {"nomsgbox", {NoMsgBoxCommand, Window::kWaitFor}},
      {"clipboard", {ClipboardCommand, Window::kWaitFor}},
      {"close", {CloseCommand, Window::kWaitFor}},
      // A window that is already gone needs no waiting for.
      {"waitgone", {WaitGoneCommand, Window::kIfThere}},
      {"dpi", {DpiCommand, Window::kWaitFor}},
      {"pid", {PidCommand, Window::kWaitFor}},
      {"pixels", {PixelsCommand, Window::kWaitFor}},
      {"msgicon", {MsgIconCommand, Window::kWaitFor}},
      {"noprocess", {NoProcessCommand, Window::kNone}},
      {"regkey", {RegKeyCommand, Window::kNone}},
      {"regget", {RegGetCommand, Window::kNone}},
      {"regset", {RegSetCommand, Window::kNone}},
      {"regdelete", {RegDeleteCommand, Window::kNone}},
  };
  return commands;
}

DWORD ParseTimeout(const std::string& text) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || seconds < 0) throw Failure{kFailed, "bad timeout: " + text};
  return static_cast<DWORD>(seconds * 1000);
}

std::string& Output() {
  static std::string output;
  return output;
}

int Run(std::vector<std::string> words) {
  DWORD timeout_ms = kDefaultTimeoutMs;
  if (words.size() >= 2 && words[0] == "--timeout") {
    timeout_ms = ParseTimeout(words[1]);
    words.erase(words.begin(), words.begin() + 2);
  }
  if (words.empty()) throw Failure{kFailed, "usage: uidriver [--timeout S] COMMAND [ARGS...]"};
  const auto command = Commands().find(words[0]);
  if (command == Commands().end()) throw Failure{kFailed, "unknown command: " + words[0]};
  Context ctx{nullptr, timeout_ms, std::vector<std::string>(words.begin() + 1, words.end())};
  switch (command->second.window) {
    case Window::kWaitFor:
      ctx.main = WaitForMainWindow(timeout_ms);
      break;
    case Window::kIfThere:
      ctx.main = FindMainWindow();
      if (!ctx.main) return kOk;
      break;
    case Window::kNone:
      break;
  }
  return command->second.run(ctx);
}

}  // namespace

void Print(const std::string& text) { Output() += text; }

Reply Execute(const std::vector<std::string>& words) {
  Output().clear();
  Reply reply;
  try {
    reply.code = Run(words);
  } catch (const Failure& failure) {
    reply.code = failure.code;
    reply.error = "uidriver: " + failure.message + "\n";
  }
  reply.output.swap(Output());
  return reply;
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
  _setmode(_fileno(stdin), _O_BINARY);
  // Without this, a DPI-aware target's coordinates and the screen DPI would be virtualised.
  SetProcessDPIAware();
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (words.size() == 1 && words[0] == "serve") return uidriver::Serve(stdin, stdout);
  const uidriver::Reply reply = uidriver::Execute(words);
  std::fwrite(reply.output.data(), 1, reply.output.size(), stdout);
  std::fwrite(reply.error.data(), 1, reply.error.size(), stderr);
  return reply.code;
}
