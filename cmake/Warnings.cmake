# Our own code builds warning-free; third-party code is never given these flags.
function(dravolo_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      # GCC 12's optimiser reports std::string internals (PR 105329, 105651)
      # as restrict and maybe-uninitialized faults in optimised builds; they
      # stay visible as warnings but do not fail the build.
      target_compile_options(${target} PRIVATE -Wno-error=restrict -Wno-error=maybe-uninitialized)
    endif()
  endif()
endfunction()

# A library of ours: sources, public include root at the repository top.
function(dravolo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  dravolo_warnings(${name})
endfunction()
