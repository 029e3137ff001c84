#!/usr/bin/env bash
# The closing line of make test (scripts/summarize.sh) on made-up results:
# each case writes one preset's plan, CTest verdicts and reports, and names the
# last line and a line that must come before it.
set -u
summarize="$(cd "$(dirname "$0")/../.." && pwd)/scripts/summarize.sh"
work="$(mktemp -d "${TMPDIR:-/tmp}/qt-summary.XXXXXX")"
trap 'rm -rf "$work"' EXIT
bad=0

# report PRESET NAME TESTS FAILURES [SKIP-MESSAGE]: a GoogleTest report
report() {
  mkdir -p "$dir/$1"
  { echo "<testsuites tests=\"$3\" failures=\"$4\" disabled=\"0\" errors=\"0\" name=\"AllTests\">"
    [ -n "${5:-}" ] && echo "<testcase name=\"s\"><skipped message=\"$5\"/></testcase>"
    echo "</testsuites>"; } >"$dir/$1/$2.xml"
}
# verdicts PRESET NAME:STATUS...: CTest's JUnit file
verdicts() {
  local preset="$1" entry; shift
  { echo '<testsuite name="x">'
    for entry; do
      echo "	<testcase name=\"${entry%%:*}\" classname=\"${entry%%:*}\" time=\"0\" status=\"${entry#*:}\">"
      [ "${entry#*:}" = notrun ] && echo '		<skipped message="SKIP_RETURN_CODE=77"/>'
      echo '	</testcase>'
    done
    echo '</testsuite>'; } >"$dir/$preset.junit.xml"
}
# expect CASE LAST-LINE [EARLIER-LINE]: the summary of what the case wrote
expect() {
  local out rc; cases=$((cases + 1))
  out="$(QT_PLANNED="$dir/pinned" bash "$summarize" "$dir" $(cat "$dir/presets") 2>&1)"
  rc=$?
  local want_rc=1
  case "$2" in *" 0 failed,"*) want_rc=0 ;; esac
  if [ "$(tail -1 <<<"$out")" != "$2" ] || [ $rc -ne $want_rc ] ||
    { [ -n "${3:-}" ] && ! grep -qxF -- "$3" <<<"$out"; }; then
    echo "FAILED: $1 (exit $rc)"; echo "$out" | sed 's/^/  /'; bad=$((bad + 1))
  fi
}
# fresh PRESET PLAN-LINE...: a new case; the pinned plan is the plan given
fresh() {
  dir="$work/$((++n))"; mkdir -p "$dir"
  local preset="$1"; shift
  echo "$preset" >"$dir/presets"
  printf '%s\n' "$@" >"$dir/$preset.plan"
  echo "$preset $(printf '%s\n' "$@" | awk '{ printf "%s ", $1 }')" >"$dir/pinned"
}
n=0 cases=0

fresh native "unit report" "size"
report native unit 5 0 "needs a fault of the stand-in"; verdicts native unit:run size:run
expect "all passed, a skip grouped" "5 passed, 0 failed, 1 skipped" "1 skipped natively: needs a fault of the stand-in"

fresh native "unit report" "size"
verdicts native unit:fail size:run
expect "a missing report" "1 passed, 1 failed, 0 skipped" "FAILED native: unit left no report ($dir/native/unit.xml)"

fresh native "unit report"
report native unit 0 0; verdicts native unit:run
expect "an empty report" "0 passed, 1 failed, 0 skipped" "FAILED native: unit ran no test"

fresh native "unit report" "size"
report native unit 3 0; verdicts native unit:fail size:fail
expect "a crash after a clean report, and a failing entry without one" "3 passed, 2 failed, 0 skipped" \
  "FAILED native: unit failed after a clean report (a crash at exit, a sanitizer report, a timeout)"

fresh native "unit report"
report native unit 4 2; verdicts native unit:fail
expect "failing cases count once" "2 passed, 2 failed, 0 skipped"

fresh native "unit report" "size"
report native unit 2 0; verdicts native unit:run size:notrun
expect "a skipped entry without a report" "2 passed, 0 failed, 1 skipped" "1 skipped natively: size: SKIP_RETURN_CODE=77"

fresh native "unit report" "size"
report native unit 2 0; verdicts native unit:run
expect "an entry CTest never ran" "2 passed, 1 failed, 0 skipped" "FAILED native: CTest never ran size"

fresh native "unit report"
report native unit 2 0; verdicts native unit:run
echo "native unit lost" >"$dir/pinned"
expect "a plan that is not the pinned one" "2 passed, 1 failed, 0 skipped" \
  "FAILED native: CTest plans [unit], pinned in pinned: [lost unit]"

fresh mingw-i686 "e2e report"
echo "mingw-i686 mingw-x86_64" >"$dir/presets"; cp "$dir/mingw-i686.plan" "$dir/mingw-x86_64.plan"
echo "mingw-x86_64 e2e" >>"$dir/pinned"
report mingw-i686 e2e 1 0 "the kernel refuses the 32-bit Wine loader"
report mingw-x86_64 e2e 7 0; verdicts mingw-i686 e2e:notrun; cp "$dir/mingw-i686.junit.xml" "$dir/mingw-x86_64.junit.xml"
expect "a 32-bit program the kernel refused" "7 passed, 0 failed, 7 skipped" \
  "0 cases and 7 checks not run (1 programs): this machine's kernel cannot start 32-bit programs"
report mingw-i686 e2e 6 0
expect "end-to-end counts that differ" "13 passed, 1 failed, 0 skipped" \
  "FAILED the end-to-end run made 6 checks in 32 bits and 7 in 64 bits"

fresh native "unit report"
rm "$dir/native.plan"
expect "a preset that was not built" "0 passed, 1 failed, 0 skipped" \
  "FAILED native: no test plan: the tree was not configured or built"

echo "$cases cases, $bad failed"
[ "$bad" -eq 0 ]
