#!/usr/bin/env bash
# Builds every configuration and runs all tests: natively against the
# registry stand-in (plain and under ASan+UBSan), and the MinGW builds
# (32- and 64-bit) under Wine against the real registry. Ends with the skips
# grouped by reason and one line "N passed, N failed, N skipped"
# (scripts/summarize.sh), which counts each CTest entry's verdict once; exits
# non-zero when anything failed, a planned report is missing or the plan is not
# the pinned one (tests/planned.txt).
set -u
cd "$(dirname "$0")/.."
root="$PWD"
results="$root/build/results"
rm -rf "$results"
mkdir -p "$results"
export QT_WINEPREFIX="$root/build/wineprefix"
# Every run is the whole planned set: GoogleTest's filter and sharding
# variables inherited from the caller would shrink it without a word.
unset GTEST_FILTER GTEST_TOTAL_SHARDS GTEST_SHARD_INDEX GTEST_SHARD_STATUS_FILE
trap 'WINEPREFIX="$QT_WINEPREFIX" wineserver -k >/dev/null 2>&1 || true' EXIT

format_failed=0
jobs="${QT_JOBS:-2}"

run_preset() {
  local preset="$1" dir="$root/build/$1"
  echo "== $preset: configure and build"
  if ! cmake --preset "$preset" >"$results/$preset.configure.log" 2>&1; then
    cat "$results/$preset.configure.log"; return
  fi
  if ! cmake --build "$dir" -j "$jobs" >"$results/$preset.build.log" 2>&1; then
    tail -50 "$results/$preset.build.log"; return
  fi
  echo "== $preset: test"
  mkdir -p "$results/$preset"
  # The plan: every entry, " report" after those that leave a GoogleTest report.
  local reports
  reports=" $(ctest --test-dir "$dir" -N -L '^report$' | sed -n 's/^ *Test *#[0-9]*: //p' | tr '\n' ' ')"
  ctest --test-dir "$dir" -N | sed -n 's/^ *Test *#[0-9]*: //p' | while read -r name; do
    case "$reports" in *" $name "*) echo "$name report" ;; *) echo "$name" ;; esac
  done >"$results/$preset.plan"
  local log="$results/$preset.ctest.log"
  local out="$results/$preset/"
  # Wine programs see the Linux root as drive Z:.
  case "$preset" in mingw-*) out="Z:${out//\//\\}" ;; esac
  # Under Wine all test programs share one real registry: one at a time.
  local parallel="$jobs"
  case "$preset" in mingw-*) parallel=1 ;; esac
  GTEST_OUTPUT="xml:$out" ctest --test-dir "$dir" -j "$parallel" --output-on-failure \
    --output-junit "$results/$preset.junit.xml" >"$log" 2>&1 ||
    echo "-- $preset: failures, full log in $log"
  grep -E '^\s*[0-9]+/[0-9]+ Test|tests passed|FAILED|Failure' "$log" | grep -v '^\[ *OK' | head -40
}

bash scripts/setup.sh
echo "== format: every C++ file as clang-format writes it"
if ! make --no-print-directory format-check >"$results/format.log" 2>&1; then
  grep -m 20 'error:' "$results/format.log"
  echo "-- format: run 'make format'"
  format_failed=1
fi
for preset in native asan mingw-i686 mingw-x86_64; do
  run_preset "$preset"
done

# A preset that was not built leaves no plan, which counts as its failure.
SETUP_FAILURES=$format_failed bash scripts/summarize.sh "$results" \
  native asan mingw-i686 mingw-x86_64
