#include "common/com.h"

#include <vector>

UniqueBstr UniqueBstr::FromWide(const Bytes& wide) {
  const std::size_t units = wide.size() / 2;
  const auto* data = reinterpret_cast<const OLECHAR*>(DataOrNull(wide));
  std::size_t length = 0;
  while (length < units && data[length] != 0) ++length;
  return UniqueBstr(::SysAllocStringLen(length ? data : L"", static_cast<UINT>(length)));
}

UniqueVariant::UniqueVariant(const UniqueVariant& other) noexcept {
  ::VariantInit(&value_);
  ::VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
}

UniqueVariant::UniqueVariant(UniqueVariant&& other) noexcept {
  value_ = other.value_;  // bitwise move: the source gives up ownership
  ::VariantInit(&other.value_);
}

UniqueVariant& UniqueVariant::operator=(UniqueVariant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

UniqueVariant UniqueVariant::FromWide(const Bytes& wide) {
  UniqueVariant v;
  v.value_.vt = VT_BSTR;
  v.value_.bstrVal = UniqueBstr::FromWide(wide).release();
  return v;
}

UniqueVariant UniqueVariant::FromInt(std::int32_t value) {
  UniqueVariant v;
  v.value_.vt = VT_I4;
  v.value_.lVal = value;
  return v;
}

UniqueVariant UniqueVariant::FromBool(bool value) {
  UniqueVariant v;
  v.value_.vt = VT_BOOL;
  v.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

UniqueVariant UniqueVariant::FromDispatch(IDispatch* object) {
  UniqueVariant v;
  v.value_.vt = VT_DISPATCH;
  v.value_.pdispVal = object;
  if (object) object->AddRef();
  return v;
}

Bytes UniqueVariant::ToWide() const {
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&value_), 0, VT_BSTR))) return {};
  const UINT length = ::SysStringLen(converted.bstrVal);
  Bytes wide;
  if (length) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(converted.bstrVal);
    wide.assign(begin, begin + length * 2);
    wide.push_back(0);
    wide.push_back(0);
  }
  ::VariantClear(&converted);
  return wide;
}

std::int32_t UniqueVariant::ToInt() const noexcept {
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&value_), 0, VT_I4))) return 0;
  return converted.lVal;
}

ComPtr<IDispatch> UniqueVariant::ToDispatch() const noexcept {
  if (value_.vt != VT_DISPATCH) return nullptr;
  return ComPtr<IDispatch>::Share(value_.pdispVal);
}

HRESULT CreateObjectByProgId(const wchar_t* progId, ComPtr<IDispatch>& object) noexcept {
  CLSID clsid;
  HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) return hr;
  return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                            IID_IDispatch, object.put_void());
}

namespace {

HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, DISPPARAMS& params,
               VARIANT* result) noexcept {
  if (!object) return E_POINTER;
  DISPID id = DISPID_UNKNOWN;
  auto* member = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  EXCEPINFO exception{};
  UINT argumentError = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception,
                      &argumentError);
  // Script hosts may fill these even on success; they are ours to free.
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  if (hr == DISP_E_EXCEPTION && exception.scode != 0) hr = exception.scode;
  return hr;
}

// DISPPARAMS takes the arguments last first. The copies are shallow: the
// callee only reads them, and their owners outlive the call.
HRESULT InvokeWith(IDispatch* object, const wchar_t* name, WORD flags,
                   std::initializer_list<const UniqueVariant*> arguments, VARIANT* result) noexcept {
  std::vector<VARIANT> reversed;
  reversed.reserve(arguments.size());
  for (auto it = arguments.end(); it != arguments.begin();) reversed.push_back((*--it)->get());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                    static_cast<UINT>(reversed.size()), 0};
  return Invoke(object, name, flags, params, result);
}

}  // namespace

HRESULT GetProperty(IDispatch* object, const wchar_t* name, UniqueVariant& value,
                    std::initializer_list<const UniqueVariant*> arguments) noexcept {
  return InvokeWith(object, name, DISPATCH_PROPERTYGET, arguments, value.put());
}

HRESULT PutProperty(IDispatch* object, const wchar_t* name, const UniqueVariant& value) noexcept {
  VARIANT argument = value.get();  // read only by the callee
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &named, 1, 1};
  return Invoke(object, name, DISPATCH_PROPERTYPUT, params, nullptr);
}

HRESULT CallMethod(IDispatch* object, const wchar_t* name,
                   std::initializer_list<const UniqueVariant*> arguments,
                   UniqueVariant* result) noexcept {
  return InvokeWith(object, name, DISPATCH_METHOD, arguments, result ? result->put() : nullptr);
}
