#!/usr/bin/env bash
# The closing lines of make test. Usage: summarize.sh RESULTS PRESET...
#
# For each preset, run-tests.sh leaves in RESULTS:
#   PRESET.plan        every CTest entry of the built tree, one per line, with
#                      " report" after those that leave a GoogleTest report;
#   PRESET.junit.xml   CTest's own verdict of each entry (--output-junit);
#   PRESET/NAME.xml    the GoogleTest report of each "report" entry.
# The plan must be the pinned one (tests/planned.txt, or QT_PLANNED): a tree
# that stops registering a program fails the run instead of shrinking it.
#
# Each CTest entry counts exactly once:
#   - an entry without a report counts as one case: passed, failed or skipped
#     as CTest saw it;
#   - an entry with a report counts its cases; it must have left the report,
#     with at least one test in it (a crash before the end, an inherited
#     GTEST_FILTER); if CTest saw it fail while its report shows no failure (a
#     crash or a sanitizer report after the report was written, a timeout),
#     that is one failure more;
#   - a 32-bit program the kernel could not start counts as skipped the cases
#     (or end-to-end checks) that the same program's report of the other
#     MinGW preset lists.
# Both MinGW presets must make the same number of end-to-end checks.
# Skips are grouped by reason above the last line, "N passed, N failed, N
# skipped". SETUP_FAILURES (the format check, a build that failed) adds to the
# failures. Exits non-zero when anything failed or nothing passed.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
results="$1"
shift
pinned="${QT_PLANNED:-$root/tests/planned.txt}"
passed=0 failed=$((${SETUP_FAILURES:-0})) skipped=0
problems=()
declare -A groups=()    # reason -> count, in the order first seen
order=()
kernel_cases=0 kernel_checks=0 kernel_programs=0

number() { sed -n "s/.*<testsuites[^>]* $1=\"\([0-9]*\)\".*/\1/p" "$2" | head -1; }
group() {  # group COUNT TEXT
  [ -n "${groups[$2]+set}" ] || { groups[$2]=0; order+=("$2"); }
  groups[$2]=$((groups[$2] + $1))
}
unxml() { sed "s/&apos;/'/g; s/&quot;/\"/g; s/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g"; }
# verdict JUNIT NAME: run, fail or notrun (CTest's words); empty when absent.
verdict() { sed -n "s/^\s*<testcase name=\"$2\" .* status=\"\([a-z]*\)\">.*/\1/p" "$1" | head -1; }
skip_reason() { # the message of NAME's <skipped> in JUNIT
  awk -v n="<testcase name=\"$2\" " 'index($0, n) { on = 1; next } on && /<skipped message=/ {
    sub(/.*<skipped message="/, ""); sub(/"\/>.*/, ""); print; exit } on && /<\/testcase>/ { exit }' "$1" | unxml
}
declare -A e2e_checks=()

for preset in "$@"; do
  plan="$results/$preset.plan" junit="$results/$preset.junit.xml"
  if [ ! -s "$plan" ]; then
    problems+=("$preset: no test plan: the tree was not configured or built")
    continue
  fi
  want="$(awk -v p="$preset" '$1 == p { for (i = 2; i <= NF; i++) print $i }' "$pinned" | sort | tr '\n' ' ')"
  have="$(awk '{ print $1 }' "$plan" | sort | tr '\n' ' ')"
  if [ "$want" != "$have" ]; then
    problems+=("$preset: CTest plans [${have% }], pinned in $(basename "$pinned"): [${want% }]")
  fi
  if [ ! -f "$junit" ]; then
    problems+=("$preset: CTest left no verdicts ($junit)")
    continue
  fi
  where="natively"
  case "$preset" in mingw-*) where="under Wine" ;; esac
  while read -r name label; do
    status="$(verdict "$junit" "$name")"
    if [ -z "$status" ]; then
      problems+=("$preset: CTest never ran $name")
      continue
    fi
    if [ "$label" != report ]; then
      case "$status" in
        run) passed=$((passed + 1)) ;;
        notrun)
          skipped=$((skipped + 1))
          group 1 "skipped $where: $name: $(skip_reason "$junit" "$name")"
          ;;
        *) problems+=("$preset: $name") ;;
      esac
      continue
    fi
    xml="$results/$preset/$name.xml"
    if [ ! -f "$xml" ]; then
      problems+=("$preset: $name left no report ($xml)")
      continue
    fi
    if grep -q 'kernel refuses the 32-bit Wine loader' "$xml"; then
      other="$results/mingw-x86_64/$name.xml"
      n="$([ -f "$other" ] && number tests "$other")"
      kernel_programs=$((kernel_programs + 1))
      if [ "$name" = e2e ]; then kernel_checks=$((kernel_checks + ${n:-1})); else kernel_cases=$((kernel_cases + ${n:-1})); fi
      skipped=$((skipped + ${n:-1}))
      continue
    fi
    tests="$(number tests "$xml")" fails="$(number failures "$xml")" errs="$(number errors "$xml")"
    disabled="$(number disabled "$xml")"
    tests=${tests:-0} fails=${fails:-0} errs=${errs:-0} disabled=${disabled:-0}
    if [ "$tests" -eq 0 ]; then
      problems+=("$preset: $name ran no test")
      continue
    fi
    [ "$name" = e2e ] && e2e_checks[$preset]=$tests
    skips=0
    while IFS= read -r reason; do
      skips=$((skips + 1))
      group 1 "skipped $where: ${reason:-no reason given}"
    done < <(grep -o '<skipped message="[^"]*"' "$xml" | sed 's/^<skipped message="//; s/"$//; s/.*&#x0A;//' | unxml)
    passed=$((passed + tests - fails - errs - disabled - skips))
    failed=$((failed + fails + errs))
    skipped=$((skipped + skips))
    if [ "$status" = fail ] && [ $((fails + errs)) -eq 0 ]; then
      problems+=("$preset: $name failed after a clean report (a crash at exit, a sanitizer report, a timeout)")
    fi
  done <"$plan"
done

a="${e2e_checks[mingw-i686]:-}" b="${e2e_checks[mingw-x86_64]:-}"
if [ -n "$a" ] && [ -n "$b" ] && [ "$a" != "$b" ]; then
  problems+=("the end-to-end run made $a checks in 32 bits and $b in 64 bits")
fi

for reason in "${order[@]}"; do echo "${groups[$reason]} $reason"; done
if [ "$kernel_programs" -gt 0 ]; then
  echo "$kernel_cases cases and $kernel_checks checks not run ($kernel_programs programs): this machine's kernel cannot start 32-bit programs"
fi
for problem in "${problems[@]}"; do echo "FAILED $problem"; done
failed=$((failed + ${#problems[@]}))
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
