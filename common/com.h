#pragma once
// Owners for COM references, BSTRs and VARIANTs, and late-bound calls by
// member name. Every call reports an HRESULT; nothing throws.

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "common/text.h"

template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Takes over a reference the caller already owns.
  [[nodiscard]] static ComPtr Attach(T* raw) noexcept {
    ComPtr p;
    p.raw_ = raw;
    return p;
  }
  // Adds a reference of its own.
  [[nodiscard]] static ComPtr Share(T* raw) noexcept {
    if (raw) raw->AddRef();
    return Attach(raw);
  }
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr& other) noexcept : raw_(other.raw_) {
    if (raw_) raw_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : raw_(std::exchange(other.raw_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(raw_, other.raw_);
    return *this;
  }

  [[nodiscard]] T* get() const noexcept { return raw_; }
  T* operator->() const noexcept { return raw_; }
  explicit operator bool() const noexcept { return raw_ != nullptr; }
  void reset() noexcept {
    if (T* old = std::exchange(raw_, nullptr)) old->Release();
  }
  [[nodiscard]] T** put() noexcept {
    reset();
    return &raw_;
  }
  [[nodiscard]] void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  template <typename U>
  [[nodiscard]] HRESULT As(ComPtr<U>& out) const noexcept {
    if (!raw_) return E_POINTER;
    return raw_->QueryInterface(__uuidof(U), out.put_void());
  }

 private:
  T* raw_ = nullptr;
};

class UniqueBstr {
 public:
  UniqueBstr() noexcept = default;
  explicit UniqueBstr(BSTR owned) noexcept : value_(owned) {}
  ~UniqueBstr() { ::SysFreeString(value_); }
  UniqueBstr(UniqueBstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  UniqueBstr& operator=(UniqueBstr&& other) noexcept {
    if (this != &other) {
      ::SysFreeString(value_);
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;

  // From UTF-16 Bytes (up to the first zero unit or the end).
  [[nodiscard]] static UniqueBstr FromWide(const Bytes& wide);

  [[nodiscard]] BSTR get() const noexcept { return value_; }
  [[nodiscard]] BSTR release() noexcept { return std::exchange(value_, nullptr); }
  [[nodiscard]] UINT length() const noexcept { return ::SysStringLen(value_); }

 private:
  BSTR value_ = nullptr;
};

// A VARIANT that clears itself.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { ::VariantInit(&value_); }
  ~UniqueVariant() { ::VariantClear(&value_); }
  UniqueVariant(const UniqueVariant& other) noexcept;
  UniqueVariant(UniqueVariant&& other) noexcept;
  UniqueVariant& operator=(UniqueVariant other) noexcept;

  [[nodiscard]] static UniqueVariant FromWide(const Bytes& wide);  // VT_BSTR
  [[nodiscard]] static UniqueVariant FromInt(std::int32_t value);  // VT_I4
  [[nodiscard]] static UniqueVariant FromBool(bool value);         // VT_BOOL
  [[nodiscard]] static UniqueVariant FromDispatch(IDispatch* object);  // adds a reference

  [[nodiscard]] const VARIANT& get() const noexcept { return value_; }
  [[nodiscard]] VARIANT* put() noexcept {
    ::VariantClear(&value_);
    return &value_;
  }
  [[nodiscard]] VARTYPE type() const noexcept { return value_.vt; }

  // The value as UTF-16 Bytes with terminator (empty when it has no text form).
  [[nodiscard]] Bytes ToWide() const;
  // The value as a 32-bit integer (0 when it has no number form).
  [[nodiscard]] std::int32_t ToInt() const noexcept;
  // The object held (VT_DISPATCH), with a reference of its own.
  [[nodiscard]] ComPtr<IDispatch> ToDispatch() const noexcept;

 private:
  VARIANT value_;
};

// CoInitializeEx for the life of a scope, on the calling thread.
class ComApartment {
 public:
  explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept
      : result_(::CoInitializeEx(nullptr, model)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  [[nodiscard]] HRESULT result() const noexcept { return result_; }

 private:
  HRESULT result_;
};

// Late-bound use of automation objects: member names are looked up at each
// call. Properties are read with DISPATCH_PROPERTYGET alone, which every
// script host accepts.
[[nodiscard]] HRESULT CreateObjectByProgId(const wchar_t* progId, ComPtr<IDispatch>& object) noexcept;
// Arguments (as for an indexed property such as Item) in their natural order.
[[nodiscard]] HRESULT GetProperty(IDispatch* object, const wchar_t* name, UniqueVariant& value,
                                  std::initializer_list<const UniqueVariant*> arguments = {}) noexcept;
[[nodiscard]] HRESULT PutProperty(IDispatch* object, const wchar_t* name, const UniqueVariant& value) noexcept;
// Arguments in their natural order; result may be null.
[[nodiscard]] HRESULT CallMethod(IDispatch* object, const wchar_t* name,
                                 std::initializer_list<const UniqueVariant*> arguments,
                                 UniqueVariant* result) noexcept;
