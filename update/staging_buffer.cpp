#include "update/staging_buffer.h"

bool StagingBuffer::Create() noexcept {
  heap_.reset(::HeapCreate(0, kInitialCapacity, 0));
  if (!heap_) return false;
  block_ = static_cast<BYTE*>(::HeapAlloc(heap_.get(), HEAP_ZERO_MEMORY, kInitialCapacity));
  capacity_ = block_ ? kInitialCapacity : 0;
  pending_ = 0;
  return block_ != nullptr;
}

BYTE* StagingBuffer::Reserve(HANDLE file, DWORD size) noexcept {
  if (!block_) return nullptr;
  if (size > capacity_ - pending_) {
    if (!Flush(file)) return nullptr;
    if (size > capacity_) {
      void* grown = ::HeapReAlloc(heap_.get(), 0, block_, size);
      if (!grown) return nullptr;
      block_ = static_cast<BYTE*>(grown);
      capacity_ = size;
    }
  }
  return block_ + pending_;
}

bool StagingBuffer::Flush(HANDLE file) noexcept {
  DWORD done = 0;
  while (done < pending_) {
    DWORD written = 0;
    if (!::WriteFile(file, block_ + done, pending_ - done, &written, nullptr) || written == 0) return false;
    done += written;
  }
  pending_ = 0;
  return true;
}
