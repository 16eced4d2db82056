# Install layout (GNU install directories):
#   bin/dravolo, bin/dravolo-cli
#   libexec/dravolo/  kestrinetool with KestrineSTUFF.DLL (the tool loads the
#                     library from its own folder) and the Windows helpers
#                     pluginhost.exe, pluginhost64.exe, winhelper.exe and the
#                     native plugin host dravolo-pluginhost, which
#                     the programs in bin/ look for there
#   bin/kestrinetool  a link to the tool in its private folder
#   share/applications, share/icons/hicolor, share/metainfo, share/man/man1,
#   share/bash-completion/completions, share/doc/dravolo
# On Windows everything goes into bin/, the layout windeployqt completes.
include(GNUInstallDirs)

if(WIN32)
  set(dravolo_private_dir ${CMAKE_INSTALL_BINDIR})
else()
  set(dravolo_private_dir ${CMAKE_INSTALL_LIBEXECDIR}/dravolo)
endif()

foreach(program dravolo dravolo-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET kestrinetool)
  install(TARGETS kestrinetool RUNTIME DESTINATION ${dravolo_private_dir})
  if(TARGET kestrinestuff)
    install(FILES $<TARGET_FILE:kestrinestuff> DESTINATION ${dravolo_private_dir} RENAME KestrineSTUFF.DLL)
    # Installed as a file under the name the tool asks for, so stripped here
    # when the targets are (cpack, cmake --install --strip).
    if(CMAKE_STRIP AND NOT WIN32)
      install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
          execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${dravolo_private_dir}/KestrineSTUFF.DLL\")
        endif()")
    endif()
  endif()
  if(NOT WIN32)
    file(RELATIVE_PATH tool_link_target ${CMAKE_INSTALL_FULL_BINDIR}
         ${CMAKE_INSTALL_FULL_LIBEXECDIR}/dravolo/kestrinetool)
    install(CODE "
      set(bindir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(MAKE_DIRECTORY \"\${bindir}\")
      file(CREATE_LINK \"${tool_link_target}\" \"\${bindir}/kestrinetool\" SYMBOLIC)
      message(STATUS \"Installing: \${bindir}/kestrinetool -> ${tool_link_target}\")")
  endif()
endif()
if(TARGET dravolo-pluginhost)  # the host for native (.so) plugins
  install(TARGETS dravolo-pluginhost RUNTIME DESTINATION ${dravolo_private_dir})
endif()
foreach(helper DRAVOLO_PLUGINHOST_EXE DRAVOLO_PLUGINHOST64_EXE DRAVOLO_WINHELPER_EXE)
  if(${helper})
    install(PROGRAMS ${${helper}} DESTINATION ${dravolo_private_dir})
  endif()
endforeach()

if(NOT WIN32)
  set(pkg ${PROJECT_SOURCE_DIR}/packaging)
  install(FILES ${pkg}/linux/org.dravolo.Dravolo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${pkg}/linux/org.dravolo.Dravolo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${pkg}/icons/hicolor/dravolo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME dravolo.png)
  endforeach()
  install(FILES ${pkg}/icons/dravolo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${pkg}/linux/dravolo-cli.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME dravolo-cli)
  # Manual pages go compressed, as Debian wants them; -n keeps the output
  # the same from build to build.
  find_program(DRAVOLO_GZIP gzip)
  if(DRAVOLO_GZIP)
    set(man_gz ${PROJECT_BINARY_DIR}/dravolo-cli.1.gz)
    add_custom_command(OUTPUT ${man_gz}
      COMMAND ${DRAVOLO_GZIP} -9nc ${pkg}/linux/dravolo-cli.1 > ${man_gz}
      DEPENDS ${pkg}/linux/dravolo-cli.1 VERBATIM)
    add_custom_target(dravolo_man_page ALL DEPENDS ${man_gz})
    install(FILES ${man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${pkg}/linux/dravolo-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  install(FILES ${pkg}/linux/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dravolo)
  if(DRAVOLO_GZIP)
    set(changelog_gz ${PROJECT_BINARY_DIR}/changelog.gz)
    add_custom_command(OUTPUT ${changelog_gz}
      COMMAND ${DRAVOLO_GZIP} -9nc ${pkg}/linux/changelog > ${changelog_gz}
      DEPENDS ${pkg}/linux/changelog VERBATIM)
    add_custom_target(dravolo_changelog ALL DEPENDS ${changelog_gz})
    install(FILES ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dravolo)
  endif()
endif()

# Windows: what windeployqt would add, copied beside the programs, so an
# install (and the ZIP and NSIS packages made from it) runs from any folder:
# the Qt libraries the programs link, the platform plugin (platforms/), the
# style and image-format plugins, and the mingw-w64 run-time DLLs Qt needs.
if(WIN32 AND TARGET dravolo AND TARGET Qt6::Core)
  get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
  if(NOT qt_core_dll)
    get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
  endif()
  get_filename_component(qt_bin_dir "${qt_core_dll}" DIRECTORY)
  get_filename_component(qt_prefix "${qt_bin_dir}" DIRECTORY)
  set(qt_dlls "")
  foreach(module Core Gui Widgets)
    list(APPEND qt_dlls ${qt_bin_dir}/Qt6${module}.dll)
  endforeach()
  install(FILES ${qt_dlls} DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${qt_prefix}/plugins/platforms/qwindows.dll DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
  foreach(kind styles imageformats)
    file(GLOB plugins ${qt_prefix}/plugins/${kind}/*.dll)
    if(plugins)
      install(FILES ${plugins} DESTINATION ${CMAKE_INSTALL_BINDIR}/${kind})
    endif()
  endforeach()
  # Qt's DLLs link the compiler's run-time dynamically (our own programs link
  # it in): the copies beside Qt's DLLs, which Qt was built with, else the
  # compiler's own.
  if(MINGW)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      set(gcc_runtime libgcc_s_seh-1.dll)
    else()
      set(gcc_runtime libgcc_s_dw2-1.dll)
    endif()
    foreach(runtime libstdc++-6.dll ${gcc_runtime} libwinpthread-1.dll)
      set(runtime_path ${qt_bin_dir}/${runtime})
      if(NOT EXISTS "${runtime_path}")
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                        OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
      endif()
      if(EXISTS "${runtime_path}")
        install(FILES ${runtime_path} DESTINATION ${CMAKE_INSTALL_BINDIR})
      else()
        message(WARNING "${runtime} not found: the Windows package will lack it")
      endif()
    endforeach()
  endif()
endif()
