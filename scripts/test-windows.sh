#!/usr/bin/env bash
# The Windows build: the Qt-free libraries, dravolo-cli, the test doubles and
# the test suites cross-built with mingw-w64 (preset mingw64), then run under
# wine64 in a throwaway Wine prefix, under Xvfb for the window tests. With
# --with-mingw32 the 32-bit build (preset mingw32) compiles the libraries, the
# program, the test doubles and KestrineStuff's export table and checks that
# table; this kernel cannot run 32-bit programs.
# Called by scripts/test.sh after the native suites; needs scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

SECONDS=0
cmake --preset mingw64 >/dev/null
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

# One display for the prefix's whole life: wineboot starts the desktop the
# test programs' windows live on. The suites share the prefix's registry, so
# they run one after another.
SECONDS=0
xvfb-run -a bash -c '
  set -e
  "$1" wineboot --init >/dev/null 2>&1
  "$2" -w
  status=0
  # Now and then a Wine start ends at once with no output at all (once in
  # several runs, a suite at 0.00 s that passes on every rerun); a second try
  # tells that from a failing test, whose failures are still shown.
  ctest --preset mingw64 -j1 --repeat until-pass:2 || status=$?
  "$2" -k >/dev/null 2>&1 || true
  exit $status
' wine-tests "$wine64" "$wineserver"
echo "mingw64 tests under wine64: ${SECONDS} s"
