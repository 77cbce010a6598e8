// The toolkit over native controls: EDIT, BUTTON and STATIC, so screen readers, UI automation
// and the tests see ordinary windows. Picture boxes are a small class of our own, since they
// contain controls and show an image.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/runtime_error.h"
#include "platform/toolkit.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_pictures.h"

namespace platform::toolkit {

namespace {

constexpr char kFormClass[] = "SondrelForm";
constexpr char kPictureClass[] = "SondrelPicture";
constexpr char kBaseProcProperty[] = "SondrelBaseProc";
constexpr int kFirstControlId = 100;  // a control's id is 100 + its tab index
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

struct NativeControl {
  HWND hwnd;
  ControlKind kind;
  int16_t tab_index;
  Picture picture;
  win32::ScopedGdiObj<HFONT> font;  // only for controls with a font of their own
  // A text box's text while the form loads: a multi-line edit lays its whole text out again
  // on every write, which made building the report many times slower than showing it.
  std::optional<std::string> loading_text;
};

struct NativeForm {
  HWND hwnd = nullptr;
  FormEvents* events = nullptr;
  bool loaded = false;
  double twips_per_pixel = 15;
  HWND focus_to_restore = nullptr;
  std::vector<NativeControl> controls;
};

NativeForm& TheForm() {
  static NativeForm form;
  return form;
}

NativeControl& At(ControlId control) { return TheForm().controls.at(control); }

int ToPixels(double twips) {
  return static_cast<int>(std::lround(twips / TheForm().twips_per_pixel));
}

const NativeControl* FindControl(HWND hwnd) {
  for (const NativeControl& control : TheForm().controls) {
    if (control.hwnd == hwnd) return &control;
  }
  return nullptr;
}

ControlId IdOf(const NativeControl& control) {
  return static_cast<ControlId>(&control - TheForm().controls.data());
}

void ShowUntrappedError(const runtime::Error& error) {
  MessageBoxA(TheForm().hwnd, runtime::ProcedureErrorText(error).c_str(), "Sondrel", MB_OK);
}

// An error escaping an event handler must not unwind through the system's code: it is shown,
// and the window goes on.
template <typename Handler>
void RunHandler(Handler&& handler) {
  try {
    handler();
  } catch (const runtime::Error& error) {
    ShowUntrappedError(error);
  } catch (const std::exception& error) {
    ShowUntrappedError(runtime::Error(-1, error.what()));
  }
}

// Frames and labels never take the focus, nor does a hidden picture box.
bool TakesFocus(const NativeControl& control) {
  return (control.kind == ControlKind::CommandButton || control.kind == ControlKind::TextBox ||
          control.kind == ControlKind::PictureBox) &&
         IsWindowVisible(control.hwnd) && IsWindowEnabled(control.hwnd);
}

// Focus moves by tab index across containers, which the dialog manager's per-parent order
// cannot do.
void MoveFocus(bool backwards) {
  std::vector<const NativeControl*> order;
  for (const NativeControl& control : TheForm().controls) {
    if (TakesFocus(control)) order.push_back(&control);
  }
  if (order.empty()) return;
  std::sort(order.begin(), order.end(), [](const NativeControl* a, const NativeControl* b) {
    return a->tab_index < b->tab_index;
  });
  const HWND focus = GetFocus();
  const auto current = std::find_if(order.begin(), order.end(),
                                    [focus](const NativeControl* c) { return c->hwnd == focus; });
  const auto count = static_cast<std::ptrdiff_t>(order.size());
  std::ptrdiff_t next = backwards ? count - 1 : 0;
  if (current != order.end()) {
    const std::ptrdiff_t at = current - order.begin();
    next = backwards ? (at + count - 1) % count : (at + 1) % count;
  }
  SetFocus(order[static_cast<size_t>(next)]->hwnd);
}

void FocusFirst() {
  const NativeControl* first = nullptr;
  for (const NativeControl& control : TheForm().controls) {
    if (TakesFocus(control) && (first == nullptr || control.tab_index < first->tab_index)) {
      first = &control;
    }
  }
  if (first != nullptr) SetFocus(first->hwnd);
}

void ForwardClick(HWND sender) {
  NativeForm& form = TheForm();
  const NativeControl* control = FindControl(sender);
  if (control == nullptr || control->kind != ControlKind::CommandButton || !form.loaded) return;
  const ControlId id = IdOf(*control);
  RunHandler([&] { form.events->Click(id); });
}

bool IsCommandButton(HWND hwnd) {
  const NativeControl* control = FindControl(hwnd);
  return control != nullptr && control->kind == ControlKind::CommandButton;
}

// The keys the form itself handles. Tab moves the focus; Enter clicks the command button that
// has the focus, as in a dialog, and means nothing elsewhere, since the form has no default
// button. Space is the button's own key, and Escape means nothing.
bool HandleFormKey(const MSG& message) {
  NativeForm& form = TheForm();
  if (message.message != WM_KEYDOWN || form.hwnd == nullptr || !IsChild(form.hwnd, message.hwnd))
    return false;
  if (message.wParam == VK_TAB) {
    MoveFocus(GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  if (message.wParam == VK_RETURN && IsCommandButton(message.hwnd) &&
      IsWindowEnabled(message.hwnd)) {
    ForwardClick(message.hwnd);
    return true;
  }
  return false;
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  NativeForm& form = TheForm();
  switch (message) {
    case WM_SIZE:
      if (form.loaded && wparam != SIZE_MINIMIZED) RunHandler([&] { form.events->Resize(); });
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) ForwardClick(reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_SYSCOLORCHANGE:
      // The pictures' transparent parts hold the old button face until composed again.
      win32::RecomposePictures();
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return 0;
    case WM_CTLCOLORSTATIC:
      // Labels sit on the button face, not on the white of an edit box.
      SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        form.focus_to_restore = GetFocus();
      } else if (form.focus_to_restore != nullptr && IsChild(hwnd, form.focus_to_restore)) {
        SetFocus(form.focus_to_restore);
        return 0;
      }
      break;
    case WM_DESTROY:
      form.hwnd = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Containers hand their children's notifications to the form.
bool ForwardsToForm(UINT message) {
  return message == WM_COMMAND || message == WM_CTLCOLORBTN || message == WM_CTLCOLORSTATIC ||
         message == WM_CTLCOLOREDIT;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto base = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kBaseProcProperty));
  if (ForwardsToForm(message)) return SendMessageA(TheForm().hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) RemovePropA(hwnd, kBaseProcProperty);
  if (message == WM_ERASEBKGND) {
    // A group box paints only its edge and caption; its inside is ours to fill.
    ::RECT inside{};
    GetClientRect(hwnd, &inside);
    FillRect(reinterpret_cast<HDC>(wparam), &inside, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return CallWindowProcA(base, hwnd, message, wparam, lparam);
}

void PaintPicture(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  const NativeControl* control = FindControl(hwnd);
  HBITMAP bitmap = control != nullptr ? win32::PictureBitmap(control->picture) : nullptr;
  if (bitmap != nullptr) {
    win32::ScopedMemDC memory(dc);
    win32::ScopedSelectObject selected(memory.get(), bitmap);
    BitBlt(dc, 0, 0, win32::kPicturePixels, win32::kPicturePixels, memory.get(), 0, 0, SRCCOPY);
  }
  // A picture box with the focus shows it, so that Tab never seems to go nowhere.
  if (GetFocus() == hwnd) {
    ::RECT client{};
    GetClientRect(hwnd, &client);
    DrawFocusRect(dc, &client);
  }
  EndPaint(hwnd, &paint);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (ForwardsToForm(message)) return SendMessageA(TheForm().hwnd, message, wparam, lparam);
  switch (message) {
    case WM_PAINT:
      PaintPicture(hwnd);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, TRUE);  // draws or takes away the focus rectangle
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

void RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXA form{};
  form.cbSize = sizeof form;
  form.lpfnWndProc = FormProc;
  form.hInstance = instance;
  form.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  form.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
  form.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kFormClass;
  RegisterClassExA(&form);

  WNDCLASSEXA picture = form;
  picture.lpfnWndProc = PictureProc;
  picture.hIcon = nullptr;
  picture.hIconSm = nullptr;
  picture.lpszClassName = kPictureClass;
  RegisterClassExA(&picture);
}

struct NativeKind {
  const char* window_class;
  DWORD style;
  DWORD ex_style;
};

NativeKind KindFor(const ControlSpec& spec) {
  switch (spec.kind) {
    case ControlKind::Frame:
      return {"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0};
    case ControlKind::CommandButton:
      return {"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::Label:
      return {"STATIC", SS_LEFTNOWORDWRAP, 0};
    case ControlKind::PictureBox:
      // A box showing an image has a 2-pixel sunken border around it.
      return {kPictureClass, WS_CLIPCHILDREN,
              spec.picture != Picture::None ? DWORD{WS_EX_CLIENTEDGE} : DWORD{0}};
    case ControlKind::TextBox:
      return {"EDIT", WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE};
  }
  return {"STATIC", 0, 0};
}

win32::ScopedGdiObj<HFONT> CreateOwnFont(const Font& font) {
  win32::ScopedGetDC screen;
  const double points = font.size / 10000.0;
  const int height =
      -static_cast<int>(std::lround(points * GetDeviceCaps(screen.get(), LOGPIXELSY) / 72.0));
  return win32::ScopedGdiObj<HFONT>(CreateFontA(
      height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, font.charset, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face.c_str()));
}

}  // namespace

void CreateForm(const FormSpec& spec, FormEvents& events) {
  NativeForm& form = TheForm();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterClasses(instance);
  {
    win32::ScopedGetDC screen;
    form.twips_per_pixel = 1440.0 / GetDeviceCaps(screen.get(), LOGPIXELSX);
  }
  form.events = &events;
  ::RECT frame{0, 0, ToPixels(spec.client_width), ToPixels(spec.client_height)};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  form.hwnd = CreateWindowExA(0, kFormClass, spec.caption.c_str(), kFormStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, instance, nullptr);
  if (form.hwnd == nullptr) throw runtime::Error(-1, "The window could not be created");
}

ControlId CreateControl(const ControlSpec& spec) {
  NativeForm& form = TheForm();
  HWND parent = spec.container == kForm ? form.hwnd : At(spec.container).hwnd;
  const NativeKind kind = KindFor(spec);
  const DWORD style = WS_CHILD | kind.style | (spec.visible ? WS_VISIBLE : 0);
  HWND hwnd = CreateWindowExA(
      kind.ex_style, kind.window_class, spec.caption.c_str(), style, ToPixels(spec.bounds.left),
      ToPixels(spec.bounds.top), ToPixels(spec.bounds.width), ToPixels(spec.bounds.height), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + spec.tab_index)),
      GetModuleHandleA(nullptr), nullptr);
  if (hwnd == nullptr) throw runtime::Error(-1, "A control could not be created");
  if (spec.kind == ControlKind::Frame) {
    SetPropA(hwnd, kBaseProcProperty,
             reinterpret_cast<HANDLE>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc));
  }
  if (spec.kind == ControlKind::TextBox) SendMessageA(hwnd, EM_SETLIMITTEXT, 0, 0);
  win32::ScopedGdiObj<HFONT> font =
      spec.font ? CreateOwnFont(*spec.font) : win32::ScopedGdiObj<HFONT>{};
  HGDIOBJ shown_font = font.get() != nullptr ? font.get() : GetStockObject(DEFAULT_GUI_FONT);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(shown_font), FALSE);
  form.controls.push_back({hwnd, spec.kind, spec.tab_index, spec.picture, std::move(font), {}});
  return static_cast<ControlId>(form.controls.size() - 1);
}

void MoveControl(ControlId control, const Bounds& bounds) {
  SetWindowPos(At(control).hwnd, nullptr, ToPixels(bounds.left), ToPixels(bounds.top),
               ToPixels(bounds.width), ToPixels(bounds.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetControlText(ControlId control, const std::string& text) {
  NativeControl& native = At(control);
  if (native.kind == ControlKind::TextBox && !TheForm().loaded) {
    native.loading_text = text;
    return;
  }
  SetWindowTextA(native.hwnd, text.c_str());
}

std::string ControlText(ControlId control) {
  if (At(control).loading_text) return *At(control).loading_text;
  HWND hwnd = At(control).hwnd;
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  const int copied = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void SetControlEnabled(ControlId control, bool enabled) {
  EnableWindow(At(control).hwnd, enabled ? TRUE : FALSE);
}

void SetControlPicture(ControlId control, Picture picture) {
  NativeControl& native = At(control);
  native.picture = picture;
  InvalidateRect(native.hwnd, nullptr, TRUE);
}

double ClientWidth() {
  ::RECT client{};
  GetClientRect(TheForm().hwnd, &client);
  return client.right * TheForm().twips_per_pixel;
}

double ClientHeight() {
  ::RECT client{};
  GetClientRect(TheForm().hwnd, &client);
  return client.bottom * TheForm().twips_per_pixel;
}

WindowHandle FormHandle() { return reinterpret_cast<WindowHandle>(TheForm().hwnd); }

void RunForm() {
  NativeForm& form = TheForm();
  RunHandler([&] { form.events->Load(); });
  form.loaded = true;
  // Laid out first, so that the report box wraps its text once, at its final width.
  RunHandler([&] { form.events->Resize(); });
  for (NativeControl& control : form.controls) {
    if (!control.loading_text) continue;
    SetWindowTextA(control.hwnd, control.loading_text->c_str());
    control.loading_text.reset();
  }
  ShowWindow(form.hwnd, SW_SHOWNORMAL);
  UpdateWindow(form.hwnd);
  FocusFirst();

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (HandleFormKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void UnloadForm() {
  if (TheForm().hwnd != nullptr) DestroyWindow(TheForm().hwnd);
}

}  // namespace platform::toolkit
