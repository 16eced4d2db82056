# KestrineTool's main dialog with Qt Test on the offscreen platform, and the
# screenshot program (included from tests/CMakeLists.txt).
if(NOT TARGET kestrinestuff OR NOT TARGET tool_tests)
  return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
add_library(tool_ui_workspace STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/tool_ui/tool_ui_workspace.cpp ${CMAKE_CURRENT_SOURCE_DIR}/tool/tool_workspace.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tool/tool_process.cpp)
target_include_directories(tool_ui_workspace PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tool_ui_workspace PUBLIC kestrinetool_ui dravolo_test_workspace Qt6::Widgets)
target_compile_definitions(tool_ui_workspace PUBLIC
  TOOL_TEST_PLUGIN_DIR="${CMAKE_CURRENT_BINARY_DIR}/tool/plugins"
  TEST_PLUGIN_DIR="$<TARGET_FILE_DIR:test_plugin_gpu>"
  KESTRINESTUFF_PATH="$<TARGET_FILE:kestrinestuff>")
add_dependencies(tool_ui_workspace kestrinestuff ${KESTRINETOOL_TEST_PLUGINS} test_plugin_cdr)
dravolo_warnings(tool_ui_workspace)

dravolo_qt_test_suite(tool_ui_tests SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tool_ui/tool_ui_test.cpp
                      LIBS tool_ui_workspace TIMEOUT 180)
# Two edits at once are tried with the real program beside the test.
target_compile_definitions(tool_ui_tests PRIVATE KESTRINETOOL_PATH="$<TARGET_FILE:kestrinetool>")
add_dependencies(tool_ui_tests kestrinetool)

# Pictures of the dialog for the docs (run under Xvfb):
#   xvfb-run -a tool_ui_screenshots docs/screenshots
add_executable(tool_ui_screenshots ${CMAKE_CURRENT_SOURCE_DIR}/tool_ui/screenshots.cpp)
target_link_libraries(tool_ui_screenshots PRIVATE tool_ui_workspace dravolo_test_support)
dravolo_warnings(tool_ui_screenshots)

# The card and cheat tabs and the cheat dialog.
dravolo_qt_test_suite(tool_pages_tests SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tool_ui/tool_pages_test.cpp
                      LIBS tool_ui_workspace dravolo_test_support TIMEOUT 180)
