#pragma once
// The skinned widget layer: one borderless frame window with its own title
// bar, and the controls placed on it. Every control is a real window of its
// kind that answers the standard Win32 messages (WM_SETTEXT/WM_GETTEXT,
// BM_CLICK, BM_GETCHECK/BM_SETCHECK, CB_GETCURSEL/CB_SETCURSEL,
// TCM_GETCURSEL/TCM_SETCURSEL, WM_ENABLE), so another process can drive it,
// and carries its form name in the window property "FormName" (a global atom;
// read it with GetPropA + GlobalGetAtomNameA).
//
// Geometry is given at 96 DPI relative to the client area of the container
// that holds the control; the layer scales it to the window's DPI and lays
// the controls out again when the DPI changes.
//
// Notifications follow Win32: a button, radio button, edit box or combo box
// notifies its parent with WM_COMMAND; containers (tab container, group) pass
// WM_COMMAND on to their own parent, so the frame receives every WM_COMMAND
// of every control, with the control's id in LOWORD(wParam).

#include <windows.h>

#include <initializer_list>

#include "common/text.h"

namespace ui {

struct Rect96 {
  int x;
  int y;
  int width;
  int height;
};

// The font of every text of the layer.
inline constexpr const char* kFontFace = "微软雅黑";

// Window classes of the layer (GetClassNameA of each control answers these).
inline constexpr const char* kFrameClass = "FeiSuoFrame";
inline constexpr const char* kTabsClass = "FeiSuoTabs";
inline constexpr const char* kGroupClass = "FeiSuoGroup";
inline constexpr const char* kPictureClass = "FeiSuoPicture";
inline constexpr const char* kLabelClass = "FeiSuoLabel";
inline constexpr const char* kButtonClass = "FeiSuoButton";
inline constexpr const char* kRadioClass = "FeiSuoRadio";
inline constexpr const char* kEditClass = "FeiSuoEdit";
inline constexpr const char* kComboClass = "FeiSuoCombo";

// The window property holding a control's form name as a global atom.
inline constexpr const char* kFormNameProperty = "FormName";

// Registers the classes and creates the shared fonts and brushes; once per
// process, before any window of the layer. False when a class cannot be made.
[[nodiscard]] bool Initialize(HINSTANCE instance) noexcept;

// A base for the one top-level window: borderless, with a title bar of its
// own (caption, minimise and close buttons, drag anywhere on the bar to move).
// The static window procedure takes `this` at WM_NCCREATE and hands messages
// to the virtual members; anything they leave goes to DefWindowProcA.
class FrameWindow {
 public:
  FrameWindow() = default;
  virtual ~FrameWindow() = default;
  FrameWindow(const FrameWindow&) = delete;
  FrameWindow& operator=(const FrameWindow&) = delete;

  // Creates the window (hidden) at the given 96-DPI rectangle in screen
  // coordinates, scaled to the DPI of the monitor it lands on. OnCreate runs
  // inside, with the window handle already set, to create the controls.
  [[nodiscard]] bool Create(const Text& caption, Rect96 screenRect) noexcept;
  [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }

  // Height at 96 DPI of the title bar; the client area below it is free.
  static constexpr int kTitleBarHeight96 = 31;
  // Width at 96 DPI of each title-bar button: close at the right end of the
  // bar, minimise just left of it.
  static constexpr int kTitleButtonWidth96 = 40;

 protected:
  virtual void OnCreate() noexcept {}
  // WM_COMMAND of any control of the window, by control id.
  virtual void OnCommand(int /*controlId*/, int /*notifyCode*/, HWND /*control*/) noexcept {}
  // WM_DESTROY, before the layer's own clean-up.
  virtual void OnDestroy() noexcept {}
  // Any other message; return true when handled, with the result in result.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                         LRESULT& /*result*/) noexcept {
    return false;
  }

 private:
  friend bool Initialize(HINSTANCE instance) noexcept;
  enum class TitleButton { None, Minimize, Close };

  static bool RegisterFrameClass() noexcept;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT HandleLayerMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  [[nodiscard]] TitleButton TitleButtonAt(POINT client) const noexcept;
  [[nodiscard]] RECT TitleButtonRect(TitleButton button) const noexcept;
  void SetHotButton(TitleButton hot, TitleButton pressed) noexcept;
  void Paint() noexcept;

  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  TitleButton hot_ = TitleButton::None;
  TitleButton pressed_ = TitleButton::None;
  bool trackingLeave_ = false;
};

// The small icons of the picture boxes (drawn by the layer, no resources).
enum class Icon { Settings, Pointer, Crosshair, Keyboard, Info };

// Control creation. parent is the frame, a tab container or a group; id is
// unique within the frame. Each returns null when the window cannot be made.
HWND CreateTabs(HWND parent, const char* formName, int id, Rect96 rect,
                std::initializer_list<const char*> pages) noexcept;
HWND CreateGroup(HWND parent, const char* formName, int id, Rect96 rect) noexcept;
HWND CreatePicture(HWND parent, const char* formName, int id, Rect96 rect, Icon icon) noexcept;
HWND CreateLabel(HWND parent, const char* formName, int id, Rect96 rect, const Text& caption) noexcept;
HWND CreateButton(HWND parent, const char* formName, int id, Rect96 rect, const Text& caption) noexcept;
// Radio buttons with the same parent form one group: checking one clears the
// others, by click (BM_CLICK or the mouse) and through SelectRadio.
HWND CreateRadio(HWND parent, const char* formName, int id, Rect96 rect, const Text& caption,
                 bool checked) noexcept;
HWND CreateEdit(HWND parent, const char* formName, int id, Rect96 rect, const Text& text) noexcept;
// A drop-down list; selection -1 shows nothing.
HWND CreateCombo(HWND parent, const char* formName, int id, Rect96 rect,
                 std::initializer_list<const char*> items, int selection) noexcept;

// Puts a direct child of the tab container on one of its pages: it is shown
// only while that page is current (whether set by a click on the header or
// by TCM_SETCURSEL). The container notifies its parent of a click on a header
// with WM_NOTIFY TCN_SELCHANGE.
void AssignToPage(HWND tabs, int page, HWND control) noexcept;

// The header of a page in the tab container's client coordinates; empty for
// a page it does not have. A function, not a message: a message that carried
// a pointer to write to could come from any process.
[[nodiscard]] RECT TabHeaderRect(HWND tabs, int page) noexcept;

// Checks the radio button and clears the other radio buttons of its parent.
void SelectRadio(HWND radio) noexcept;

// The form name of a control ("" when it has none), and the control of a
// window tree with a given form name (null when there is none).
[[nodiscard]] Text FormNameOf(HWND control);
[[nodiscard]] HWND FindByFormName(HWND root, const Text& formName);

// Gives a window of the layer (the frame too) its form name, replacing any it
// had; the layer removes the property and deletes the atom when the window is
// destroyed. An empty name removes it.
void SetFormName(HWND window, const char* formName) noexcept;

// Text helpers that work for every control kind of the layer.
[[nodiscard]] Text GetText(HWND control);
void SetText(HWND control, const Text& text) noexcept;

}  // namespace ui
