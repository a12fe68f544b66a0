#include "script/com_text.h"

#include <vector>

UniqueVariant WideVariant(std::wstring_view wide) {
  UniqueVariant value;
  VARIANT* raw = value.put();
  raw->bstrVal = ::SysAllocStringLen(wide.empty() ? L"" : wide.data(), static_cast<UINT>(wide.size()));
  if (raw->bstrVal) raw->vt = VT_BSTR;
  return value;
}

UniqueVariant AnsiVariant(const Text& text) {
  std::vector<wchar_t> wide;
  if (!text.empty()) {
    const int length = static_cast<int>(text.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (units > 0) {
      wide.resize(static_cast<std::size_t>(units));
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), units);
    }
  }
  return WideVariant(std::wstring_view(wide.data(), wide.size()));
}

std::wstring_view VariantUnits(const UniqueVariant& value) noexcept {
  if (value.type() != VT_BSTR || !value.get().bstrVal) return {};
  return std::wstring_view(value.get().bstrVal, ::SysStringLen(value.get().bstrVal));
}

Text WideToAnsi(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  Text text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, text.data(), size, nullptr, nullptr);
  return text;
}

Text VariantAnsi(const UniqueVariant& value) {
  if (value.type() == VT_BSTR) return WideToAnsi(VariantUnits(value));
  UniqueVariant converted;
  if (FAILED(::VariantChangeType(converted.put(), const_cast<VARIANT*>(&value.get()), 0, VT_BSTR))) return {};
  return WideToAnsi(VariantUnits(converted));
}

Text PropertyText(IDispatch* object, const wchar_t* name) noexcept {
  UniqueVariant value;
  if (FAILED(GetProperty(object, name, value))) return {};
  return VariantAnsi(value);
}

std::int32_t PropertyInt(IDispatch* object, const wchar_t* name) noexcept {
  UniqueVariant value;
  if (FAILED(GetProperty(object, name, value))) return 0;
  return value.ToInt();
}

ComPtr<IDispatch> PropertyObject(IDispatch* object, const wchar_t* name) noexcept {
  UniqueVariant value;
  if (FAILED(GetProperty(object, name, value))) return nullptr;
  return value.ToDispatch();
}
