#!/usr/bin/env bash
# Builds the programs and starts the front end on a ready demo workspace: a
# private prefix with the emulators' folders and a working directory holding
# profiles for each emulator. Set DRAVOLO_DEMO_DIR to keep it elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target dravolo-cli
# The windowed front end and the stand-in emulator exist when Qt is found.
# (The target list is read whole first: grep -q ending the pipe early would
# fail it under pipefail.)
targets=$(cmake --build --preset dev --target help 2>/dev/null || true)
if grep -q '^\.\.\. dravolo$' <<<"$targets"; then
  cmake --build --preset dev -j"$(nproc)" --target dravolo demo_emulator
fi

demo=${DRAVOLO_DEMO_DIR:-$PWD/build/demo}
cli=$PWD/build/dev/cli/dravolo-cli
export DRAVOLO_PREFIX=$demo/prefix

# make_bmp FILE R G B R2 G2 B2: a 32 x 32 24-bit picture, a disc of the second
# colour on the first.
make_bmp() {
  local file=$1 r=$2 g=$3 b=$4 r2=$5 g2=$6 b2=$7 x y dx dy pixels=''
  local fg bg
  printf -v bg '\\x%02x\\x%02x\\x%02x' "$b" "$g" "$r"
  printf -v fg '\\x%02x\\x%02x\\x%02x' "$b2" "$g2" "$r2"
  for ((y = 0; y < 32; y++)); do
    for ((x = 0; x < 32; x++)); do
      dx=$((x - 16)) dy=$((y - 16))
      if ((dx * dx + dy * dy < 150 && dx * dx + dy * dy > 12)); then pixels+=$fg; else pixels+=$bg; fi
    done
  done
  { printf 'BM\x36\x0c\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
    printf '\x28\x00\x00\x00\x20\x00\x00\x00\x20\x00\x00\x00\x01\x00\x18\x00'
    printf '\x00\x00\x00\x00\x00\x0c\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00'
    printf "$pixels"; } >"$file"
}

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
  # More profiles, some with a picture (32 x 32, 24-bit) and a description.
  mkdir -p pictures
  make_bmp pictures/crash.bmp 240 120 20 250 220 60
  make_bmp pictures/ff7.bmp 30 60 140 120 200 255
  make_bmp pictures/tekken.bmp 150 20 20 250 250 250
  make_bmp pictures/gt.bmp 20 120 60 230 230 230
  make_bmp pictures/mgs.bmp 60 70 60 200 200 120
  "$cli" profiles set Epsxe "Crash Bandicoot" "BitmapFile=.\\pictures\\crash.bmp"
  "$cli" profiles set Epsxe "Final Fantasy VII" "BitmapFile=.\\pictures\\ff7.bmp"
  "$cli" profiles new Epsxe "Gran Turismo" --description "Analog pad" --bitmap ".\\pictures\\gt.bmp"
  "$cli" profiles new Epsxe "Spyro the Dragon"
  "$cli" profiles new Epsxe "Vagrant Story" --description "Widescreen hack off"
  "$cli" profiles set Fpse "Tekken 3" "BitmapFile=.\\pictures\\tekken.bmp"
  "$cli" profiles new Fpse "Castlevania SOTN" --description "Memory card 1"
  "$cli" profiles new Psinex "Silent Hill" --description "Dark gamma"
  "$cli" profiles new Adripsx "Parasite Eve"
  "$cli" profiles new Pcsx "Tomb Raider" --description "Save anywhere"
  "$cli" profiles set Pcsx "Metal Gear Solid" "BitmapFile=.\\pictures\\mgs.bmp"
  # Every profile names its three plugins, so a double-click starts the
  # stand-in emulator instead of asking for them.
  plugin_fields() {
    case $1 in
      Epsxe) echo VideoPlugin SoundPlugin CdromPlugin ;;
      Fpse) echo GpuPlugin SpuPlugin CdrPlugin ;;
      Psinex) echo Graphics Sound CdRom ;;
      Adripsx) echo GPUplugin SPUplugin CDRplugin ;;
      Pcsx) echo Gpu Spu Cdr ;;
    esac
  }
  for kind in Epsxe Fpse Psinex Adripsx Pcsx; do
    read -r gpu spu cdr <<<"$(plugin_fields "$kind")"
    "$cli" profiles list "$kind" | cut -f1 | while IFS= read -r name; do
      "$cli" profiles set "$kind" "$name" "$gpu=gpuDemo.dll" "$spu=spuDemo.dll" "$cdr=cdrDemo.dll"
    done
  done
  cd - >/dev/null
fi

# The stand-in emulator under each emulator's program name, so a launch from
# the list opens a window showing its command line.
if [ -x build/dev/tools/demo_emulator/demo_emulator ]; then
  for target in epsxe/epsxe.exe fpse/fpse.exe "psinex/psinex pc emulator.exe" adripsx/adriile.exe pcsx/pcsx.exe; do
    mkdir -p "$demo/prefix/drive_c/$(dirname "$target")"
    cp -f build/dev/tools/demo_emulator/demo_emulator "$demo/prefix/drive_c/$target"
  done
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
