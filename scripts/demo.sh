#!/usr/bin/env bash
# Builds the programs and starts the front end on a ready demo workspace: a
# private prefix with the emulators' folders and a working directory holding
# profiles for each emulator. Set DRAVOLO_DEMO_DIR to keep it elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target dravolo-cli

demo=${DRAVOLO_DEMO_DIR:-$PWD/build/demo}
cli=$PWD/build/dev/cli/dravolo-cli
export DRAVOLO_PREFIX=$demo/prefix
if [ ! -d "$demo/work" ]; then
  mkdir -p "$demo/work"
  (cd "$demo/work" && mkdir -p Epsxe Fpse Psinex Adripsx Pcsx)
  mkdir -p "$demo/prefix/drive_c/"{epsxe,fpse,psinex,adripsx,pcsx}/memcards
  cd "$demo/work"
  "$cli" profiles new Epsxe "Crash Bandicoot" --description "NTSC-U, CD speed fix"
  "$cli" profiles set Epsxe "Crash Bandicoot" Country=NTSC VideoPlugin=gpuPeopsSoft.dll
  "$cli" profiles new Epsxe "Final Fantasy VII" --description "Disc 1"
  "$cli" profiles new Fpse "Tekken 3" --description "Arcade stick"
  "$cli" profiles new Psinex "Ridge Racer"
  "$cli" profiles new Adripsx "Wipeout"
  "$cli" profiles new Pcsx "Metal Gear Solid" --description "PAL, fixes on"
  "$cli" profiles set Pcsx "Metal Gear Solid" Country=PAL CdTiming=1
  cd - >/dev/null
fi

cd "$demo/work"
if [ -x "$OLDPWD/build/dev/frontend/dravolo" ]; then
  exec "$OLDPWD/build/dev/frontend/dravolo"
fi
# Until the windowed front end is built, show the workspace through the CLI.
for kind in Epsxe Fpse Psinex Adripsx Pcsx; do
  echo "== $kind"
  "$cli" profiles list "$kind"
done
echo
echo "Demo workspace: $demo/work (prefix $DRAVOLO_PREFIX)"
echo "Try: cd $demo/work && DRAVOLO_PREFIX=$DRAVOLO_PREFIX $cli profiles show Epsxe 'Crash Bandicoot'"
