# Shared part of the mingw-w64 toolchains; DRAVOLO_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
if(DRAVOLO_MINGW_TRIPLE MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

# Prefer the -posix compilers (std::thread, std::mutex); fall back to the
# plain names, which are the -posix or -win32 alternative chosen on the system.
foreach(lang C CXX)
  if(lang STREQUAL "C")
    set(tool gcc)
  else()
    set(tool g++)
  endif()
  find_program(DRAVOLO_MINGW_${lang} NAMES ${DRAVOLO_MINGW_TRIPLE}-${tool}-posix ${DRAVOLO_MINGW_TRIPLE}-${tool}
               REQUIRED)
  set(CMAKE_${lang}_COMPILER ${DRAVOLO_MINGW_${lang}})
endforeach()
set(CMAKE_RC_COMPILER ${DRAVOLO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DRAVOLO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC run-time (libgcc, libstdc++, winpthread) is linked in, so the
# programs and DLLs run on a bare Windows (or Wine) without mingw's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Windows programs built here run on Linux through wine64 (tests, try_run).
# 32-bit programs cannot run on every kernel: only the 64-bit build has one.
if(DRAVOLO_MINGW_TRIPLE MATCHES "^x86_64" AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(DRAVOLO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
  find_program(DRAVOLO_WINE64 NAMES wine64)
  if(DRAVOLO_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${DRAVOLO_WINE64})
  endif()
endif()
