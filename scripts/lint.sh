#!/usr/bin/env bash
# The formatter and the static checks:
# - clang-format (.clang-format) over the C++ lines changed since BASE
#   (default: the commit before HEAD), as a check only: a changed line it
#   would lay out otherwise fails the run (fix: git clang-format BASE);
# - clang-tidy (.clang-tidy) over the product's C++ files changed since BASE,
#   with the dev build's compile commands (run after `cmake --preset dev`).
#   scripts/lint.sh [BASE]
set -euo pipefail
cd "$(dirname "$0")/.."

base=${1:-HEAD~1}
if ! git rev-parse -q --verify "$base^{commit}" >/dev/null; then
  echo "lint: no commit $base to compare with; clang-tidy skipped"
  exit 0
fi
# git clang-format --diff exits 1 when it has a change to show.
layout=$(git clang-format --quiet --diff "$base" -- '*.cpp' '*.h' 2>&1 || true)
if [ -n "$layout" ] && [ "$layout" != "no modified files to format" ]; then
  echo "lint: lines changed since $base are not formatted (fix: git clang-format $base):" >&2
  echo "$layout" >&2
  exit 1
fi
echo "lint: the lines changed since $base are formatted"

if [ ! -f build/dev/compile_commands.json ]; then
  echo "lint: build/dev/compile_commands.json missing (cmake --preset dev)" >&2
  exit 2
fi
# Product sources the dev build compiles: the tests' Qt suites include
# generated .moc files, and Windows-only files are not in the dev build.
mapfile -t candidates < <(git diff --name-only --diff-filter=AM "$base" HEAD -- \
  'cli/*.cpp' 'common/*.cpp' 'frontend/*.cpp' 'optionslib/*.cpp' 'tool/*.cpp' 'tools/*.cpp')
changed=()
for f in "${candidates[@]}"; do
  grep -qF "\"$PWD/$f\"" build/dev/compile_commands.json && changed+=("$f")
done
if [ ${#changed[@]} -eq 0 ]; then
  echo "lint: no product source changed since $base; clang-tidy has nothing to check"
  exit 0
fi
printf '%s\n' "${changed[@]}" | xargs -P"$(nproc)" -n4 clang-tidy -p build/dev --quiet
echo "lint: clang-tidy clean on ${#changed[@]} files changed since $base"
