#include "handles.h"

namespace uidriver {

ClipboardSession::ClipboardSession(DWORD retry_ms) {
  const DWORD start = GetTickCount();
  while (!(open_ = OpenClipboard(nullptr) != FALSE)) {
    if (GetTickCount() - start >= retry_ms) break;
    Sleep(20);
  }
}

ClipboardSession::~ClipboardSession() {
  if (open_) CloseClipboard();
}

ThreadInputLink::ThreadInputLink(DWORD other_thread)
    : self_(GetCurrentThreadId()),
      other_(other_thread),
      attached_(AttachThreadInput(self_, other_, TRUE) != FALSE) {}

ThreadInputLink::~ThreadInputLink() {
  if (attached_) AttachThreadInput(self_, other_, FALSE);
}

}  // namespace uidriver
