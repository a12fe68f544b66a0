#include "ui/skin.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <new>

namespace ui::skin {
namespace {

HINSTANCE g_instance = nullptr;
ATOM g_atoms[static_cast<int>(Kind::Count)] = {};
int g_stateOffset[static_cast<int>(Kind::Count)] = {};

struct FontEntry {
  FontRole role;
  int dpi;
  UniqueGdiObject<HFONT> font;
  int lineHeight;
};
// A handful of roles times the DPIs the window has met.
constexpr int kFontCacheSize = 32;
FontEntry g_fonts[kFontCacheSize];
int g_fontCount = 0;

UniqueGdiObject<HBRUSH> g_inputBrush;
UniqueGdiObject<HBRUSH> g_inputDisabledBrush;

struct FontStyle {
  int pixels96;
  int weight;
};

FontStyle StyleOf(FontRole role) noexcept {
  switch (role) {
    case FontRole::Heading: return {15, FW_BOLD};
    case FontRole::Tab: return {13, FW_NORMAL};
    case FontRole::Caption: return {13, FW_NORMAL};
    case FontRole::Body:
    case FontRole::Count: break;
  }
  return {12, FW_NORMAL};
}

FontEntry* FindFont(FontRole role, int dpi) noexcept {
  for (int i = 0; i < g_fontCount; ++i) {
    if (g_fonts[i].role == role && g_fonts[i].dpi == dpi) return &g_fonts[i];
  }
  if (g_fontCount == kFontCacheSize) return nullptr;
  const FontStyle style = StyleOf(role);
  UniqueGdiObject<HFONT> font(CreateFontA(-Scale(style.pixels96, dpi), 0, 0, 0, style.weight, FALSE, FALSE,
                                          FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace));
  if (!font) return nullptr;
  int lineHeight = Scale(style.pixels96 + 4, dpi);
  {
    WindowDc screen(nullptr, false);
    if (screen.get()) {
      SelectScope select(screen.get(), font.get());
      TEXTMETRICA metrics{};
      if (GetTextMetricsA(screen.get(), &metrics)) lineHeight = metrics.tmHeight;
    }
  }
  FontEntry& entry = g_fonts[g_fontCount++];
  entry.role = role;
  entry.dpi = dpi;
  entry.font = std::move(font);
  entry.lineHeight = lineHeight;
  return &entry;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

GetDpiForWindowFunction DpiForWindowFunction() noexcept {
  static const GetDpiForWindowFunction function = [] {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC address = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    // Through void(*)(): the one function type every other may be cast from.
    return reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(address));
  }();
  return function;
}

struct FormNameSearch {
  const char* name;
  HWND found;
};

bool HasFormName(HWND window, const char* name) noexcept {
  const ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(window, kFormNameProperty)));
  if (!atom) return false;
  char buffer[256];
  const UINT length = GlobalGetAtomNameA(atom, buffer, sizeof buffer);
  return length > 0 && std::strcmp(buffer, name) == 0;
}

BOOL CALLBACK FindFormNameProc(HWND window, LPARAM parameter) noexcept {
  auto* search = reinterpret_cast<FormNameSearch*>(parameter);
  if (HasFormName(window, search->name)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK LayoutProc(HWND window, LPARAM dpi) noexcept {
  if (StateOf(window)) Layout(window, static_cast<int>(dpi));
  return TRUE;
}

// A combo box's items arrive with the combo box or its list as the item window.
HWND ComboOfItemWindow(HWND item) noexcept {
  if (KindOf(item) == Kind::Combo) return item;
  HWND parent = item ? GetParent(item) : nullptr;
  return KindOf(parent) == Kind::Combo ? parent : nullptr;
}

}  // namespace

HINSTANCE Instance() noexcept { return g_instance; }

HFONT Font(FontRole role, int dpi) noexcept {
  if (FontEntry* entry = FindFont(role, dpi)) return entry->font.get();
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int LineHeight(FontRole role, int dpi) noexcept {
  if (FontEntry* entry = FindFont(role, dpi)) return entry->lineHeight;
  return Scale(StyleOf(role).pixels96 + 4, dpi);
}

HBRUSH InputBrush(bool enabled) noexcept {
  const UniqueGdiObject<HBRUSH>& brush = enabled ? g_inputBrush : g_inputDisabledBrush;
  return brush ? brush.get() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

RECT ScaleRect(Rect96 rect, int dpi) noexcept {
  return RECT{Scale(rect.x, dpi), Scale(rect.y, dpi), Scale(rect.x + rect.width, dpi),
              Scale(rect.y + rect.height, dpi)};
}

int WindowDpi(HWND window) noexcept {
  if (GetDpiForWindowFunction function = DpiForWindowFunction(); function && window) {
    const UINT dpi = function(window);
    if (dpi) return static_cast<int>(dpi);
  }
  WindowDc screen(nullptr, false);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

Kind KindOf(HWND window) noexcept {
  if (!window) return Kind::None;
  const ATOM atom = static_cast<ATOM>(GetClassWord(window, GCW_ATOM));
  if (!atom) return Kind::None;
  for (int i = 1; i < static_cast<int>(Kind::Count); ++i) {
    if (g_atoms[i] == atom) return static_cast<Kind>(i);
  }
  return Kind::None;
}

ControlState* StateOf(HWND window) noexcept {
  const Kind kind = KindOf(window);
  if (kind == Kind::None || kind == Kind::Frame) return nullptr;
  return reinterpret_cast<ControlState*>(GetWindowLongPtrA(window, g_stateOffset[static_cast<int>(kind)]));
}

int DpiOf(HWND window) noexcept {
  if (const ControlState* state = StateOf(window)) return state->dpi;
  return WindowDpi(window);
}

bool RegisterOwnClass(const char* name, WNDPROC procedure, Kind kind, UINT style, LPCSTR cursor) noexcept {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.cbWndExtra = sizeof(LONG_PTR);
  windowClass.hInstance = g_instance;
  windowClass.hCursor = LoadCursorA(nullptr, cursor);
  windowClass.lpszClassName = name;
  const ATOM atom = RegisterClassExA(&windowClass);
  if (!atom) return false;
  g_atoms[static_cast<int>(kind)] = atom;
  g_stateOffset[static_cast<int>(kind)] = 0;
  return true;
}

bool RegisterSuperclass(const char* systemClass, const char* name, WNDPROC procedure, Kind kind,
                        WNDPROC* original) noexcept {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExA(nullptr, systemClass, &windowClass)) return false;
  *original = windowClass.lpfnWndProc;
  const int offset = windowClass.cbWndExtra;
  windowClass.cbWndExtra += sizeof(LONG_PTR);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = g_instance;
  windowClass.lpszClassName = name;
  windowClass.lpszMenuName = nullptr;
  windowClass.hbrBackground = nullptr;
  // Our own frame is painted around the control; the parent's clipping would
  // let the system paint over it.
  windowClass.style &= ~(CS_PARENTDC | CS_GLOBALCLASS);
  const ATOM atom = RegisterClassExA(&windowClass);
  if (!atom) return false;
  g_atoms[static_cast<int>(kind)] = atom;
  g_stateOffset[static_cast<int>(kind)] = offset;
  return true;
}

void RecordFrameClass(ATOM atom) noexcept { g_atoms[static_cast<int>(Kind::Frame)] = atom; }

bool AttachState(HWND window, Kind kind, LPARAM createStruct) noexcept {
  std::unique_ptr<ControlState> state(new (std::nothrow) ControlState{});
  if (!state) return false;
  state->kind = kind;
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(createStruct);
  if (create && create->lpCreateParams) {
    const auto* info = static_cast<const CreateInfo*>(create->lpCreateParams);
    state->rect = info->rect;
    state->dpi = info->dpi;
    state->font = info->font;
  } else {
    state->dpi = WindowDpi(create ? create->hwndParent : nullptr);
  }
  SetWindowLongPtrA(window, g_stateOffset[static_cast<int>(kind)], reinterpret_cast<LONG_PTR>(state.release()));
  return true;
}

void DetachState(HWND window) noexcept {
  RemoveFormName(window);
  const Kind kind = KindOf(window);
  if (kind == Kind::None || kind == Kind::Frame) return;
  const int offset = g_stateOffset[static_cast<int>(kind)];
  std::unique_ptr<ControlState> state(reinterpret_cast<ControlState*>(GetWindowLongPtrA(window, offset)));
  SetWindowLongPtrA(window, offset, 0);
}

void RemoveFormName(HWND window) noexcept {
  const ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(window, kFormNameProperty)));
  if (atom) GlobalDeleteAtom(atom);
}

bool FollowEnable(HWND window, WPARAM enable) noexcept {
  const bool wanted = enable != 0;
  if ((IsWindowEnabled(window) != FALSE) == wanted) return false;
  EnableWindow(window, wanted ? TRUE : FALSE);
  return true;
}

bool TrackHover(HWND window, ControlState& state) noexcept {
  if (!state.trackingLeave) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    state.trackingLeave = TrackMouseEvent(&track) != FALSE;
  }
  if (state.hover) return false;
  state.hover = true;
  return true;
}

bool EndHover(ControlState& state) noexcept {
  state.trackingLeave = false;
  if (!state.hover) return false;
  state.hover = false;
  return true;
}

HWND CreateControl(const char* className, DWORD style, DWORD exStyle, HWND parent, const char* formName, int id,
                   Rect96 rect, const char* text, FontRole font) noexcept {
  if (!parent) return nullptr;
  CreateInfo info{rect, DpiOf(parent), font};
  const RECT pixels = ScaleRect(rect, info.dpi);
  HWND window = CreateWindowExA(exStyle, className, text ? text : "", WS_CHILD | WS_VISIBLE | style, pixels.left,
                                pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, &info);
  if (!window) return nullptr;
  SetFormName(window, formName);
  Layout(window, info.dpi);
  return window;
}

void Layout(HWND control, int dpi) noexcept {
  ControlState* state = StateOf(control);
  if (!state) return;
  state->dpi = dpi;
  const RECT pixels = ScaleRect(state->rect, dpi);
  if (state->kind == Kind::Combo) {
    LayoutCombo(control, pixels, dpi);
  } else {
    if (state->kind == Kind::Edit) {
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(state->font, dpi)), FALSE);
      const int margin = Scale(1, dpi);
      SendMessageA(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    }
    // FRAMECHANGED: the edit box's inner padding depends on the DPI.
    SetWindowPos(control, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  InvalidateRect(control, nullptr, TRUE);
}

void LayoutDescendants(HWND root, int dpi) noexcept {
  EnumChildWindows(root, LayoutProc, static_cast<LPARAM>(dpi));
}

bool HandleChildSkinMessage(HWND container, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
  switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      HWND child = reinterpret_cast<HWND>(lParam);
      if (KindOf(child) != Kind::Edit) return false;
      const bool enabled = IsWindowEnabled(child) != FALSE;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, enabled ? color::kText : color::kDisabledText);
      SetBkColor(dc, enabled ? color::kWhite : color::kInputDisabled);
      result = reinterpret_cast<LRESULT>(InputBrush(enabled));
      return true;
    }
    case WM_CTLCOLORLISTBOX: {
      if (!ComboOfItemWindow(reinterpret_cast<HWND>(lParam))) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, color::kText);
      SetBkColor(dc, color::kWhite);
      result = reinterpret_cast<LRESULT>(InputBrush(true));
      return true;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (!item || item->CtlType != ODT_COMBOBOX || !ComboOfItemWindow(item->hwndItem)) return false;
      DrawComboItem(*item);
      result = TRUE;
      return true;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (!item || item->CtlType != ODT_COMBOBOX) return false;
      // During the combo box's own creation it may not be found yet; the
      // heights are set again right after creation anyway.
      HWND combo = GetDlgItem(container, static_cast<int>(item->CtlID));
      if (combo && KindOf(combo) != Kind::Combo) return false;
      item->itemHeight = static_cast<UINT>(ComboItemHeight(combo ? DpiOf(combo) : DpiOf(container)));
      result = TRUE;
      return true;
    }
    default: return false;
  }
}

bool HandleContainerMessage(HWND container, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
  if (HandleChildSkinMessage(container, message, wParam, lParam, result)) return true;
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
      HWND parent = GetParent(container);
      if (!parent) return false;
      result = SendMessageA(parent, message, wParam, lParam);
      return true;
    }
    default: return false;
  }
}

COLORREF BackgroundBehind(HWND control) noexcept {
  return KindOf(GetParent(control)) == Kind::Group ? color::kPanel : color::kWindow;
}

void ReadWindowText(HWND window, TextBuffer& buffer) noexcept {
  buffer.length = GetWindowTextA(window, buffer.text, sizeof buffer.text);
  if (buffer.length < 0) buffer.length = 0;
  buffer.text[buffer.length] = '\0';
}

PaintBuffer::PaintBuffer(HWND window) noexcept : window_(window) {
  BeginPaint(window, &paint_);
  GetClientRect(window, &client_);
  if (!paint_.hdc || client_.right <= 0 || client_.bottom <= 0) return;
  memory_.reset(CreateCompatibleDC(paint_.hdc));
  if (!memory_) return;
  bitmap_.reset(CreateCompatibleBitmap(paint_.hdc, client_.right, client_.bottom));
  if (!bitmap_) {
    memory_.reset();
    return;
  }
  oldBitmap_ = SelectObject(memory_.get(), bitmap_.get());
}

PaintBuffer::~PaintBuffer() {
  if (memory_) {
    BitBlt(paint_.hdc, 0, 0, client_.right, client_.bottom, memory_.get(), 0, 0, SRCCOPY);
    SelectObject(memory_.get(), oldBitmap_);
  }
  memory_.reset();
  bitmap_.reset();
  EndPaint(window_, &paint_);
}

void FillRectColor(HDC dc, const RECT& rect, COLORREF color) noexcept {
  const COLORREF old = SetDCBrushColor(dc, color);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, old);
}

void RoundRectColor(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF border) noexcept {
  SelectScope pen(dc, GetStockObject(DC_PEN));
  SelectScope brush(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, border);
  SetDCBrushColor(dc, fill);
  RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius * 2, radius * 2);
}

void EllipseColor(HDC dc, const RECT& rect, COLORREF fill, COLORREF border) noexcept {
  SelectScope pen(dc, GetStockObject(DC_PEN));
  SelectScope brush(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, border);
  SetDCBrushColor(dc, fill);
  Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void LineColor(HDC dc, int x1, int y1, int x2, int y2, int width, COLORREF color) noexcept {
  UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, width, color));
  if (!pen) return;
  SelectScope select(dc, pen.get());
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

void DrawTextIn(HDC dc, const char* text, int length, RECT rect, HFONT font, COLORREF color, UINT format) noexcept {
  SelectScope select(dc, font);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, color);
  DrawTextA(dc, text, length, &rect, format | DT_NOPREFIX);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

SIZE MeasureText(HDC dc, const char* text, HFONT font) noexcept {
  SelectScope select(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  return size;
}

}  // namespace ui::skin

namespace ui {

bool Initialize(HINSTANCE instance) noexcept {
  static bool initialized = false;
  if (initialized) return true;
  skin::g_instance = instance;

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  skin::g_inputBrush.reset(CreateSolidBrush(skin::color::kWhite));
  skin::g_inputDisabledBrush.reset(CreateSolidBrush(skin::color::kInputDisabled));

  WNDCLASSEXA frameClass{};
  frameClass.cbSize = sizeof frameClass;
  frameClass.style = CS_DROPSHADOW;
  frameClass.lpfnWndProc = FrameWindow::WindowProc;
  frameClass.hInstance = instance;
  frameClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  frameClass.lpszClassName = kFrameClass;
  const ATOM frameAtom = RegisterClassExA(&frameClass);
  if (!frameAtom) return false;
  skin::RecordFrameClass(frameAtom);

  if (!skin::RegisterTabsClass() || !skin::RegisterGroupClass() || !skin::RegisterPictureClass() ||
      !skin::RegisterLabelClass() || !skin::RegisterButtonClass() || !skin::RegisterRadioClass() ||
      !skin::RegisterEditClass() || !skin::RegisterComboClass()) {
    return false;
  }
  initialized = true;
  return true;
}

void SetFormName(HWND window, const char* formName) noexcept {
  if (!window) return;
  skin::RemoveFormName(window);
  if (!formName || !*formName) return;
  const ATOM atom = GlobalAddAtomA(formName);
  if (!atom) return;
  if (!SetPropA(window, kFormNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)))) {
    GlobalDeleteAtom(atom);
  }
}

Text FormNameOf(HWND control) {
  const ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(control, kFormNameProperty)));
  if (!atom) return {};
  char buffer[256];
  const UINT length = GlobalGetAtomNameA(atom, buffer, sizeof buffer);
  return Text(buffer, length);
}

HWND FindByFormName(HWND root, const Text& formName) {
  if (!root || formName.empty()) return nullptr;
  if (skin::HasFormName(root, formName.c_str())) return root;
  skin::FormNameSearch search{formName.c_str(), nullptr};
  EnumChildWindows(root, skin::FindFormNameProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Text GetText(HWND control) {
  const LRESULT length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  Text text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void SetText(HWND control, const Text& text) noexcept {
  SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace ui
