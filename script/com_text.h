#pragma once
// Text crosses into and out of the script components through the system ANSI
// code page. The script library cannot use the net encodings (net depends on
// it), and the conversions here keep embedded zero characters, which script
// values may hold.

#include <string_view>

#include "common/com.h"
#include "common/text.h"

// A VT_BSTR holding the given UTF-16 units.
[[nodiscard]] UniqueVariant WideVariant(std::wstring_view wide);

// Text in the ANSI code page as a VT_BSTR.
[[nodiscard]] UniqueVariant AnsiVariant(const Text& text);

// The UTF-16 units of a VT_BSTR (empty for any other kind).
[[nodiscard]] std::wstring_view VariantUnits(const UniqueVariant& value) noexcept;

// A VARIANT converted to text (VariantChangeType rules), then to the ANSI code
// page; empty when it has no text form. Characters the code page cannot hold
// become its default character.
[[nodiscard]] Text VariantAnsi(const UniqueVariant& value);

// UTF-16 units as ANSI text.
[[nodiscard]] Text WideToAnsi(std::wstring_view wide);

// Late-bound property reads that fail quietly: empty text, 0 or null.
[[nodiscard]] Text PropertyText(IDispatch* object, const wchar_t* name) noexcept;
[[nodiscard]] std::int32_t PropertyInt(IDispatch* object, const wchar_t* name) noexcept;
[[nodiscard]] ComPtr<IDispatch> PropertyObject(IDispatch* object, const wchar_t* name) noexcept;
