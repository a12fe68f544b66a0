#include "hotkeys/hotkey_table.h"

#include <cstring>

#include "common/handles.h"

namespace {

HotkeyTable* TableOf(HWND window) noexcept {
  return static_cast<HotkeyTable*>(GetPropA(window, kHotkeyListProperty));
}

void SetProcedure(HWND window, WNDPROC procedure) noexcept {
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

// Takes back a block that the table owned, so that it is freed here.
void FreeBlock(void* block) noexcept { UniqueLocal(static_cast<HLOCAL>(block)).reset(); }

// The id of a WM_HOTKEY: RegisterHotKey takes an int, which wParam carries.
std::int32_t HotkeyIdOf(WPARAM wParam) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam));
}

}  // namespace

bool AddHotkey(HWND window, UINT modifiers, UINT vk, HotkeyHandler handler,
               std::int32_t id) noexcept {
  if (id == 0) return false;
  // Wine replaces the key of a re-registered window and id silently while
  // Windows keeps both, so the old one always goes first.
  static_cast<void>(RemoveHotkey(window, id));
  if (!RegisterHotKey(window, id, modifiers, vk)) return false;

  HotkeyTable* table = TableOf(window);
  if (table == nullptr) {
    UniqueLocal block(LocalAlloc(LMEM_ZEROINIT, sizeof(HotkeyTable)));
    if (!block) return true;  // registered, but its WM_HOTKEY reaches the window's own procedure
    table = static_cast<HotkeyTable*>(block.release());
  }
  SetPropA(window, kHotkeyListProperty, table);

  if (table->savedProcedure == nullptr) {
    table->savedProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HotkeyWindowProc)));
  }

  const std::size_t count = static_cast<std::size_t>(table->count);
  UniqueLocal grown(LocalAlloc(LMEM_ZEROINIT, (count + 1) * sizeof(HotkeyEntry)));
  if (!grown) return true;
  auto* entries = static_cast<HotkeyEntry*>(grown.get());
  if (count > 0) std::memcpy(entries, table->entries, count * sizeof(HotkeyEntry));
  FreeBlock(table->entries);
  table->entries = static_cast<HotkeyEntry*>(grown.release());

  table->entries[count] = HotkeyEntry{window, id, handler};
  table->count += 1;
  return true;
}

bool RemoveHotkey(HWND window, std::int32_t id) noexcept {
  if (id == 0) return false;
  HotkeyTable* table = TableOf(window);
  if (table == nullptr || table->entries == nullptr) return false;

  std::int32_t found = -1;
  for (std::int32_t i = 0; i < table->count; ++i) {
    if (table->entries[i].id == id) {
      found = i;
      break;
    }
  }
  if (found < 0) return false;

  const bool result = UnregisterHotKey(window, id) != FALSE;
  if (table->count == 1) {
    if (table->savedProcedure != nullptr) SetProcedure(window, table->savedProcedure);
    FreeBlock(table->entries);
    RemovePropA(window, kHotkeyListProperty);
    FreeBlock(table);
  } else {
    HotkeyEntry* entries = table->entries;
    const std::int32_t last = table->count - 1;
    std::memmove(entries + found, entries + found + 1,
                 static_cast<std::size_t>(last - found) * sizeof(HotkeyEntry));
    entries[last] = HotkeyEntry{};
    table->count = last;
  }
  return result;
}

void ClearHotkeys(HWND window) noexcept {
  HotkeyTable* table = TableOf(window);
  if (table == nullptr) return;
  if (table->savedProcedure != nullptr) SetProcedure(window, table->savedProcedure);
  if (table->entries != nullptr) {
    for (std::int32_t i = 0; i < table->count; ++i) UnregisterHotKey(window, table->entries[i].id);
    FreeBlock(table->entries);
  }
  RemovePropA(window, kHotkeyListProperty);
  FreeBlock(table);
}

LRESULT CALLBACK HotkeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const HotkeyTable* table = TableOf(window);
  if (table == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  WNDPROC routine = table->savedProcedure;
  if (message == WM_HOTKEY && table->entries != nullptr) {
    const std::int32_t id = HotkeyIdOf(wParam);
    for (std::int32_t i = 0; i < table->count; ++i) {
      if (table->entries[i].id == id) {
        routine = table->entries[i].handler;
        break;
      }
    }
  }
  return CallWindowProcA(routine, window, message, wParam, lParam);
}
