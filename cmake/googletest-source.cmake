# GoogleTest for the Windows build, compiled from source with the cross
# compiler (Debian's googletest package ships the sources; libgtest-dev's
# libraries are for the host only). Provides GTest::gtest and GTest::gtest_main.
set(XPEKKO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest source tree (CMakeLists.txt at its top)")
if(NOT TARGET GTest::gtest_main)
  if(NOT EXISTS ${XPEKKO_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${XPEKKO_GTEST_SOURCE_DIR}: install googletest (scripts/deps.sh does)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${XPEKKO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
