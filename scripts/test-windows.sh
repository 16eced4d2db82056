#!/usr/bin/env bash
# The Windows build: the Qt-free libraries, dravolo-cli, the test doubles and
# the test suites cross-built with mingw-w64 (preset mingw64), then run under
# wine64 in a throwaway Wine prefix, under Xvfb for the window tests. With
# --with-mingw32 the 32-bit build (preset mingw32) compiles the libraries, the
# program, the test doubles and KestrineStuff's export table and checks that
# table; this kernel cannot run 32-bit programs.
# Called by scripts/test.sh after the native suites; needs scripts/install-deps.sh.
#
# Pictures of the Windows build under Wine (docs/screenshots/windows):
#   DRAVOLO_WINDOWS_SHOTS=docs/screenshots/windows bash scripts/test-windows.sh
# After the suites the screenshot checks run once more, with Qt's FreeType
# font engine (Wine's GDI one leaves the text of line edits out of a widget's
# picture), and their pictures are copied there; the two windows of the
# unpacked package are pictured there too (dravolo.png, kestrinetool.png).
# DRAVOLO_WINDOWS_PACKAGE_SHOTS=DIR takes only the package's two pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# Qt 6 for mingw-w64 (see scripts/build-qt-mingw.sh): DRAVOLO_QT_MINGW_ARCHIVE,
# else ../shared beside the checkout, else /work/shared. With it the mingw64
# build has the windowed programs and their suites; without it, the Qt-free
# parts only.
qt_archive=${DRAVOLO_QT_MINGW_ARCHIVE:-}
if [ -z "$qt_archive" ]; then
  for candidate in ../shared/qt6-mingw64.tar.xz /work/shared/qt6-mingw64.tar.xz; do
    if [ -f "$candidate" ]; then qt_archive=$candidate; break; fi
  done
fi
qt_dir=$PWD/build/qt6-mingw64
configure_args=(-G Ninja)
if [ -n "$qt_archive" ] && [ -f "$qt_archive" ]; then
  # Unpacked once per archive: the stamp remembers which one.
  stamp=$(stat -c '%s %Y' "$qt_archive")
  if [ "$(cat "$qt_dir/.unpacked-from" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$qt_dir"
    mkdir -p build
    tar -xJf "$qt_archive" -C build/
    # Two of that archive's DLLs need mending before anything can load them.
    python3 scripts/repair-qt-mingw-dlls.py "$qt_dir"/bin/*.dll "$qt_dir"/plugins/*/*.dll
    echo "$stamp" >"$qt_dir/.unpacked-from"
  fi
  configure_args+=(-DCMAKE_TOOLCHAIN_FILE="$qt_dir/lib/cmake/Qt6/qt.toolchain.cmake"
                   -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-x86_64.cmake"
                   -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
                   -DDRAVOLO_BUILD_GUI=ON)
  toolchain=$qt_dir/lib/cmake/Qt6/qt.toolchain.cmake
  with_qt=1
else
  echo "NOTE: no Qt for mingw-w64 (set DRAVOLO_QT_MINGW_ARCHIVE, or put qt6-mingw64.tar.xz in ../shared):" \
       "the Windows build is made without the windowed programs and their suites"
  configure_args+=(-DDRAVOLO_BUILD_GUI=OFF)
  toolchain=$PWD/cmake/toolchains/mingw-w64-x86_64.cmake
  with_qt=0
fi
# A build folder made with another toolchain or generator starts afresh.
cache=build/mingw64/CMakeCache.txt
if [ -f "$cache" ] && { ! grep -qx "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$cache" ||
                        ! grep -qx "CMAKE_GENERATOR:INTERNAL=Ninja" "$cache"; }; then
  configure_args+=(--fresh)
fi

SECONDS=0
cmake --preset mingw64 "${configure_args[@]}" >/dev/null
cmake --build --preset mingw64 -j"$jobs"
echo "mingw64 build: ${SECONDS} s"

if [ "${1:-}" = "--with-mingw32" ]; then
  # The libraries, dravolo-cli, the test doubles and KestrineStuff's export
  # table; the test programs themselves only differ from the 64-bit ones in
  # what cannot run here.
  SECONDS=0
  cmake --preset mingw32 >/dev/null
  cmake --build --preset mingw32 -j"$jobs" --target dravolo-cli kestrinestuff_exports_probe fake_emulator \
    test_plugin_gpu test_plugin_gpu_noconfig platform_test_library
  (cd build/mingw32 && ctest -R kestrinestuff_exports --output-on-failure)
  echo "mingw32 build: ${SECONDS} s"
fi

# A fresh prefix: the tests may change its drive C: and registry, and say so
# to the fixtures through DRAVOLO_TEST_SCRATCH_WINDOWS.
prefix=$(mktemp -d "${TMPDIR:-/tmp}/dravolo-wine.XXXXXX")
cleanup() {
  WINEPREFIX="$prefix" "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all DRAVOLO_TEST_SCRATCH_WINDOWS=1
# The suites find Qt's DLLs (and through them its plugins) in the unpacked Qt.
if [ "$with_qt" = 1 ]; then
  export WINEPATH="Z:${qt_dir//\//\\}\\bin"
fi

# One display for the prefix's whole life: wineboot starts the desktop the
# test programs' windows live on, as large as the screen the sheets are made
# for (xvfb-run's own is 8 bits deep). The suites share the prefix's registry,
# so they run one after another.
SECONDS=0
xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  set -e
  "$1" wineboot --init >/dev/null 2>&1
  "$2" -w
  status=0
  # Now and then a Wine start ends at once with no output at all (once in
  # several runs, a suite at 0.00 s that passes on every rerun); a second try
  # tells that from a failing test, whose failures are still shown.
  # QtTest writes to the debug log unless told otherwise, and Wine passes no
  # QT_ variables from Linux: the prefix holds them.
  "$1" reg add "HKCU\\Environment" /v QT_FORCE_STDERR_LOGGING /t REG_SZ /d 1 /f >/dev/null 2>&1
  # Xvfb has no window manager, and Wine waits two seconds for one on every
  # window it hides (every message box, every dialog closed): windows it
  # does not hand to a manager close at once.
  "$1" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  ctest --preset mingw64 -j1 --repeat until-pass:2 || status=$?
  if [ -n "$3" ]; then
    # The test programs do not choose the engine as dravolo.exe and
    # kestrinetool.exe do under Wine: the environment of the prefix gives it them.
    "$1" reg add "HKCU\\Environment" /v QT_QPA_PLATFORM /t REG_SZ /d windows:fontengine=freetype /f >/dev/null 2>&1
    ctest --preset mingw64 -j1 --repeat until-pass:2 -R "screenshots?_run" || status=$?
    mkdir -p "$3"
    cp build/mingw64/tests/*screenshot*_run/*.png "$3"/ || status=1
  fi
  "$2" -k >/dev/null 2>&1 || true
  exit $status
' wine-tests "$wine64" "$wineserver" "${DRAVOLO_WINDOWS_SHOTS:-}"
echo "mingw64 tests under wine64: ${SECONDS} s"

# The Windows package: the ZIP unpacked into C:\Program Files\Dravolo, and
# both programs started from there; each must show its window.
if [ "$with_qt" = 1 ]; then
  SECONDS=0
  rm -f build/mingw64/dravolo-*.zip
  (cd build/mingw64 && cpack -G ZIP >/dev/null)
  zip=$(ls build/mingw64/dravolo-*.zip)
  unpacked=$(mktemp -d "${TMPDIR:-/tmp}/dravolo-zip.XXXXXX")
  (cd "$unpacked" && cmake -E tar xf "$OLDPWD/$zip")
  dest="$prefix/drive_c/Program Files/Dravolo"
  mkdir -p "$dest"
  cp -r "$unpacked"/*/. "$dest"/
  rm -rf "$unpacked"
  unset WINEPATH  # the package must not need the unpacked Qt
  package_shots=${DRAVOLO_WINDOWS_PACKAGE_SHOTS:-${DRAVOLO_WINDOWS_SHOTS:-}}
  if [ -n "$package_shots" ]; then
    # Pictured without the caption Wine draws for a window no manager
    # takes: its buttons need a font of Wine's own this machine may lack.
    "$wine64" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1
    "$wineserver" -w
  fi
  xvfb-run -a -s "-screen 0 1366x768x24" bash scripts/windows-package-check.sh "$wine64" "$wineserver" \
    "$package_shots"
  echo "Windows package ($(basename "$zip")) started from C:\\Program Files\\Dravolo: ${SECONDS} s"
fi
