#pragma once
// Owner of a WinHTTP session, connection or request handle.

#include <windows.h>
#include <winhttp.h>

#include "common/handles.h"

namespace handle_detail {
inline void CloseInternetHandle(HINTERNET h) noexcept { ::WinHttpCloseHandle(h); }
}  // namespace handle_detail

using UniqueInternet = UniqueAny<handle_detail::NullIsEmpty<HINTERNET, handle_detail::CloseInternetHandle>>;
