# Packages: a Debian package on Linux (cpack -G DEB in a release build), a ZIP
# and an NSIS installer on Windows (the install rules put Qt beside the
# programs; scripts/test-windows.sh builds the ZIP and starts both programs
# from it under Wine).
set(CPACK_PACKAGE_NAME dravolo)
set(CPACK_PACKAGE_VENDOR "The Dravolo developers")
set(CPACK_PACKAGE_CONTACT "The Dravolo developers <developers@dravolo.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "per-game profiles for PlayStation emulators")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://dravolo.org/")
set(CPACK_STRIP_FILES ON)

# Debian
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)  # where Debian keeps emulators
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Windows emulators and plugins run under Wine; PCSX-Reloaded is the one
# native emulator we start.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wine)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS pcsxr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack indents the lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Dravolo keeps named per-game profiles for the PlayStation emulators ePSXe,
FPSE, PSinex, AdriPSX and PCSX and starts a game with a double-click: it
writes the emulator's configuration and its plugins' settings from the
profile first. The Windows emulators run under Wine.
.
Also included: a plugin manager, a memory-card manager, a CD image reader,
the ePSXe configuration tool KestrineTool and dravolo-cli, every operation
on the command line.")
if(NOT WIN32)  # the Windows packages hold bin/ at their top
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

# Windows: one folder with the programs, the helpers and Qt.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Dravolo)
set(CPACK_NSIS_DISPLAY_NAME Dravolo)
set(CPACK_NSIS_PACKAGE_NAME Dravolo)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/dravolo.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\dravolo.exe)
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Dravolo.lnk' '$INSTDIR\\\\bin\\\\dravolo.exe'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\\\$START_MENU\\\\Dravolo.lnk'")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
else()
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)
