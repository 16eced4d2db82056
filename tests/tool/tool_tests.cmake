# KestrineTool's Qt-free tests (included from tests/CMakeLists.txt). They run
# the program with a pipe it writes its report into and load test plugins
# built for the platform (native ones on POSIX, DLLs on Windows).
# Plugins for the plugin page: pads with and without a second port, a
# network plugin; the shared test plugins cover video, sound and a pad
# without PADquery.
function(kestrinetool_test_plugin target output)
  add_library(${target} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/tool/tool_test_plugin.cpp)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output} PREFIX "" SUFFIX ".dll"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/tool/plugins
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
  target_compile_definitions(${target} PRIVATE TOOL_PLUGIN_VERSION=0x0102 ${ARGN})
  dravolo_warnings(${target})
endfunction()
kestrinetool_test_plugin(tool_plugin_pad_both padBoth
  TOOL_PLUGIN_NAME="Pad Both" TOOL_PLUGIN_TYPE=8 TOOL_PLUGIN_PADQUERY=3 TOOL_PLUGIN_TEST=0)
kestrinetool_test_plugin(tool_plugin_pad_one padOne
  TOOL_PLUGIN_NAME="Pad One" TOOL_PLUGIN_TYPE=8 TOOL_PLUGIN_PADQUERY=1 TOOL_PLUGIN_TEST=3)
kestrinetool_test_plugin(tool_plugin_net netTest
  TOOL_PLUGIN_NAME="Net Test" TOOL_PLUGIN_TYPE=16 TOOL_PLUGIN_TEST=-2)
set(KESTRINETOOL_TEST_PLUGINS tool_plugin_pad_both tool_plugin_pad_one tool_plugin_net
    test_plugin_gpu test_plugin_spu test_plugin_pad)

dravolo_test_suite(tool_tests tool kestrinetool_core)
if(TARGET tool_tests)
  target_sources(tool_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tool/tool_workspace.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/tool/tool_process.cpp)
  target_compile_definitions(tool_tests PRIVATE
    TOOL_TEST_PLUGIN_DIR="${CMAKE_CURRENT_BINARY_DIR}/tool/plugins"
    TEST_PLUGIN_DIR="$<TARGET_FILE_DIR:test_plugin_gpu>")
  add_dependencies(tool_tests ${KESTRINETOOL_TEST_PLUGINS})
  if(TARGET kestrinetool)
    # The report is read from the real program through a pipe.
    target_compile_definitions(tool_tests PRIVATE KESTRINETOOL_PATH="$<TARGET_FILE:kestrinetool>")
    add_dependencies(tool_tests kestrinetool)
  endif()
endif()
