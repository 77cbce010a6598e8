// Waiting for the window's thread to handle every message posted to it before, the clicks and
// keys of earlier commands with them, and the sync command that does only that. A handler that
// shows a modal box counts as done: the box's own loop handles the messages then.
#include "commands.h"
#include "target.h"

namespace uidriver {
namespace {

constexpr DWORD kAnswerMs = 5000;

// A text box's limit on its text carries the marker: EM_SETLIMITTEXT posted is handled after
// everything posted before it, and EM_GETLIMITTEXT, sent, tells when. Nothing typed or clicked
// changes the limit (the modified flag would not do: a key's character, made by the window and
// posted behind the marker, sets it again), and the program's limit is far above any text here.
bool Limit(HWND box, DWORD_PTR* limit) {
  return SendMessageTimeoutA(box, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, limit) != 0;
}

}  // namespace

HWND ReportBox(HWND main) {
  for (HWND child : Descendants(main)) {
    if (IsClass(child, "Edit") && HasStyle(child, ES_MULTILINE)) return child;
  }
  throw Failure{kFailed, "the window has no multi-line text box"};
}

void WaitForPostedMessages(HWND box, DWORD timeout_ms) {
  DWORD_PTR original = 0;
  if (!Limit(box, &original) || original < 2) {
    throw Failure{kFailed, "the text box does not answer"};
  }
  // The limit is lowered by one and put back, so the box is left as it was.
  for (const DWORD_PTR marker : {original - 1, original}) {
    if (!PostMessageA(box, EM_SETLIMITTEXT, marker, 0)) {
      throw Failure{kFailed, "the window has gone"};
    }
    DWORD_PTR now = 0;
    const bool handled = WaitUntil(
        timeout_ms, [&] { return !IsWindow(box) || (Limit(box, &now) && now == marker); });
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
