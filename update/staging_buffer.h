#pragma once
// Gathers the chunks of a download in one block of a private heap and hands
// them to the target file in writes of up to the block's size. The block
// starts at 10240 bytes; a chunk larger than the block grows it to the
// chunk's size, and it never shrinks.

#include <windows.h>

#include "common/handles.h"

class StagingBuffer {
 public:
  static constexpr DWORD kInitialCapacity = 10240;

  // The heap and the first block; false when there is no memory.
  [[nodiscard]] bool Create() noexcept;

  // Room for the next chunk of `size` bytes, behind the pending ones. When
  // both would not fit, the pending bytes are written to `file` first; when
  // the chunk alone is larger than the block, the block grows. Null when that
  // write or the growth failed.
  [[nodiscard]] BYTE* Reserve(HANDLE file, DWORD size) noexcept;
  // `size` bytes were placed where the last Reserve pointed.
  void Commit(DWORD size) noexcept { pending_ += size; }
  // Writes the pending bytes to `file`; false when the write failed.
  [[nodiscard]] bool Flush(HANDLE file) noexcept;

  [[nodiscard]] DWORD capacity() const noexcept { return capacity_; }
  [[nodiscard]] DWORD pending() const noexcept { return pending_; }

 private:
  static void DestroyHeap(HANDLE heap) noexcept { ::HeapDestroy(heap); }
  // The block lives and dies with the heap.
  UniqueAny<handle_detail::NullIsEmpty<HANDLE, &StagingBuffer::DestroyHeap>> heap_;
  BYTE* block_ = nullptr;
  DWORD capacity_ = 0;
  DWORD pending_ = 0;
};
