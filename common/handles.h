#pragma once
// Move-only owners for Windows handles and heap blocks. Each kind is one line:
// the handle type, its "no handle" value and how it is released. Kinds whose
// empty value is INVALID_HANDLE_VALUE are kept apart from those whose empty
// value is null, so a failed CreateFile is never mistaken for a handle.

#include <windows.h>
#include <wincrypt.h>

#include <cstddef>
#include <utility>

template <typename Traits>
class UniqueAny {
 public:
  using pointer = typename Traits::pointer;

  UniqueAny() noexcept = default;
  explicit UniqueAny(pointer value) noexcept : value_(value) {}
  ~UniqueAny() { reset(); }

  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;

  [[nodiscard]] pointer get() const noexcept { return value_; }
  [[nodiscard]] bool valid() const noexcept { return value_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  [[nodiscard]] pointer release() noexcept { return std::exchange(value_, Traits::Invalid()); }
  void reset(pointer value = Traits::Invalid()) noexcept {
    const pointer old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // For APIs that return the handle through an output argument.
  [[nodiscard]] pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::Invalid();
};

namespace handle_detail {

template <typename P, auto CloseFn>
struct NullIsEmpty {
  using pointer = P;
  static pointer Invalid() noexcept { return pointer{}; }
  static void Close(pointer value) noexcept { CloseFn(value); }
};

template <auto CloseFn>
struct InvalidValueIsEmpty {
  using pointer = HANDLE;
  static pointer Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(pointer value) noexcept { CloseFn(value); }
};

inline void CloseKernelHandle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void ReleaseCryptProvider(HCRYPTPROV h) noexcept { ::CryptReleaseContext(h, 0); }
inline void DestroyCryptHash(HCRYPTHASH h) noexcept { ::CryptDestroyHash(h); }
inline void FreeProcessHeapBlock(void* p) noexcept { ::HeapFree(::GetProcessHeap(), 0, p); }
inline void CloseRegistryKey(HKEY h) noexcept { ::RegCloseKey(h); }
inline void DeleteGdiObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void DeleteMemoryDc(HDC h) noexcept { ::DeleteDC(h); }
inline void FreeLocalBlock(HLOCAL h) noexcept { ::LocalFree(h); }

}  // namespace handle_detail

// Threads, events, processes and jobs: null when there is none.
using UniqueHandle = UniqueAny<handle_detail::NullIsEmpty<HANDLE, handle_detail::CloseKernelHandle>>;
// Files and toolhelp snapshots: INVALID_HANDLE_VALUE when there is none.
using UniqueFile = UniqueAny<handle_detail::InvalidValueIsEmpty<handle_detail::CloseKernelHandle>>;
using UniqueSnapshot = UniqueFile;
using UniqueCryptProvider = UniqueAny<handle_detail::NullIsEmpty<HCRYPTPROV, handle_detail::ReleaseCryptProvider>>;
using UniqueCryptHash = UniqueAny<handle_detail::NullIsEmpty<HCRYPTHASH, handle_detail::DestroyCryptHash>>;
using UniqueRegistryKey = UniqueAny<handle_detail::NullIsEmpty<HKEY, handle_detail::CloseRegistryKey>>;
// Fonts, brushes, pens, bitmaps and regions (HFONT, HBRUSH, ...): null when there is none.
template <typename GdiHandle>
using UniqueGdiObject = UniqueAny<handle_detail::NullIsEmpty<GdiHandle, handle_detail::DeleteGdiObject>>;
// Memory device contexts from CreateCompatibleDC.
using UniqueMemoryDc = UniqueAny<handle_detail::NullIsEmpty<HDC, handle_detail::DeleteMemoryDc>>;
// Blocks of LocalAlloc, released with LocalFree.
using UniqueLocal = UniqueAny<handle_detail::NullIsEmpty<HLOCAL, handle_detail::FreeLocalBlock>>;

// A block of the process heap, with its size.
class HeapBlock {
 public:
  HeapBlock() noexcept = default;
  // Zero-filled; an empty block on failure.
  [[nodiscard]] static HeapBlock Allocate(std::size_t size) noexcept {
    HeapBlock block;
    block.memory_.reset(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1));
    block.size_ = block.memory_ ? size : 0;
    return block;
  }
  [[nodiscard]] void* get() const noexcept { return memory_.get(); }
  [[nodiscard]] BYTE* bytes() const noexcept { return static_cast<BYTE*>(memory_.get()); }
  [[nodiscard]] std::size_t size() const noexcept { return size_; }
  explicit operator bool() const noexcept { return memory_.valid(); }

 private:
  UniqueAny<handle_detail::NullIsEmpty<void*, handle_detail::FreeProcessHeapBlock>> memory_;
  std::size_t size_ = 0;
};
