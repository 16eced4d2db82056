#!/usr/bin/env bash
# Runs one libFuzzer target of the fuzz preset for SECONDS seconds, starting
# from its seeds in tests/data/fuzz/TARGET. What the run learns goes to
# build/fuzz/corpus/TARGET (not into the tree); a finding is saved as
# build/fuzz/findings/TARGET-crash-* and makes the script fail.
#   scripts/fuzz.sh TARGET SECONDS   run one (build it first: cmake --build --preset fuzz)
#   scripts/fuzz.sh --list           the targets
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--list" ]; then
  for f in tests/fuzz/fuzz_*.cpp; do t=${f#tests/fuzz/fuzz_}; echo "${t%.cpp}"; done
  exit 0
fi
if [ $# -ne 2 ]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS | --list" >&2
  exit 2
fi
target=$1 seconds=$2
binary=build/fuzz/tests/fuzz/fuzz_$target
if [ ! -x "$binary" ]; then
  echo "fuzz.sh: $binary is not built (cmake --preset fuzz && cmake --build --preset fuzz)" >&2
  exit 2
fi
corpus=build/fuzz/corpus/$target
findings=build/fuzz/findings
mkdir -p "$corpus" "$findings" "tests/data/fuzz/$target"
log=$findings/$target.log
# -timeout: one input taking longer is a hang, a finding too.
if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
     -artifact_prefix="$findings/$target-" "$corpus" "tests/data/fuzz/$target" >"$log" 2>&1; then
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "fuzz $target: ${seconds}s, ${runs:-?} executions, ${rate:-?}/s, no finding"
else
  echo "fuzz $target: FINDING (log: $log)" >&2
  grep -E "property failed|ERROR:|SUMMARY:|Test unit written" "$log" >&2 || tail -n 30 "$log" >&2
  exit 1
fi
