#!/usr/bin/env bash
# Sets up what is missing, builds every flavour and runs every suite:
# native (ASan+UBSan), native under TSan, win64 under Wine, the win32 product checks
# and a short run of each fuzzer. Exits non-zero on any failure; the last lines are
# CTest's own summaries.
set -uo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=$(nproc)
FUZZ_SECONDS=${PARLINO_FUZZ_SECONDS:-15}

./setup.sh || { echo "test.sh: setup failed"; exit 1; }

failed=()
step() {  # step NAME COMMAND... : runs a step, remembers a failure, keeps going
  local name=$1; shift
  echo "== $name"
  "$@" || failed+=("$name")
}

build() {  # build PRESET; the log stays in build/
  local log=build/build-$1.log
  cmake --preset "$1" >"$log" 2>&1 || { cat "$log"; return 1; }
  cmake --build --preset "$1" -j"$JOBS" >>"$log" 2>&1 || { grep -E 'error|Error' -A3 "$log" | head -80; return 1; }
}

mkdir -p build
for preset in native native-tsan win64 win32; do
  step "build $preset" build "$preset"
done
if [ -x tools/run_fuzzers.sh ]; then
  step "build native-fuzz" build native-fuzz
fi

step "win32 product checks" tools/check_pe.sh build/win32
if [ -x tools/run_fuzzers.sh ]; then
  step "fuzzers" tools/run_fuzzers.sh build/native-fuzz "$FUZZ_SECONDS"
fi

# Wine's windows need a display; one Xvfb for the whole run.
export DISPLAY=:99
Xvfb :99 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  cmake/wine_run.sh --stop "$ROOT/build/win64"
  kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

summaries=()
run_suite() {  # run_suite PRESET
  local log=build/ctest-$1.log
  ctest --preset "$1" -j"$JOBS" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  summaries+=("$(grep -E 'tests passed, [0-9]+ tests failed' "$log" | tail -1)")
  return "$rc"
}
for preset in native native-tsan win64; do
  step "tests $preset" run_suite "$preset"
done

echo
if ((${#failed[@]})); then
  echo "FAILED steps: ${failed[*]}"
fi
echo "== CTest summaries (native, native-tsan, win64)"
printf '%s\n' "${summaries[@]}"
((${#failed[@]} == 0))
