# Cross-build for 64-bit Windows. Used to run the tests under a 64-bit Wine on
# hosts whose kernel cannot execute 32-bit code (there the 32-bit Wine loader
# cannot start); the shipped program is always the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
