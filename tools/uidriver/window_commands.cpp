// Commands that read or change the main window and its controls.
#include <cstdio>

#include "commands.h"
#include "pixel_buffer.h"
#include "platform/win32/scoped_win.h"
#include "target.h"

namespace uidriver {
namespace {

constexpr DWORD kResizeSettleMs = 2000;

std::string Field(long value) { return std::to_string(value) + "\t"; }

// Position relative to the parent's client area, as the program laid it out.
RECT RectInParent(HWND hwnd, HWND parent) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string ListLine(int id, int parent_id, HWND hwnd, const RECT& rect) {
  return Field(id) + Field(parent_id) + ClassName(hwnd) + "\t" + Field(rect.left) +
         Field(rect.top) + Field(rect.right - rect.left) + Field(rect.bottom - rect.top) +
         Field(IsWindowEnabled(hwnd) ? 1 : 0) + Field(HasStyle(hwnd, WS_VISIBLE) ? 1 : 0) +
         Escape(WindowText(hwnd)) + "\n";
}

SIZE ClientSize(HWND hwnd) {
  RECT rect{};
  GetClientRect(hwnd, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool SizeIs(HWND hwnd, LONG width, LONG height) {
  const SIZE size = ClientSize(hwnd);
  return size.cx == width && size.cy == height;
}

void SetOuterSize(HWND hwnd, LONG width, LONG height) {
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RequireArgs(const Context& ctx, size_t count, const char* usage) {
  if (ctx.args.size() != count) throw Failure{kFailed, std::string("usage: ") + usage};
}

}  // namespace

int ListCommand(const Context& ctx) {
  RequireArgs(ctx, 0, "list");
  const SIZE client = ClientSize(ctx.main);
  std::string out = ListLine(0, -1, ctx.main, RECT{0, 0, client.cx, client.cy});
  for (HWND child : Descendants(ctx.main)) {
    HWND parent = GetAncestor(child, GA_PARENT);
    out += ListLine(ControlId(ctx.main, child), ControlId(ctx.main, parent), child,
                    RectInParent(child, parent));
  }
  Print(out);
  return kOk;
}

int TextCommand(const Context& ctx) {
  RequireArgs(ctx, 1, "text ID");
  Print(WindowText(ControlById(ctx.main, ParseInt(ctx.args[0]))));
  return kOk;
}

int LinesCommand(const Context& ctx) {
  RequireArgs(ctx, 1, "lines ID");
  HWND box = ControlById(ctx.main, ParseInt(ctx.args[0]));
  WaitForPostedMessages(box, ctx.timeout_ms);  // typed text first
  DWORD_PTR lines = 0;
  if (!SendMessageTimeoutA(box, EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &lines)) {
    throw Failure{kFailed, "EM_GETLINECOUNT failed"};
  }
  Print(std::to_string(lines) + "\n");
  return kOk;
}

int ReportCommand(const Context& ctx) {
  RequireArgs(ctx, 0, "report");
  Print(WindowText(ReportBox(ctx.main)));
  return kOk;
}

int SetTextCommand(const Context& ctx) {
  RequireArgs(ctx, 2, "settext ID TEXT");
  HWND control = ControlById(ctx.main, ParseInt(ctx.args[0]));
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ctx.args[1].c_str()),
                           SMTO_ABORTIFHUNG, 5000, &result) ||
      !result) {
    throw Failure{kFailed, "WM_SETTEXT failed"};
  }
  return kOk;
}

int ResizeCommand(const Context& ctx) {
  RequireArgs(ctx, 2, "resize W H");
  const LONG width = ParseInt(ctx.args[0]);
  const LONG height = ParseInt(ctx.args[1]);
  HWND hwnd = ctx.main;
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, GetWindowLongA(hwnd, GWL_STYLE), FALSE,
                     GetWindowLongA(hwnd, GWL_EXSTYLE));
  SetOuterSize(hwnd, outer.right - outer.left, outer.bottom - outer.top);
  if (!WaitUntil(kResizeSettleMs, [&] { return SizeIs(hwnd, width, height); })) {
    // The real frame can differ from the computed one (menu wrap, themes): correct once using
    // the measured frame thickness.
    RECT window{};
    GetWindowRect(hwnd, &window);
    const SIZE client = ClientSize(hwnd);
    SetOuterSize(hwnd, width + (window.right - window.left) - client.cx,
                 height + (window.bottom - window.top) - client.cy);
    WaitUntil(kResizeSettleMs, [&] { return SizeIs(hwnd, width, height); });
  }
  // The program may enforce a minimum size, so report what it actually became.
  const SIZE result = ClientSize(hwnd);
  Print(std::to_string(result.cx) + " " + std::to_string(result.cy) + "\n");
  return kOk;
}

int ClickCommand(const Context& ctx) {
  RequireArgs(ctx, 1, "click ID");
  // Posted, because the click handler may run a modal message box and never return to us.
  PostMessageA(ControlById(ctx.main, ParseInt(ctx.args[0])), BM_CLICK, 0, 0);
  return kOk;
}

int CloseCommand(const Context& ctx) {
  RequireArgs(ctx, 0, "close");
  PostMessageA(ctx.main, WM_SYSCOMMAND, SC_CLOSE, 0);
  return kOk;
}

int WaitGoneCommand(const Context& ctx) {
  RequireArgs(ctx, 0, "waitgone");
  HWND hwnd = ctx.main;
  if (!WaitUntil(ctx.timeout_ms, [&] { return !IsWindow(hwnd); })) {
    throw Failure{kTimedOut, "window still exists"};
  }
  return kOk;
}

int DpiCommand(const Context& ctx) {
  RequireArgs(ctx, 0, "dpi");
  win32::ScopedGetDC screen;
  Print(std::to_string(GetDeviceCaps(screen.get(), LOGPIXELSX)) + "\n");
  return kOk;
}

int PixelsCommand(const Context& ctx) {
  RequireArgs(ctx, 5, "pixels ID X Y W H");
  HWND control = ControlById(ctx.main, ParseInt(ctx.args[0]));
  const int left = ParseInt(ctx.args[1]);
  const int top = ParseInt(ctx.args[2]);
  const int width = ParseInt(ctx.args[3]);
  const int height = ParseInt(ctx.args[4]);
  if (width <= 0 || height <= 0) throw Failure{kFailed, "empty rectangle"};
  PixelBuffer buffer(width, height);
  if (!buffer.valid()) throw Failure{kFailed, "cannot make a pixel buffer"};
  if (!CopyFromScreen(control, POINT{left, top}, buffer, width, height)) {
    throw Failure{kFailed, "cannot read the screen's pixels"};
  }
  // One line per row, each pixel as RRGGBB.
  std::string out;
  char hex[8];
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::snprintf(hex, sizeof(hex), "%06lX", static_cast<unsigned long>(buffer.At(x, y)));
      out += (x ? " " : "") + std::string(hex);
    }
    out += "\n";
  }
  Print(out);
  return kOk;
}

int PidCommand(const Context& ctx) {
  RequireArgs(ctx, 0, "pid");
  DWORD pid = 0;
  GetWindowThreadProcessId(ctx.main, &pid);
  Print(std::to_string(pid) + "\n");
  return kOk;
}

}  // namespace uidriver
