#!/usr/bin/env bash
# Builds the fuzz targets (preset `fuzz`) and runs each for a bounded time
# (FUZZ_SECONDS, 60 by default). New inputs go to build/fuzz/corpus/<target>,
# seeded from the committed corpus, which stays as it is; a crash leaves its
# input in build/fuzz/findings.
set -u
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
cmake --preset fuzz >/dev/null || exit 1
cmake --build build/fuzz -j "${QT_JOBS:-2}" >/dev/null || { cmake --build build/fuzz -j 1 2>&1 | tail -30; exit 1; }
mkdir -p build/fuzz/findings
failed=0
for corpus in fuzz/corpus/*/; do
  target="$(basename "$corpus")"
  work="build/fuzz/corpus/$target"
  mkdir -p "$work"
  echo "== fuzz_$target for ${seconds}s"
  if ! build/fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="build/fuzz/findings/$target-" "$work" "$corpus" >"build/fuzz/$target.log" 2>&1; then
    failed=$((failed + 1))
    tail -30 "build/fuzz/$target.log"
  fi
  grep -E 'stat::number_of_executed_units|cov:' "build/fuzz/$target.log" | tail -2
done
echo "fuzz: $failed target(s) failed"
[ "$failed" -eq 0 ]
