#!/usr/bin/env bash
# Builds the Debian package from a release build (the programs and what they
# install, no tests or benchmarks), checks it with desktop-file-validate,
# appstreamcli and lintian, installs it, runs the installed dravolo-cli and
# dravolo (under Xvfb, with a fresh home folder: one window titled
# "Dravolo"), and removes it again. Needs root for dpkg.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake --preset release -DDRAVOLO_BUILD_TESTS=OFF -DDRAVOLO_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release -j"$jobs"
rm -f build/release/dravolo_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/dravolo_*.deb)
echo "Package: $deb"
dpkg-deb --info "$deb" | sed -n '/Depends\|Recommends\|Suggests/p'

desktop-file-validate packaging/linux/org.dravolo.Dravolo.desktop
appstreamcli validate --no-net packaging/linux/org.dravolo.Dravolo.metainfo.xml
# lintian: errors fail the build, warnings are shown.
lintian --fail-on error --no-tag-display-limit "$deb"

run_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
run_root dpkg -i "$deb"
trap 'run_root dpkg -r dravolo >/dev/null || true' EXIT
dpkg -L dravolo | sort

# Only the installed programs: no build folder on PATH, a fresh home.
home=$(mktemp -d)
trap 'run_root dpkg -r dravolo >/dev/null || true; rm -rf "$home"' EXIT
env -i PATH=/usr/bin:/bin HOME="$home" /usr/bin/dravolo-cli --help >/dev/null
env -i PATH=/usr/bin:/bin HOME="$home" /usr/bin/dravolo-cli --version
[ -L /usr/bin/kestrinetool ] && [ -x /usr/libexec/dravolo/kestrinetool ]

# The front end from the menu's point of view: started in the home folder.
display=:97
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; run_root dpkg -r dravolo >/dev/null || true; rm -rf "$home"' EXIT
# Xvfb takes a moment to listen, longer on a busy machine: a program started
# before its socket exists aborts with "could not connect to display".
for _ in $(seq 1 100); do [ -S "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
(cd "$home" && exec env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$display" \
  /usr/bin/dravolo >"$home/dravolo.log" 2>&1) &
front=$!
windows=""
for _ in $(seq 1 100); do
  windows=$(DISPLAY="$display" xdotool search --onlyvisible --name '^Dravolo$' 2>/dev/null || true)
  [ -n "$windows" ] && break
  sleep 0.2
done
count=$(printf '%s\n' "$windows" | grep -c . || true)
kill "$front" 2>/dev/null || true
wait "$front" 2>/dev/null || true
if [ "$count" -ne 1 ]; then
  echo "expected one window titled Dravolo, found $count" >&2
  cat "$home/dravolo.log" >&2
  exit 1
fi
# Its profiles went to the data folder, not the home folder.
[ -d "$home/.local/share/dravolo/Epsxe" ] && [ ! -e "$home/Epsxe" ]
echo "Installed dravolo ran: one window titled Dravolo"

trap 'rm -rf "$home"' EXIT
run_root dpkg -r dravolo
! dpkg-query -W -f='${Status}' dravolo 2>/dev/null | grep -q "install ok installed"
[ ! -e /usr/bin/dravolo ] && [ ! -e /usr/libexec/dravolo ]
echo "Package removed"
