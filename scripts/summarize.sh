#!/usr/bin/env bash
# The closing lines of make test. Usage: summarize.sh RESULTS PRESET...
#
# For each preset, the test programs that its CTest tree (build/PRESET)
# labels "report" must each have left a GoogleTest XML report in
# RESULTS/PRESET, and each report must count at least one test: a missing
# report (a crash before the end, exit 77 without a report, a deleted file)
# or an empty one (an inherited GTEST_FILTER) fails the run and says which.
# Skips are grouped by reason above the last line; a program the kernel
# could not start counts the cases (or end-to-end checks) that the same
# program's report of the other MinGW preset lists.
#
# The last line is "N passed, N failed, N skipped". A program that CTest saw
# fail without a failure in its report (a crash, a sanitizer report at exit,
# a timeout) counts as one failure: CTEST_FAILURES, set by run-tests.sh.
# Exits non-zero when anything failed, a report is missing or nothing passed.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
results="$1"
shift
passed=0 failed=0 skipped=0
problems=()
declare -A groups=()    # reason -> count, in the order first seen
order=()
kernel_cases=0 kernel_checks=0 kernel_programs=0

number() { sed -n "s/.*<testsuites[^>]* $1=\"\([0-9]*\)\".*/\1/p" "$2" | head -1; }
group() {  # group COUNT TEXT
  [ -n "${groups[$2]+set}" ] || { groups[$2]=0; order+=("$2"); }
  groups[$2]=$((groups[$2] + $1))
}

for preset in "$@"; do
  planned="$(ctest --test-dir "$root/build/$preset" -N -L '^report$' 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: //p')"
  if [ -z "$planned" ]; then
    problems+=("$preset: CTest plans no test program with a report")
    continue
  fi
  where="natively"
  case "$preset" in mingw-*) where="under Wine" ;; esac
  for name in $planned; do
    xml="$results/$preset/$name.xml"
    if [ ! -f "$xml" ]; then
      problems+=("$preset: $name left no report ($xml)")
      continue
    fi
    if grep -q 'kernel refuses the 32-bit Wine loader' "$xml"; then
      other="$results/mingw-x86_64/$name.xml"
      n="$( [ -f "$other" ] && number tests "$other")"
      kernel_programs=$((kernel_programs + 1))
      if [ "$name" = e2e ]; then kernel_checks=$((kernel_checks + ${n:-1})); else kernel_cases=$((kernel_cases + ${n:-1})); fi
      skipped=$((skipped + ${n:-1}))
      continue
    fi
    tests="$(number tests "$xml")" fails="$(number failures "$xml")" errs="$(number errors "$xml")"
    disabled="$(number disabled "$xml")"
    tests=${tests:-0} fails=${fails:-0} errs=${errs:-0} disabled=${disabled:-0}
    if [ "$tests" -eq 0 ]; then
      problems+=("$preset: $name ran no test (GTEST_FILTER=${GTEST_FILTER:-})")
      continue
    fi
    skips=0
    while IFS= read -r reason; do
      skips=$((skips + 1))
      group 1 "skipped $where: ${reason:-no reason given}"
    done < <(grep -o '<skipped message="[^"]*"' "$xml" | sed 's/^<skipped message="//; s/"$//; s/.*&#x0A;//; s/&apos;/'"'"'/g; s/&quot;/"/g; s/&amp;/\&/g')
    passed=$((passed + tests - fails - errs - disabled - skips))
    failed=$((failed + fails + errs))
    skipped=$((skipped + skips))
  done
done

for reason in "${order[@]}"; do echo "${groups[$reason]} $reason"; done
if [ "$kernel_programs" -gt 0 ]; then
  echo "$kernel_cases cases and $kernel_checks checks not run ($kernel_programs programs): this machine's kernel cannot start 32-bit programs"
fi
for problem in "${problems[@]}"; do echo "FAILED $problem"; done
extra="${CTEST_FAILURES:-0}"
if [ "$extra" -gt "$failed" ]; then failed=$extra; fi
failed=$((failed + ${#problems[@]}))
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
