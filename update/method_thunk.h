#pragma once
// Binds one member function of an object to a plain routine of one argument,
// the form CreateThread wants: the routine receives the object itself as its
// argument and calls the member on it. No code is generated at run time.

#include <windows.h>

template <typename Object, DWORD (Object::*Method)() noexcept>
DWORD WINAPI MethodThunk(void* object) noexcept {
  return (static_cast<Object*>(object)->*Method)();
}
