#!/usr/bin/env bash
# Installs what building and testing need on Debian 12; does nothing when all
# of it is present. Runs apt-get as root (directly, or through sudo).
set -euo pipefail

packages=(cmake g++ make ninja-build pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev googletest
          libbenchmark-dev xvfb xauth
          # the fuzz preset: clang with libFuzzer and the sanitizers' runtimes
          clang libclang-rt-14-dev
          # scripts/lint.sh: the formatter and the static checks
          clang-format clang-tidy
          # Windows: mingw-w64 cross compilers (64-bit built and run, 32-bit built) and Wine
          # (wine brings the "wine" command, the default runner for Windows programs)
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 wine
          # CD tools that read our extracted images and cue sheets in the tests
          cdrdao libcdio-utils bchunk
          # A real PlayStation emulator with real plugins (PCSX-Reloaded), and
          # xdotool to find and close their windows on the tests' X server
          pcsxr xdotool
          # The Debian package: its library dependencies and its checks
          dpkg-dev file desktop-file-utils appstream lintian)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

run_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
run_root apt-get update -qq
run_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
