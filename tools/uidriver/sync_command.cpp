// Waiting for the window's thread to handle every message posted to it before, the clicks and
// keys of earlier commands with them, and the sync command that does only that. A handler that
// shows a modal box counts as done: the box's own loop handles the messages then.
#include "commands.h"
#include "target.h"

namespace uidriver {
namespace {

constexpr DWORD kAnswerMs = 5000;

// A text box's modified flag, which the program never reads, carries the marker: EM_SETMODIFY
// posted is handled after everything posted before it, and EM_GETMODIFY, sent, tells when.
bool Modified(HWND box, bool* modified) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(box, EM_GETMODIFY, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result)) {
    return false;
  }
  *modified = result != 0;
  return true;
}

}  // namespace

HWND ReportBox(HWND main) {
  for (HWND child : Descendants(main)) {
    if (IsClass(child, "Edit") && HasStyle(child, ES_MULTILINE)) return child;
  }
  throw Failure{kFailed, "the window has no multi-line text box"};
}

void WaitForPostedMessages(HWND box, DWORD timeout_ms) {
  bool original = false;
  if (!Modified(box, &original)) throw Failure{kFailed, "the text box does not answer"};
  // The flag is turned over and back, so the box is left as it was.
  for (const bool marker : {!original, original}) {
    if (!PostMessageA(box, EM_SETMODIFY, marker, 0)) throw Failure{kFailed, "the window has gone"};
    bool now = !marker;
    const bool handled = WaitUntil(
        timeout_ms, [&] { return !IsWindow(box) || (Modified(box, &now) && now == marker); });
    if (!IsWindow(box)) throw Failure{kFailed, "the window has gone"};
    if (!handled) throw Failure{kTimedOut, "the window handles no messages"};
  }
}

int SyncCommand(const Context& ctx) {
  if (ctx.args.size() != 1) throw Failure{kFailed, "usage: sync TEXTBOX-ID"};
  WaitForPostedMessages(ControlById(ctx.main, ParseInt(ctx.args[0])), ctx.timeout_ms);
  return kOk;
}

}  // namespace uidriver
