#!/usr/bin/env bash
# Sums the GoogleTest XML reports under the given folders into one line,
# "N passed, N failed" (", N skipped" when any were skipped). A binary that
# CTest saw fail without a failure in its report (a crash, a sanitizer report
# at exit, a timeout) counts as one failure; that count comes from the
# CTEST_FAILURES environment variable, set by the Makefile.
set -u
passed=0; failed=0; skipped=0
for dir in "$@"; do
  for xml in "$dir"/*.xml; do
    [ -f "$xml" ] || continue
    line="$(grep -m1 '<testsuites' "$xml")"
    tests="$(sed -n 's/.* tests="\([0-9]*\)".*/\1/p' <<<"$line")"
    fails="$(sed -n 's/.* failures="\([0-9]*\)".*/\1/p' <<<"$line")"
    errs="$(sed -n 's/.* errors="\([0-9]*\)".*/\1/p' <<<"$line")"
    disabled="$(sed -n 's/.* disabled="\([0-9]*\)".*/\1/p' <<<"$line")"
    skips="$(grep -c '<skipped' "$xml")"
    tests=${tests:-0}; fails=${fails:-0}; errs=${errs:-0}; disabled=${disabled:-0}
    passed=$((passed + tests - fails - errs - disabled - skips))
    failed=$((failed + fails + errs))
    skipped=$((skipped + skips))
  done
done
extra="${CTEST_FAILURES:-0}"
if [ "$extra" -gt "$failed" ]; then failed=$extra; fi
if [ "$skipped" -gt 0 ]; then
  echo "$passed passed, $failed failed, $skipped skipped"
else
  echo "$passed passed, $failed failed"
fi
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
