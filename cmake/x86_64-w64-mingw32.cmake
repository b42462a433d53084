# Cross toolchain: 64-bit Windows with the posix-threads flavour of mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_prefix x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER   ${_prefix}-gcc-posix)
find_program(CMAKE_CXX_COMPILER ${_prefix}-g++-posix)
find_program(CMAKE_RC_COMPILER  ${_prefix}-windres)
foreach(_tool CMAKE_C_COMPILER CMAKE_CXX_COMPILER CMAKE_RC_COMPILER)
  if(NOT ${_tool})
    message(FATAL_ERROR "${_tool} not found: install g++-mingw-w64-x86-64-posix (scripts/deps.sh does)")
  endif()
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Floating point in SSE2 registers, in single precision where the source says
# float. On x87 GCC keeps intermediates in 80-bit registers (and for C++ it
# cannot be told to round them to the source type), so a comparison such as
# `top + 128 * tppY >= screenHeight` could come out differently from the
# same expression computed in float on the host. Set here rather than in
# CMAKE_CXX_FLAGS_INIT so that every target of the build (program, probe,
# tests) gets it, in build trees configured before this line too; C and C++
# only, the resource compiler takes no such flags.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-msse2;-mfpmath=sse>")
