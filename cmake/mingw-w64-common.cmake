# What both Windows toolchains share: the posix-threads flavour of mingw-w64,
# found by prefix, and the floating-point flags.

# ${_prefix} (the tools' prefix) and ${_package} (the Debian package that has them)
# are set by the toolchain file that includes this one.
find_program(CMAKE_C_COMPILER   ${_prefix}-gcc-posix)
find_program(CMAKE_CXX_COMPILER ${_prefix}-g++-posix)
find_program(CMAKE_RC_COMPILER  ${_prefix}-windres)
foreach(_tool CMAKE_C_COMPILER CMAKE_CXX_COMPILER CMAKE_RC_COMPILER)
  if(NOT ${_tool})
    message(FATAL_ERROR "${_tool} not found: install ${_package} (scripts/deps.sh does)")
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
