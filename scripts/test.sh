#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test: first the
# dev build (and scripts/lint.sh over the last commit's changes), then the same
# suites, the Qt ones included, under AddressSanitizer + UBSan, then every
# fuzz target for 15 seconds (clang's libFuzzer; a finding fails the run), then
# the Windows build's suites under Wine (scripts/test-windows.sh), last the
# Debian package built, checked, installed, run and removed
# (scripts/test-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

cmake --preset dev >/dev/null
cmake --build --preset dev -j"$jobs"
# The layout and static checks of what the last commit changed.
bash scripts/lint.sh
QT_QPA_PLATFORM=offscreen ctest --preset dev -j"$jobs"

cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
# The sanitizers' options and the suppression file come with the test preset.
ctest --preset asan -j"$jobs"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
for target in $(bash scripts/fuzz.sh --list); do
  bash scripts/fuzz.sh "$target" 15
done

bash scripts/test-windows.sh --with-mingw32

bash scripts/test-package.sh
