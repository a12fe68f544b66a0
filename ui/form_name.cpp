// Form names: a window property holding a global atom, readable from any
// process.
#include "ui/form_name.h"

#include <cstring>

#include "ui/widgets.h"

namespace ui {
namespace {

struct FormNameSearch {
  const char* name;
  HWND found;
};

// The window's form name into buffer; its length, 0 when it has none.
UINT ReadFormName(HWND window, char (&buffer)[256]) noexcept {
  const ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(window, kFormNameProperty)));
  return atom ? GlobalGetAtomNameA(atom, buffer, sizeof buffer) : 0;
}

bool HasFormName(HWND window, const char* name) noexcept {
  char buffer[256];
  return ReadFormName(window, buffer) > 0 && std::strcmp(buffer, name) == 0;
}

BOOL CALLBACK FindFormNameProc(HWND window, LPARAM parameter) noexcept {
  auto* search = reinterpret_cast<FormNameSearch*>(parameter);
  if (HasFormName(window, search->name)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

void skin::RemoveFormName(HWND window) noexcept {
  const ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(window, kFormNameProperty)));
  if (atom) GlobalDeleteAtom(atom);
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
  char buffer[256];
  return Text(buffer, ReadFormName(control, buffer));
}

HWND FindByFormName(HWND root, const Text& formName) {
  if (!root || formName.empty()) return nullptr;
  if (HasFormName(root, formName.c_str())) return root;
  FormNameSearch search{formName.c_str(), nullptr};
  EnumChildWindows(root, FindFormNameProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace ui
