# GoogleTest for cross builds (mingw-w64): the host's installed libraries are
# Linux ones, so GoogleTest is built from source with the cross compiler.
# Debian's `googletest` package puts the sources in /usr/src/googletest.
set(DRAVOLO_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${DRAVOLO_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${DRAVOLO_GOOGLETEST_SOURCE_DIR} "
                      "(install Debian's googletest package or set DRAVOLO_GOOGLETEST_SOURCE_DIR)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# The test programs link the C and C++ run-time statically; GoogleTest follows.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${DRAVOLO_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()
