#!/usr/bin/env bash
# Rebuilds qt6-mingw64.tar.xz, the Qt 6 that scripts/test-windows.sh builds
# the Windows programs with: Debian 12's qt6-base source (6.4.2, the host Qt
# whose moc, rcc and uic it uses) cross-built for 64-bit Windows with
# mingw-w64 (posix threads), shared, Release; QtCore, QtGui, QtWidgets,
# QtTest and the windows, offscreen and minimal platform plugins. About a
# quarter of an hour on 2 cores; not part of the test run.
#   build-qt-mingw.sh [OUTPUT_ARCHIVE]   (default: build/qt6-mingw64.tar.xz)
# Then: DRAVOLO_QT_MINGW_ARCHIVE=OUTPUT_ARCHIVE bash scripts/test-windows.sh
# Needs a deb-src entry for bookworm main (apt-get source), the mingw-w64
# compilers, Ninja and qt6-base-dev (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
out=$(realpath -m "${1:-build/qt6-mingw64.tar.xz}")
work=$repo/build/qt-mingw-src
prefix=$work/qt6-mingw64
triple=x86_64-w64-mingw32
jobs=$(nproc)

rm -rf "$work"
mkdir -p "$work"
cd "$work"
apt-get source --download-only qt6-base
dpkg-source -x qt6-base_*.dsc source >/dev/null
src=$work/source

# With OpenGL and Direct2D off, two code paths of the Windows platform plugin
# still ask for them; these guards are all it takes.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  "$src/src/plugins/platforms/windows/qwindowswindow.cpp"
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
  "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"
grep -q 'dynamicgl) && QT_CONFIG(opengl)' "$src/src/plugins/platforms/windows/qwindowswindow.cpp"
grep -q 'directwrite3) && QT_CONFIG(direct2d)' "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"

mkdir -p "$prefix"
cat >"$prefix/toolchain-mingw64.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER   $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER  $triple-windres)
set(CMAKE_AR           /usr/bin/$triple-ar CACHE FILEPATH "ar")
set(CMAKE_RANLIB       /usr/bin/$triple-ranlib CACHE FILEPATH "ranlib")
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
EOF

features=()
for off in sql network opengl dbus printsupport concurrent xml vulkan direct2d tabletevent jpeg icu glib \
           openssl fontconfig system_zlib system_png system_harfbuzz system_freetype system_pcre2 \
           system_doubleconversion system_jpeg; do
  features+=("-DFEATURE_$off=OFF")
done
cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  "${features[@]}"
cmake --build "$work/build" -j"$jobs"
cmake --install "$work/build"

# Stripped in place and nothing rewritten afterwards: bytes edited into a
# linked DLL move everything behind them (see repair-qt-mingw-dlls.py).
find "$prefix" -name '*.dll' -exec "$triple-strip" --strip-unneeded {} +
for runtime in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  cp "$("$triple-g++-posix" -print-file-name="$runtime")" "$prefix/bin/"
done
python3 "$repo/scripts/repair-qt-mingw-dlls.py" "$prefix"/bin/*.dll "$prefix"/plugins/*/*.dll

mkdir -p "$(dirname "$out")"
tar -C "$work" -cJf "$out" qt6-mingw64
echo "Qt for mingw-w64 in $out"
