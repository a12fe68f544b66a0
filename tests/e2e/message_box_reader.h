#pragma once
// Message boxes of a program, read and answered from outside.

#include <windows.h>

#include <vector>

#include "common/text.h"

struct MessageBoxContents {
  Text caption;
  Text text;
  std::vector<Text> buttons;  // their texts, in the box's order

  bool operator==(const MessageBoxContents&) const = default;
};

[[nodiscard]] MessageBoxContents ReadMessageBox(HWND box);

// Presses the box's button with this text ("确定", "取消"); false when the box
// has no such button.
[[nodiscard]] bool PressMessageBoxButton(HWND box, const Text& buttonText);

// gtest prints a box as its caption, text and buttons.
void PrintTo(const MessageBoxContents& box, std::ostream* out);
