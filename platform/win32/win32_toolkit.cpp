// The toolkit over native controls: EDIT, BUTTON and STATIC, so screen readers, UI automation
// and the tests see ordinary windows. Picture boxes are a small class of our own, since they
// contain controls and show an image.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/runtime_error.h"
#include "platform/toolkit.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_pictures.h"

namespace platform::toolkit {

namespace {

constexpr char kFormClass[] = "SondrelForm";
constexpr char kPictureClass[] = "SondrelPicture";
constexpr int kFirstControlId = 100;  // controls are numbered from here in creation order
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// A control's data, held by its form and reached from the control's window (its user data).
struct NativeControl {
  ControlId id = 0;
  ControlKind kind = ControlKind::Label;
  int16_t tab_index = 0;
  Picture picture = Picture::None;
  HWND hwnd = nullptr;
  WNDPROC base_proc = nullptr;  // a frame's own procedure, which FrameProc wraps
  // A text box's text while the form loads: a multi-line edit lays its whole text out again
  // on every write, which made building the report many times slower than showing it.
  std::optional<std::string> loading_text;
};

// A font some controls show, made once for all of them.
struct SharedFont {
  Font font;
  win32::ScopedGdiObj<HFONT> handle;
};

// The form's data lives on the form's window (its user data) from WM_NCCREATE to WM_NCDESTROY,
// when its controls' windows are gone and their fonts can go too.
struct NativeForm {
  HWND hwnd = nullptr;
  FormEvents* events = nullptr;
  bool loaded = false;
  double twips_per_pixel = 15;
  int pixels_per_inch_y = 96;
  // The client size the form was laid out at just before it shows: showing it reports that
  // size again, which needs no second layout.
  std::optional<std::pair<int, int>> laid_out_before_show;
  HWND focus_to_restore = nullptr;
  std::vector<std::unique_ptr<NativeControl>> controls;  // by ControlId
  std::vector<SharedFont> fonts;  // the fonts of controls that have their own
};

// The form the seam's functions work on, until its window is destroyed.
HWND current_form = nullptr;

NativeForm* FormOf(HWND hwnd) {
  return reinterpret_cast<NativeForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Every window inside the form is one of its controls; a control's data is set right after its
// window is created, so for a moment it has none.
NativeControl* ControlOf(HWND hwnd) {
  return reinterpret_cast<NativeControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

NativeForm& CurrentForm() {
  NativeForm* form = current_form != nullptr ? FormOf(current_form) : nullptr;
  if (form == nullptr) throw runtime::Error(-1, "The form is not loaded");
  return *form;
}

// A handler may unload the form, and its data goes with its window.
bool StillCurrent(HWND form) { return form != nullptr && form == current_form; }

NativeControl& At(ControlId control) {
  return *CurrentForm().controls.at(static_cast<size_t>(control));
}

int ToPixels(const NativeForm& form, double twips) {
  return static_cast<int>(std::lround(twips / form.twips_per_pixel));
}

void ShowUntrappedError(const runtime::Error& error) {
  MessageBoxA(current_form, runtime::ProcedureErrorText(error).c_str(), "Sondrel", MB_OK);
}

// An error escaping an event handler must not unwind through the system's code: it is shown,
// and the window goes on. True when the handler finished.
template <typename Handler>
bool RunHandler(Handler&& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    ShowUntrappedError(runtime::CaughtError());
    return false;
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
void MoveFocus(const NativeForm& form, bool backwards) {
  std::vector<const NativeControl*> order;
  for (const auto& control : form.controls) {
    if (TakesFocus(*control)) order.push_back(control.get());
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

void FocusFirst(const NativeForm& form) {
  const NativeControl* first = nullptr;
  for (const auto& control : form.controls) {
    if (TakesFocus(*control) && (first == nullptr || control->tab_index < first->tab_index)) {
      first = control.get();
    }
  }
  if (first != nullptr) SetFocus(first->hwnd);
}

// The handler may unload the form: nothing of it is touched after.
void ForwardClick(const NativeForm& form, HWND sender) {
  const NativeControl* control = ControlOf(sender);
  if (control == nullptr || control->kind != ControlKind::CommandButton || !form.loaded) return;
  FormEvents& events = *form.events;
  const ControlId id = control->id;
  RunHandler([&] { events.Click(id); });
}

bool IsCommandButton(HWND hwnd) {
  const NativeControl* control = ControlOf(hwnd);
  return control != nullptr && control->kind == ControlKind::CommandButton;
}

// The keys the form itself handles. Tab moves the focus; Enter clicks the command button that
// has the focus, as in a dialog, and means nothing elsewhere, since the form has no default
// button. Space is the button's own key, and Escape means nothing.
bool HandleFormKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || current_form == nullptr ||
      !IsChild(current_form, message.hwnd))
    return false;
  const NativeForm& form = *FormOf(current_form);
  if (message.wParam == VK_TAB) {
    MoveFocus(form, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  if (message.wParam == VK_RETURN && IsCommandButton(message.hwnd) &&
      IsWindowEnabled(message.hwnd)) {
    ForwardClick(form, message.hwnd);
    return true;
  }
  return false;
}

// The window takes the data CreateForm made at WM_NCCREATE, and frees it at WM_NCDESTROY.
void OnNcCreate(HWND hwnd, LPARAM lparam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
  auto& made = *static_cast<std::unique_ptr<NativeForm>*>(create->lpCreateParams);
  NativeForm* form = made.release();
  form->hwnd = hwnd;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
}

void OnNcDestroy(HWND hwnd) {
  const std::unique_ptr<NativeForm> form(FormOf(hwnd));
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
}

std::pair<int, int> ClientSize(HWND hwnd) {
  ::RECT client{};
  GetClientRect(hwnd, &client);
  return {client.right, client.bottom};
}

void OnSize(NativeForm& form, WPARAM kind) {
  if (!form.loaded || kind == SIZE_MINIMIZED) return;
  if (std::exchange(form.laid_out_before_show, std::nullopt) == ClientSize(form.hwnd)) return;
  FormEvents& events = *form.events;
  RunHandler([&] { events.Resize(); });
}

void OnCommand(const NativeForm& form, WPARAM wparam, LPARAM lparam) {
  const auto sender = reinterpret_cast<HWND>(lparam);
  if (HIWORD(wparam) == BN_CLICKED && IsChild(form.hwnd, sender)) ForwardClick(form, sender);
}

// The pictures' transparent parts hold the old button face until composed again.
void OnSysColorChange(HWND hwnd) {
  win32::RecomposePictures();
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Labels and frame captions sit on the button face, not on the white of an edit box, in the
// scheme's text colour, as DefWindowProc gives them: left as the device context has it, the
// text is black, and lost on the black face of a dark high-contrast scheme.
LRESULT OnCtlColorStatic(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The control that had the focus when the form was left has it again when the form comes back;
// true when the focus was given.
bool OnActivate(NativeForm& form, WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) {
    form.focus_to_restore = GetFocus();
    return false;
  }
  if (form.focus_to_restore == nullptr || !IsChild(form.hwnd, form.focus_to_restore)) return false;
  SetFocus(form.focus_to_restore);
  return true;
}

void OnDestroy(HWND hwnd) {
  if (current_form == hwnd) current_form = nullptr;
  PostQuitMessage(0);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) OnNcCreate(hwnd, lparam);
  NativeForm* form = FormOf(hwnd);
  if (form == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_SIZE:
      OnSize(*form, wparam);
      return 0;
    case WM_COMMAND:
      OnCommand(*form, wparam, lparam);
      return 0;
    case WM_SYSCOLORCHANGE:
      OnSysColorChange(hwnd);
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wparam));
    case WM_ACTIVATE:
      if (OnActivate(*form, wparam)) return 0;
      break;
    case WM_DESTROY:
      OnDestroy(hwnd);
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy(hwnd);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Containers hand their children's notifications on towards the form.
bool ForwardsToForm(UINT message) {
  return message == WM_COMMAND || message == WM_CTLCOLORBTN || message == WM_CTLCOLORSTATIC ||
         message == WM_CTLCOLOREDIT;
}

LRESULT ForwardToParent(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageA(GetParent(hwnd), message, wparam, lparam);
}

// A group box paints only its edge and caption; its inside is ours to fill.
LRESULT OnFrameEraseBackground(HWND hwnd, HDC dc) {
  ::RECT inside{};
  GetClientRect(hwnd, &inside);
  FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNFACE));
  return 1;
}

// A frame is a group box whose procedure is wrapped once its data is set, so it always has data.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (ForwardsToForm(message)) return ForwardToParent(hwnd, message, wparam, lparam);
  if (message == WM_ERASEBKGND) return OnFrameEraseBackground(hwnd, reinterpret_cast<HDC>(wparam));
  return CallWindowProcA(ControlOf(hwnd)->base_proc, hwnd, message, wparam, lparam);
}

// The picture is drawn at the screen's scale, in the middle of the box: at 96 dpi it fills the
// box inside its border, and the box grows with the dpi as the picture does.
void DrawPicture(HWND hwnd, HDC dc, const ::RECT& client) {
  const NativeControl* control = ControlOf(hwnd);
  if (control == nullptr) return;
  const win32::ComposedPicture shown =
      win32::PictureBitmap(control->picture, win32::PictureSide(GetDeviceCaps(dc, LOGPIXELSX)));
  if (shown.bitmap == nullptr) return;
  win32::ScopedMemDC memory(dc);
  win32::ScopedSelectObject selected(memory.get(), shown.bitmap);
  BitBlt(dc, (client.right - shown.side) / 2, (client.bottom - shown.side) / 2, shown.side,
         shown.side, memory.get(), 0, 0, SRCCOPY);
}

void OnPicturePaint(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  ::RECT client{};
  GetClientRect(hwnd, &client);
  DrawPicture(hwnd, dc, client);
  // A picture box with the focus shows it, so that Tab never seems to go nowhere.
  if (GetFocus() == hwnd) DrawFocusRect(dc, &client);
  EndPaint(hwnd, &paint);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (ForwardsToForm(message)) return ForwardToParent(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_PAINT:
      OnPicturePaint(hwnd);
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

// Each phase of the start is told to a debugger or a monitor of debug output, such as the
// start-up benchmark; without either it costs next to nothing.
void TellPhase(const char* phase) { OutputDebugStringA(phase); }

bool SameFont(const Font& a, const Font& b) {
  return a.face == b.face && a.size == b.size && a.weight == b.weight && a.charset == b.charset;
}

// The form's font of that face and size, made the first time a control asks for it.
HFONT SharedFontFor(NativeForm& form, const Font& font) {
  for (const SharedFont& shared : form.fonts) {
    if (SameFont(shared.font, font)) return shared.handle.get();
  }
  const double points = font.size / 10000.0;
  const int height = -static_cast<int>(std::lround(points * form.pixels_per_inch_y / 72.0));
  win32::ScopedGdiObj<HFONT> made(CreateFontA(
      height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, font.charset, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face.c_str()));
  const HFONT handle = made.get();
  if (handle != nullptr) form.fonts.push_back({font, std::move(made)});
  return handle;
}

}  // namespace

void CreateForm(const FormSpec& spec, FormEvents& events) {
  TellPhase("Sondrel: making the form");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterClasses(instance);
  auto form = std::make_unique<NativeForm>();
  form->events = &events;
  {
    win32::ScopedGetDC screen;
    form->twips_per_pixel = 1440.0 / GetDeviceCaps(screen.get(), LOGPIXELSX);
    form->pixels_per_inch_y = GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  ::RECT frame{0, 0, ToPixels(*form, spec.client_width), ToPixels(*form, spec.client_height)};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  HWND hwnd = CreateWindowExA(0, kFormClass, spec.caption.c_str(), kFormStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, instance, &form);
  if (hwnd == nullptr) throw runtime::Error(-1, "The window could not be created");
  current_form = hwnd;
}

ControlId CreateControl(const ControlSpec& spec) {
  NativeForm& form = CurrentForm();
  HWND parent = spec.container == kForm ? form.hwnd : At(spec.container).hwnd;
  const auto id = static_cast<ControlId>(form.controls.size());
  auto control = std::make_unique<NativeControl>();
  control->id = id;
  control->kind = spec.kind;
  control->tab_index = spec.tab_index;
  control->picture = spec.picture;
  const HFONT own_font = spec.font ? SharedFontFor(form, *spec.font) : nullptr;
  form.controls.reserve(form.controls.size() + 1);  // so that adding it below cannot fail
  const NativeKind kind = KindFor(spec);
  const DWORD style = WS_CHILD | kind.style | (spec.visible ? WS_VISIBLE : 0);
  HWND hwnd =
      CreateWindowExA(kind.ex_style, kind.window_class, spec.caption.c_str(), style,
                      ToPixels(form, spec.bounds.left), ToPixels(form, spec.bounds.top),
                      ToPixels(form, spec.bounds.width), ToPixels(form, spec.bounds.height), parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + id)),
                      GetModuleHandleA(nullptr), nullptr);
  if (hwnd == nullptr) throw runtime::Error(-1, "A control could not be created");
  control->hwnd = hwnd;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
  if (spec.kind == ControlKind::Frame) {
    control->base_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc)));
  }
  if (spec.kind == ControlKind::TextBox) SendMessageA(hwnd, EM_SETLIMITTEXT, 0, 0);
  HGDIOBJ shown_font = own_font != nullptr ? own_font : GetStockObject(DEFAULT_GUI_FONT);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(shown_font), FALSE);
  form.controls.push_back(std::move(control));
  return id;
}

void MoveControl(ControlId control, const Bounds& bounds) {
  const NativeForm& form = CurrentForm();
  SetWindowPos(At(control).hwnd, nullptr, ToPixels(form, bounds.left), ToPixels(form, bounds.top),
               ToPixels(form, bounds.width), ToPixels(form, bounds.height),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetControlText(ControlId control, const std::string& text) {
  NativeControl& native = At(control);
  if (native.kind == ControlKind::TextBox && !CurrentForm().loaded) {
    native.loading_text = text;
    return;
  }
  SetWindowTextA(native.hwnd, text.c_str());
}

std::string ControlText(ControlId control) {
  const NativeControl& native = At(control);
  if (native.loading_text) return *native.loading_text;
  std::string text(static_cast<size_t>(GetWindowTextLengthA(native.hwnd)) + 1, '\0');
  const int copied = GetWindowTextA(native.hwnd, text.data(), static_cast<int>(text.size()));
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
  const NativeForm& form = CurrentForm();
  ::RECT client{};
  GetClientRect(form.hwnd, &client);
  return client.right * form.twips_per_pixel;
}

double ClientHeight() {
  const NativeForm& form = CurrentForm();
  ::RECT client{};
  GetClientRect(form.hwnd, &client);
  return client.bottom * form.twips_per_pixel;
}

WindowHandle FormHandle() { return reinterpret_cast<WindowHandle>(current_form); }

namespace {

// Shows the form with the texts held back while it loaded.
void ShowLoaded(NativeForm& form) {
  for (const auto& control : form.controls) {
    if (!control->loading_text) continue;
    SetWindowTextA(control->hwnd, control->loading_text->c_str());
    control->loading_text.reset();
  }
  const HWND hwnd = form.hwnd;
  ShowWindow(hwnd, SW_SHOWNORMAL);  // raises Resize only at another size than laid out
  if (!StillCurrent(hwnd)) return;
  form.laid_out_before_show.reset();
  UpdateWindow(hwnd);
  TellPhase("Sondrel: window shown");
  FocusFirst(form);
}

}  // namespace

void RunForm() {
  NativeForm& form = CurrentForm();
  const HWND hwnd = form.hwnd;
  FormEvents& events = *form.events;
  TellPhase("Sondrel: form created");
  RunHandler([&] { events.Load(); });
  TellPhase("Sondrel: report complete");
  if (StillCurrent(hwnd)) {
    form.loaded = true;
    // Laid out first, so that the report box wraps its text once, at its final width. Only a
    // layout that finished spares the one as the window shows.
    const bool laid_out = RunHandler([&] { events.Resize(); });
    if (laid_out && StillCurrent(hwnd)) form.laid_out_before_show = ClientSize(hwnd);
    TellPhase("Sondrel: laid out");
  }
  if (StillCurrent(hwnd)) ShowLoaded(form);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (HandleFormKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void UnloadForm() {
  if (current_form != nullptr) DestroyWindow(current_form);
}

}  // namespace platform::toolkit
