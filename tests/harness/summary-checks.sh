#!/usr/bin/env bash
# The closing line of make test (scripts/summarize.sh) on made-up results:
# each case writes one preset's plan, CTest verdicts and reports, and names
# the last line and a line that must come before it.
set -u
summarize="$(cd "$(dirname "$0")/../.." && pwd)/scripts/summarize.sh"
work="$(mktemp -d "${TMPDIR:-/tmp}/qt-summary.XXXXXX")"
trap 'rm -rf "$work"' EXIT
n=0 bad=0

# fresh PRESET PLAN-LINE...: a new case, whose pinned plan is the plan given
fresh() {
  dir="$work/$((++n))" preset="$1"; shift
  mkdir -p "$dir/$preset"
  echo "$preset" >"$dir/presets"
  printf '%s\n' "$@" >"$dir/$preset.plan"
  echo "$preset $(printf '%s\n' "$@" | awk '{ printf "%s ", $1 }')" >"$dir/pinned"
}
# report NAME TESTS FAILURES [SKIP-MESSAGE]: a GoogleTest report
report() {
  { echo "<testsuites tests=\"$2\" failures=\"$3\" disabled=\"0\" errors=\"0\" name=\"AllTests\">"
    [ -n "${4:-}" ] && echo "<testcase name=\"s\"><skipped message=\"$4\"/></testcase>"
    echo "</testsuites>"; } >"$dir/$preset/$1.xml"
}
# verdicts NAME:STATUS...: CTest's JUnit file
verdicts() {
  local entry
  { echo '<testsuite name="x">'
    for entry; do
      echo "	<testcase name=\"${entry%%:*}\" classname=\"x\" time=\"0\" status=\"${entry#*:}\">"
      [ "${entry#*:}" = notrun ] && echo '		<skipped message="SKIP_RETURN_CODE=77"/>'
      echo '	</testcase>'
    done
    echo '</testsuite>'; } >"$dir/$preset.junit.xml"
}
# expect CASE LAST-LINE [EARLIER-LINE]: the summary of what the case wrote
expect() {
  local out rc want=1
  out="$(QT_PLANNED="$dir/pinned" bash "$summarize" "$dir" $(cat "$dir/presets") 2>&1)"
  rc=$?
  case "$2" in *" 0 failed,"*) want=0 ;; esac
  if [ "$(tail -1 <<<"$out")" != "$2" ] || [ $rc -ne $want ] || { [ -n "${3:-}" ] && ! grep -qxF -- "$3" <<<"$out"; }; then
    echo "FAILED: $1 (exit $rc)"; sed 's/^/  /' <<<"$out"; bad=$((bad + 1))
  fi
}

fresh native "unit report" "size"; report unit 5 0 "needs a fault of the stand-in"; verdicts unit:run size:run
expect "all passed, a skip grouped" "5 passed, 0 failed, 1 skipped" "1 skipped natively: needs a fault of the stand-in"
fresh native "unit report" "size"; verdicts unit:fail size:run
expect "a missing report" "1 passed, 1 failed, 0 skipped" "FAILED native: unit left no report ($dir/native/unit.xml)"
fresh native "unit report"; report unit 0 0; verdicts unit:run
expect "an empty report" "0 passed, 1 failed, 0 skipped" "FAILED native: unit ran no test"
fresh native "unit report" "size"; report unit 3 0; verdicts unit:fail size:fail
expect "a crash after a clean report, and a failing entry without one" "3 passed, 2 failed, 0 skipped" \
  "FAILED native: unit failed after a clean report (a crash at exit, a sanitizer report, a timeout)"
fresh native "unit report"; report unit 4 2; verdicts unit:fail
expect "failing cases count once" "2 passed, 2 failed, 0 skipped"
fresh native "unit report" "size"; report unit 2 0; verdicts unit:run size:notrun
expect "a skipped entry without a report" "2 passed, 0 failed, 1 skipped" "1 skipped natively: size: SKIP_RETURN_CODE=77"
verdicts unit:run
expect "an entry CTest never ran" "2 passed, 1 failed, 0 skipped" "FAILED native: CTest never ran size"
fresh native "unit report"; report unit 2 0; verdicts unit:run; echo "native unit lost" >"$dir/pinned"
expect "a plan that is not the pinned one" "2 passed, 1 failed, 0 skipped" \
  "FAILED native: CTest plans [unit], pinned in pinned: [lost unit]"
rm "$dir/native.plan"
expect "a preset that was not built" "0 passed, 1 failed, 0 skipped" \
  "FAILED native: no test plan: the tree was not configured or built"

fresh mingw-x86_64 "e2e report"; report e2e 7 0; verdicts e2e:run
fresh mingw-i686 "e2e report"; report e2e 1 0 "the kernel refuses the 32-bit Wine loader"; verdicts e2e:notrun
mv "$work/$((n - 1))"/mingw-x86_64* "$dir/"; echo "mingw-i686 mingw-x86_64" >"$dir/presets"
printf 'mingw-i686 e2e\nmingw-x86_64 e2e\n' >"$dir/pinned"
expect "a 32-bit program the kernel refused" "7 passed, 0 failed, 7 skipped" \
  "0 cases and 7 checks not run (1 programs): this machine's kernel cannot start 32-bit programs"
report e2e 6 0
expect "end-to-end counts that differ" "13 passed, 1 failed, 0 skipped" \
  "FAILED the end-to-end run made 6 checks in 32 bits and 7 in 64 bits"

cases="$(grep -c '^expect ' "$0")"
echo "$cases cases, $bad failed"
[ "$bad" -eq 0 ]
