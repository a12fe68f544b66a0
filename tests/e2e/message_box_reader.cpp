#include "tests/e2e/message_box_reader.h"

#include <ostream>

#include "tests/e2e/program_under_test.h"

namespace {

// The control id that a message box gives its text.
constexpr int kMessageTextId = 0xFFFF;

BOOL CALLBACK CollectChild(HWND child, LPARAM context) noexcept {
  static_cast<std::vector<HWND>*>(reinterpret_cast<void*>(context))->push_back(child);
  return TRUE;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

}  // namespace

MessageBoxContents ReadMessageBox(HWND box) {
  MessageBoxContents contents{WindowText(box), {}, {}};
  for (HWND child : ChildrenOf(box)) {
    const Text kind = WindowClass(child);
    if (kind == "Button" && IsWindowVisible(child)) {
      contents.buttons.push_back(WindowText(child));
    } else if (kind == "Static" && GetDlgCtrlID(child) == kMessageTextId) {
      contents.text = WindowText(child);
    }
  }
  return contents;
}

bool PressMessageBoxButton(HWND box, const Text& buttonText) {
  for (HWND child : ChildrenOf(box)) {
    if (WindowClass(child) == "Button" && WindowText(child) == buttonText) {
      return PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(child)), 0) != 0;
    }
  }
  return false;
}

void PrintTo(const MessageBoxContents& box, std::ostream* out) {
  *out << "{caption \"" << box.caption << "\", text \"" << box.text << "\", buttons";
  for (const Text& button : box.buttons) *out << " \"" << button << "\"";
  *out << "}";
}
