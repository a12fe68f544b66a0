#pragma once
// Keeps a thread's windows alive while it does a long job of its own.

namespace runtime {

// Dispatches every message waiting for the calling thread; a WM_QUIT stays
// queued and ends the processing.
void ProcessPendingMessages() noexcept;

}  // namespace runtime
