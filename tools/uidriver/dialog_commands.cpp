// Commands about message boxes and the clipboard.
#include <cstring>

#include "commands.h"
#include "pixel_buffer.h"
#include "platform/win32/scoped_win.h"
#include "target.h"

namespace uidriver {
namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kBoxCloseMs = 5000;
constexpr DWORD kClipboardRetryMs = 2000;

std::vector<HWND> DirectChildren(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

// Wine keeps a visible, empty icon control in boxes without an icon, so ask for the icon too.
bool IsVisibleIcon(HWND hwnd) {
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  if (!IsClass(hwnd, "Static") || !(style & WS_VISIBLE) || (style & SS_TYPEMASK) != SS_ICON) {
    return false;
  }
  DWORD_PTR icon = 0;
  return SendMessageTimeoutA(hwnd, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon) && icon;
}

// "&Yes" -> "Yes", "A&&B" -> "A&B": the caption as the user reads it.
std::string WithoutMnemonic(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

std::vector<HWND> VisibleButtons(HWND box) {
  std::vector<HWND> buttons;
  for (HWND child : DirectChildren(box)) {
    if (IsClass(child, "Button") && HasStyle(child, WS_VISIBLE)) buttons.push_back(child);
  }
  return buttons;
}

std::string ButtonCaptions(HWND box) {
  std::string line;
  for (HWND button : VisibleButtons(box)) {
    if (!line.empty()) line += "\t";
    line += Escape(WithoutMnemonic(WindowText(button)));
  }
  return line;
}

HWND IconControl(HWND box) {
  for (HWND child : DirectChildren(box)) {
    if (IsVisibleIcon(child)) return child;
  }
  return nullptr;
}

bool HasIcon(HWND box) { return IconControl(box) != nullptr; }

struct StandardIcon {
  const char* name;
  LPCSTR resource;
};

// The four icons of the message box styles, by the names the styles give them.
const StandardIcon kStandardIcons[] = {
    {"error", IDI_HAND},
    {"question", IDI_QUESTION},
    {"warning", IDI_EXCLAMATION},
    {"information", IDI_ASTERISK},
};

// A shown icon matches its standard icon in (nearly) every pixel and the others in far fewer:
// two of them are blue circles that differ only in the sign they carry.
constexpr double kIconMatchNeeded = 0.97;

// The share of pixels in which `shown` equals `icon` drawn at the same size on `ground`.
double IconMatch(const PixelBuffer& shown, int width, int height, LPCSTR icon, DWORD ground) {
  PixelBuffer drawn(width, height);
  HICON handle = LoadIconA(nullptr, icon);
  if (!drawn.valid() || !handle) return 0;
  const RECT all{0, 0, width, height};
  SetDCBrushColor(drawn.dc(), RGB(ground >> 16 & 0xFF, ground >> 8 & 0xFF, ground & 0xFF));
  FillRect(drawn.dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  // The static control stretches its icon to its client area, so draw at that size.
  if (!DrawIconEx(drawn.dc(), 0, 0, handle, width, height, 0, nullptr, DI_NORMAL)) return 0;
  GdiFlush();
  int equal = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) equal += shown.At(x, y) == drawn.At(x, y);
  }
  return static_cast<double>(equal) / (width * height);
}

// The standard icon `control` shows now, or nullptr with each icon's match in `scores`.
const char* ShownIcon(HWND control, std::string& scores) {
  RECT client{};
  GetClientRect(control, &client);
  const int width = client.right;
  const int height = client.bottom;
  PixelBuffer shown(width, height);
  if (width <= 0 || height <= 0 || !shown.valid() ||
      !CopyFromScreen(control, POINT{0, 0}, shown, width, height)) {
    throw Failure{kFailed, "cannot read the icon's pixels"};
  }
  // Every standard icon leaves its corners transparent, so a corner shows the ground.
  const DWORD ground = shown.At(0, 0);
  const char* best = nullptr;
  double best_match = 0;
  scores.clear();
  for (const StandardIcon& icon : kStandardIcons) {
    const double match = IconMatch(shown, width, height, icon.resource, ground);
    scores += std::string(" ") + icon.name + "=" + std::to_string(match);
    if (match > best_match) {
      best = icon.name;
      best_match = match;
    }
  }
  return best_match >= kIconMatchNeeded ? best : nullptr;
}

std::string MessageText(HWND box) {
  HWND text = GetDlgItem(box, kMessageTextId);
  return text ? WindowText(text) : std::string();
}

}  // namespace

int MsgBoxCommand(const Context& ctx) {
  if (!ctx.args.empty()) throw Failure{kFailed, "usage: msgbox"};
  HWND box = WaitForMessageBox(ctx.main, ctx.timeout_ms);
  Print(Escape(WindowText(box)) + "\n" + Escape(MessageText(box)) + "\n" + ButtonCaptions(box) +
        "\n" + (HasIcon(box) ? "1" : "0") + "\n");
  return kOk;
}

int AnswerCommand(const Context& ctx) {
  if (ctx.args.size() != 1) throw Failure{kFailed, "usage: answer CAPTION"};
  HWND box = WaitForMessageBox(ctx.main, ctx.timeout_ms);
  for (HWND button : VisibleButtons(box)) {
    if (WithoutMnemonic(WindowText(button)) != ctx.args[0]) continue;
    // Posted, because the click ends the modal loop that would otherwise answer us.
    PostMessageA(button, BM_CLICK, 0, 0);
    if (!WaitUntil(kBoxCloseMs, [&] { return !IsWindow(box) || !HasStyle(box, WS_VISIBLE); })) {
      throw Failure{kTimedOut, "message box did not close"};
    }
    return kOk;
  }
  throw Failure{kFailed, "no button \"" + ctx.args[0] + "\"; buttons: " + ButtonCaptions(box)};
}

int MsgIconCommand(const Context& ctx) {
  if (!ctx.args.empty()) throw Failure{kFailed, "usage: msgicon"};
  HWND control = IconControl(WaitForMessageBox(ctx.main, ctx.timeout_ms));
  if (!control) {
    Print("none\n");
    return kOk;
  }
  // A box that has just appeared may not have painted its icon yet: look again until it has.
  const char* icon = nullptr;
  std::string scores;
  if (!WaitUntil(ctx.timeout_ms, [&] { return (icon = ShownIcon(control, scores)) != nullptr; })) {
    throw Failure{kFailed, "the icon is none of the standard ones:" + scores};
  }
  Print(std::string(icon) + "\n");
  return kOk;
}

int NoMsgBoxCommand(const Context& ctx) {
  if (ctx.args.size() != 1) throw Failure{kFailed, "usage: nomsgbox MS"};
  HWND box = nullptr;
  const DWORD wait_ms = static_cast<DWORD>(ParseInt(ctx.args[0]));
  if (WaitUntil(wait_ms, [&] { return (box = FindMessageBox(ctx.main)) != nullptr; })) {
    Print(Escape(WindowText(box)) + "\n");
    return kFailed;
  }
  Print("none\n");
  return kOk;
}

int ClipboardCommand(const Context& ctx) {
  if (!ctx.args.empty()) throw Failure{kFailed, "usage: clipboard"};
  win32::ScopedClipboard clipboard(nullptr, kClipboardRetryMs);
  if (!clipboard.open()) throw Failure{kFailed, "clipboard stays busy"};
  if (!IsClipboardFormatAvailable(CF_TEXT)) return kNoClipboardText;
  win32::ScopedGlobalLock lock(GetClipboardData(CF_TEXT));
  if (!lock.data()) return kNoClipboardText;
  const char* text = static_cast<const char*>(lock.data());
  Print(std::string(text, strnlen(text, lock.size())));
  return kOk;
}

}  // namespace uidriver
