#pragma once
// Each control kind's file registers its own window class; the layer's
// start-up calls them all.

namespace ui::skin {

[[nodiscard]] bool RegisterTabsClass() noexcept;
[[nodiscard]] bool RegisterGroupClass() noexcept;
[[nodiscard]] bool RegisterPictureClass() noexcept;
[[nodiscard]] bool RegisterLabelClass() noexcept;
[[nodiscard]] bool RegisterButtonClass() noexcept;
[[nodiscard]] bool RegisterRadioClass() noexcept;
[[nodiscard]] bool RegisterEditClass() noexcept;
[[nodiscard]] bool RegisterComboClass() noexcept;

}  // namespace ui::skin
