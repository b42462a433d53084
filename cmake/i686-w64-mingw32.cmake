# Cross toolchain: 32-bit Windows with the posix-threads flavour of mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_prefix i686-w64-mingw32)
set(_package g++-mingw-w64-i686-posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
