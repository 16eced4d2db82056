# Cross-compiles for 32-bit Windows with mingw-w64 (Debian: g++-mingw-w64-i686).
# The -posix thread variant is used: it has std::thread and std::mutex.
set(DRAVOLO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
