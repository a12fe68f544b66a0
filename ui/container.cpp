#include "ui/container.h"

#include "ui/combo.h"
#include "ui/control.h"

namespace ui::skin {
namespace {

// A combo box's items arrive with the combo box or its list as the item window.
HWND ComboOfItemWindow(HWND item) noexcept {
  if (KindOf(item) == Kind::Combo) return item;
  HWND parent = item ? GetParent(item) : nullptr;
  return KindOf(parent) == Kind::Combo ? parent : nullptr;
}

}  // namespace

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

}  // namespace ui::skin
